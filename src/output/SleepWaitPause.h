#pragma once

#include <chrono>

#include "output/WaitPause.h"

namespace kps {

// The wait pause of a server without a window: it simply sleeps.
class SleepWaitPause final : public WaitPause {
  public:
    explicit SleepWaitPause(std::chrono::milliseconds length = std::chrono::milliseconds(2000))
        : length_(length) {}

    void Pause() override;

  private:
    std::chrono::milliseconds length_;
};

}  // namespace kps
