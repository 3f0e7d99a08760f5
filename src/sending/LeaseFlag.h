#pragma once

#include <atomic>

namespace kps {

// Whether this server may print for its outlet, as the tick thread last
// found its lease; the lanes read it before each job, since they must not
// use the tick thread's database connection to ask for themselves.
class LeaseFlag {
  public:
    void Publish(bool held) { held_.store(held, std::memory_order_release); }
    bool Held() const { return held_.load(std::memory_order_acquire); }

  private:
    std::atomic<bool> held_{false};
};

}  // namespace kps
