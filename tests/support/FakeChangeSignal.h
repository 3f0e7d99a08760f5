#pragma once

#include <atomic>

#include "database/ChangeSignal.h"

namespace kps::test {

// A change signal the test steers: whether it works, how often it is polled
// and whether the next poll finds a change.
class FakeChangeSignal final : public ChangeSignal {
  public:
    bool Live() const override { return live.load(); }
    std::chrono::milliseconds PollEvery() const override { return pollEvery; }
    bool Changed() override {
        ++polls;
        return changed.exchange(false);
    }

    std::atomic<bool> live{true};
    std::atomic<bool> changed{false};
    std::chrono::milliseconds pollEvery{0};
    int polls = 0;
};

}  // namespace kps::test
