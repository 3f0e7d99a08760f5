#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "sending/LeaseFence.h"

namespace kps {

// Looks at the fence every `every` on a thread of its own and calls
// `onLapse` once, on that thread, when the lease lapsed. It closes the fence
// for good first: a confirmation that comes late must not let lanes start
// tickets while the server ends. It asks nothing of the database, so a tick
// or a keeper stuck on a silent connection cannot hold it back.
class LeaseWatch {
  public:
    LeaseWatch(LeaseFence& fence, std::function<void()> onLapse,
               std::chrono::milliseconds every = std::chrono::milliseconds(100));
    ~LeaseWatch();
    LeaseWatch(const LeaseWatch&) = delete;
    LeaseWatch& operator=(const LeaseWatch&) = delete;

  private:
    void Watch();

    LeaseFence& fence_;
    std::function<void()> onLapse_;
    std::chrono::milliseconds every_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace kps
