#include <QTimer>

#include <gtest/gtest.h>

#include "output/qt/QtWaitPause.h"

namespace kps::test {

TEST(QtWaitPauseTest, TheWindowKeepsServingEventsWhileItPauses) {
    QtWaitPause pause(20);
    int served = 0;
    QTimer::singleShot(0, [&] { ++served; });
    QTimer::singleShot(0, [&] { QTimer::singleShot(0, [&] { ++served; }); });
    pause.Pause();
    EXPECT_EQ(served, 2);

    // A second pause starts its count afresh and returns as well.
    QTimer::singleShot(0, [&] { ++served; });
    pause.Pause();
    EXPECT_EQ(served, 3);
}

}  // namespace kps::test
