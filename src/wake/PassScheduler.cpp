#include "wake/PassScheduler.h"

#include <utility>

namespace kps {

namespace {

// Clears the at-work mark however the pass ends.
class PassScope {
  public:
    explicit PassScope(bool& inPass) : inPass_(inPass) { inPass_ = true; }
    ~PassScope() { inPass_ = false; }
    PassScope(const PassScope&) = delete;
    PassScope& operator=(const PassScope&) = delete;

  private:
    bool& inPass_;
};

}  // namespace

PassScheduler::PassScheduler(std::function<bool()> outletIdle, std::chrono::seconds fallback)
    : outletIdle_(std::move(outletIdle)), fallback_(fallback) {}

void PassScheduler::Wake() {
    due_.store(true);
    doorbell_.Ring();
}

bool PassScheduler::ClockSecond(SteadyTime now) {
    // Retries, questions and outages run on the clock: only an idle outlet
    // whose database signals every new row may skip a second.
    const bool quiet = lastPass_ && now - *lastPass_ < fallback_ && signal_ != nullptr &&
                       signal_->Live() && outletIdle_ && outletIdle_();
    if (!quiet) {
        due_.store(true);
    }
    return due_.load();
}

std::chrono::milliseconds PassScheduler::PollEvery() const {
    return signal_ != nullptr ? signal_->PollEvery() : std::chrono::milliseconds::zero();
}

void PassScheduler::PollSignal() {
    // A pass that runs the event loop holds the connection the signal asks on.
    if (!inPass_ && signal_ != nullptr && signal_->PollEvery().count() > 0 && signal_->Changed()) {
        Wake();
    }
}

void PassScheduler::SignalHeard() {
    if (signal_ == nullptr) {
        return;
    }
    signal_->ClearFd();
    if (inPass_) {
        heardInPass_ = true;
    } else if (signal_->Changed()) {
        Wake();
    }
}

bool PassScheduler::RunDue(const std::function<void()>& pass, SteadyTime now) {
    if (inPass_ || !due_.exchange(false)) {
        return false;
    }
    lastPass_ = now;
    {
        PassScope scope(inPass_);
        pass();
    }
    if (std::exchange(heardInPass_, false) && signal_->Changed()) {
        Wake();
    }
    if (due_.load()) {
        // Woken during the pass: the bell may have been heard meanwhile by
        // a loop the pass ran, which could not start another.
        doorbell_.Ring();
    }
    return true;
}

}  // namespace kps
