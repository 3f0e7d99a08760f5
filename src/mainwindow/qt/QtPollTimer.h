#pragma once

#include <QTimer>

#include "mainwindow/PollTimer.h"

namespace kps {

// Timer1 on Qt's event loop; the main window connects its timeout to a tick.
class QtPollTimer final : public PollTimer {
  public:
    explicit QtPollTimer(int intervalMs = 1000);

    void Start() override { timer_.start(); }
    void Stop() override { timer_.stop(); }
    bool IsActive() const override { return timer_.isActive(); }

    QTimer& Timer() { return timer_; }

  private:
    QTimer timer_;
};

}  // namespace kps
