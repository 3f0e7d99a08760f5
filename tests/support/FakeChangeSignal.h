#pragma once

#include <atomic>
#include <functional>

#include "database/ChangeSignal.h"
#include "wake/WakeDoorbell.h"

namespace kps::test {

// A change signal the test steers: whether it works, how often it is polled,
// whether the next poll finds a change, and, with a descriptor, when it is
// worth asking at once (the test rings `told`).
class FakeChangeSignal final : public ChangeSignal {
  public:
    bool Live() const override { return live.load(); }
    std::chrono::milliseconds PollEvery() const override { return pollEvery; }
    bool Changed() override {
        ++polls;
        const bool was = changed.exchange(false);
        if (onPoll) {
            onPoll();
        }
        return was;
    }
    int Fd() const override { return withFd ? told.Fd() : -1; }
    void ClearFd() override {
        ++clears;
        told.Clear();
    }

    std::atomic<bool> live{true};
    std::atomic<bool> changed{false};
    std::chrono::milliseconds pollEvery{0};
    int polls = 0;
    int clears = 0;
    bool withFd = false;
    WakeDoorbell told;
    std::function<void()> onPoll;  // after each poll's answer is taken
};

}  // namespace kps::test
