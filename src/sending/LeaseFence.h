#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

namespace kps {

using SteadyTime = std::chrono::steady_clock::time_point;

// How long a lease confirmation lets a lane start a ticket. Kept far below
// the time after which the database lets another server take the lease
// (docs/lease-fencing.md has the sums).
constexpr std::chrono::milliseconds kLeaseFenceBound{3000};

// Whether a lane may start sending a ticket: the tick has taken the outlet
// over (it publishes that), and the lease keeper confirmed the lease within
// the bound, on the steady clock. Asking it makes no database call, so a
// holder cut off from its database stops starting tickets on time even while
// its own statements hang. Safe to use from several threads.
class LeaseFence {
  public:
    using SteadyNow = std::function<SteadyTime()>;

    explicit LeaseFence(std::chrono::milliseconds bound = kLeaseFenceBound,
                        SteadyNow now = &std::chrono::steady_clock::now);

    // The keeper found the lease held by a statement sent at `sentAt`.
    void Confirm(SteadyTime sentAt);
    // The keeper found the lease lost, or could not ask: earlier
    // confirmations no longer let a ticket start, as another server may
    // take the lease at once.
    void Withdraw();
    // The tick: whether this server prints for its outlet.
    void Publish(bool held);

    // True when a ticket's first byte may leave now.
    bool Open() const;
    // True when this server prints but its lease went unconfirmed for the
    // whole bound: it must stop, since another server may soon take over.
    bool Lapsed() const;
    std::chrono::milliseconds Bound() const { return bound_; }
    // The fence's steady time now, for the keeper's confirmations.
    SteadyTime Now() const { return now_(); }

  private:
    bool Fresh() const;

    std::chrono::milliseconds bound_;
    SteadyNow now_;
    std::atomic<bool> held_{false};
    std::atomic<bool> confirmed_{false};
    std::atomic<std::int64_t> confirmedAt_{0};  // steady clock, nanoseconds
};

}  // namespace kps
