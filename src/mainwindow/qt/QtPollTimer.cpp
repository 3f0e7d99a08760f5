#include "mainwindow/qt/QtPollTimer.h"

namespace kps {

QtPollTimer::QtPollTimer(int intervalMs) {
    timer_.setInterval(intervalMs);
}

}  // namespace kps
