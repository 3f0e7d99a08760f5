#pragma once

namespace kps {

// Told of every polling tick, on the tick thread: what publishes the
// server's state for readers on other threads (the status page) takes it
// when a tick has ended.
class TickObserver {
  public:
    virtual ~TickObserver() = default;
    virtual void TickStarted() = 0;
    virtual void TickEnded() = 0;
};

}  // namespace kps
