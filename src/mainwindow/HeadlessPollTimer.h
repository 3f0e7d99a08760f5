#pragma once

#include "mainwindow/PollTimer.h"

namespace kps {

// A timer without an event loop: whoever drives the ticks asks IsActive.
class HeadlessPollTimer final : public PollTimer {
  public:
    void Start() override { active_ = true; }
    void Stop() override { active_ = false; }
    bool IsActive() const override { return active_; }

  private:
    bool active_ = false;
};

}  // namespace kps
