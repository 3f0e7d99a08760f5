#include "sending/LeaseKeeper.h"

#include <string>
#include <utility>

namespace kps {

LeaseKeeper::LeaseKeeper(std::unique_ptr<Connection> db, std::unique_ptr<OutletLease> lease,
                         LeaseFence& fence, const PrintLog* log, std::chrono::milliseconds period)
    : db_(std::move(db)), lease_(std::move(lease)), fence_(fence), log_(log), period_(period) {}

LeaseKeeper::~LeaseKeeper() {
    Release();
}

bool LeaseKeeper::TryAcquire() {
    std::unique_lock lock(mutex_);
    if (!started_) {
        // Before the thread runs: a failure here is the caller's to handle.
        const SteadyTime sentAt = fence_.Now();
        held_ = lease_->TryAcquire();
        if (held_) {
            fence_.Confirm(sentAt);
        }
        started_ = true;
        thread_ = std::thread([this] { Keep(); });
    }
    ThrowIfFailed();
    if (lost_) {
        // Taken on the thread and lost before the tick took it over: the
        // thread has stopped, so standing by would never take it again.
        throw KpsError(kErrLeaseLost,
                       "The outlet lease was lost; another server may print for this outlet.");
    }
    return held_;
}

bool LeaseKeeper::StillHeld() {
    std::lock_guard lock(mutex_);
    ThrowIfFailed();
    return held_ && !lost_;
}

void LeaseKeeper::ThrowIfFailed() const {
    if (failure_) {
        throw *failure_;
    }
}

void LeaseKeeper::Release() {
    Stop();
    {
        std::lock_guard lock(mutex_);
        held_ = false;
    }
    // Before the lock goes: a standby may take it at once, and no lane may
    // start a ticket on a confirmation of ours meanwhile.
    fence_.Withdraw();
    lease_->Release();
}

void LeaseKeeper::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void LeaseKeeper::Keep() {
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, period_, [this] { return stopping_; })) {
        const bool wasHeld = held_;
        lock.unlock();
        std::optional<KpsError> failure;
        bool held = false;
        try {
            const SteadyTime sentAt = fence_.Now();
            held = wasHeld ? lease_->StillHeld() : lease_->TryAcquire();
            if (held) {
                fence_.Confirm(sentAt);
            }
        } catch (const KpsError& error) {
            failure = error;  // the tick hears of it and ends the process
        }
        if (failure || (wasHeld && !held)) {
            fence_.Withdraw();
            if (log_ != nullptr) {
                log_->WriteLog("Error Lease: " +
                               (failure ? failure->Description()
                                        : std::string("lost; another server may print now")));
            }
            lock.lock();
            lost_ = true;
            failure_ = std::move(failure);
            return;
        }
        lock.lock();
        held_ = held;
    }
}

}  // namespace kps
