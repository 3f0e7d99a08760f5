#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>

#include "database/ChangeSignal.h"
#include "wake/WakeDoorbell.h"

namespace kps {

// Decides when the polling cycle's pass runs: on a wake (the database's
// change signal, a printer's report), and at every second of the clock
// unless the outlet is idle behind a change signal that works, when a pass
// every `fallback` is enough. One pass at a time, on the tick thread: wakes
// before a pass starts make that one pass, and any wake during a pass makes
// exactly one more after it. The runner's event loop listens to Doorbell().
class PassScheduler {
  public:
    using SteadyTime = std::chrono::steady_clock::time_point;

    // `outletIdle`, asked on the tick thread: nothing the clock drives is
    // under way (no waiting item or notice, no printer down, no question,
    // no ticket on its way). Empty: never idle.
    explicit PassScheduler(std::function<bool()> outletIdle = {},
                           std::chrono::seconds fallback = std::chrono::seconds(30));

    // Before the runner starts; null: the clock alone, a pass every second.
    void UseSignal(ChangeSignal* signal) { signal_ = signal; }

    // Any thread: a pass is to start after this call.
    void Wake();
    WakeDoorbell& Doorbell() { return doorbell_; }

    // Tick thread, once at every second of the clock: true when a pass is
    // due now; false when this second goes without one.
    bool ClockSecond(SteadyTime now);

    // How often the runner calls PollSignal between passes; zero: never.
    std::chrono::milliseconds PollEvery() const;
    // Tick thread: asks a polled change signal, and wakes on a change.
    void PollSignal();
    // The change signal's descriptor for the runner's event loop; -1: none.
    int SignalFd() const { return signal_ != nullptr ? signal_->Fd() : -1; }
    // Tick thread, when SignalFd is readable: quiets it, and asks the signal
    // now, or after the pass at work.
    void SignalHeard();

    // Tick thread: runs `pass` when one is due and none is at work (a pass
    // may run the event loop, and the loop come back here). True when it ran.
    bool RunDue(const std::function<void()>& pass, SteadyTime now);

  private:
    std::function<bool()> outletIdle_;
    std::chrono::seconds fallback_;
    ChangeSignal* signal_ = nullptr;
    WakeDoorbell doorbell_;
    std::atomic<bool> due_{false};
    bool inPass_ = false;
    bool heardInPass_ = false;
    std::optional<SteadyTime> lastPass_;  // when the last pass started
};

}  // namespace kps
