#pragma once

#include <pthread.h>

#include <cstddef>
#include <functional>
#include <memory>

namespace kps {

// A thread with a stack of a given size: a server keeps one per printer, and
// a lane needs little stack. Joined by its owner, or when destroyed.
class LaneThread {
  public:
    LaneThread() = default;
    // Throws KpsError when the system gives no thread.
    LaneThread(std::function<void()> body, std::size_t stackBytes);
    ~LaneThread();
    LaneThread(LaneThread&& other) noexcept;
    LaneThread& operator=(LaneThread&& other) noexcept;
    LaneThread(const LaneThread&) = delete;
    LaneThread& operator=(const LaneThread&) = delete;

    bool Joinable() const { return body_ != nullptr; }
    void Join();

  private:
    // Where the thread finds its body: moving the handle leaves it in place.
    std::unique_ptr<std::function<void()>> body_;
    pthread_t thread_{};
};

}  // namespace kps
