#include "sending/LeaseFence.h"

#include <utility>

namespace kps {

LeaseFence::LeaseFence(std::chrono::milliseconds bound, SteadyNow now)
    : bound_(bound), now_(std::move(now)) {}

void LeaseFence::Confirm(SteadyTime sentAt) {
    confirmedAt_.store(std::chrono::nanoseconds(sentAt.time_since_epoch()).count(),
                       std::memory_order_release);
    confirmed_.store(true, std::memory_order_release);
}

void LeaseFence::Withdraw() {
    confirmed_.store(false, std::memory_order_release);
}

void LeaseFence::Publish(bool held) {
    held_.store(held, std::memory_order_release);
}

bool LeaseFence::Open() const {
    return held_.load(std::memory_order_acquire) && Fresh();
}

bool LeaseFence::Lapsed() const {
    return held_.load(std::memory_order_acquire) && !Fresh();
}

bool LeaseFence::Fresh() const {
    if (!confirmed_.load(std::memory_order_acquire)) {
        return false;
    }
    const std::chrono::nanoseconds at{confirmedAt_.load(std::memory_order_acquire)};
    return now_().time_since_epoch() - at < bound_;
}

}  // namespace kps
