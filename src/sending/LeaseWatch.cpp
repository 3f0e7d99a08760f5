#include "sending/LeaseWatch.h"

#include <utility>

namespace kps {

LeaseWatch::LeaseWatch(LeaseFence& fence, std::function<void()> onLapse,
                       std::chrono::milliseconds every)
    : fence_(fence), onLapse_(std::move(onLapse)), every_(every), thread_([this] { Watch(); }) {}

LeaseWatch::~LeaseWatch() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void LeaseWatch::Watch() {
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, every_, [this] { return stopping_; })) {
        if (fence_.Lapsed()) {
            fence_.Publish(false);
            lock.unlock();
            onLapse_();
            return;
        }
    }
}

}  // namespace kps
