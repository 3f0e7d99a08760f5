#include "output/qt/QtWaitPause.h"

#include <QEventLoop>
#include <QTimer>

namespace kps {

void QtWaitPause::Pause() {
    QEventLoop loop;
    QTimer timer;
    int ticks = 0;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        if (++ticks >= 2) {
            loop.quit();
        }
    });
    timer.start(tickMs_);
    loop.exec();
}

}  // namespace kps
