#pragma once

namespace kps {

// Told of every polling tick, on the tick thread: what publishes the
// server's state for readers on other threads (the status page) takes it
// when a tick has ended.
class TickObserver {
  public:
    virtual ~TickObserver() = default;
    virtual void TickStarted() = 0;
    // `passRan`: the tick read the waiting rows, sent and settled, rather
    // than only keeping time.
    virtual void TickEnded(bool passRan) = 0;
};

}  // namespace kps
