#pragma once

namespace kps {

// The main window's polling timer Timer1: one tick every 1000 ms while active.
class PollTimer {
  public:
    virtual ~PollTimer() = default;
    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;
};

}  // namespace kps
