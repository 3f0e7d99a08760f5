#pragma once

#include <chrono>

namespace kps {

// How the database tells the server that rows may have started waiting to
// print (an order item or a kitchen notice), so that a pass runs at once
// instead of at the next second of the clock.
class ChangeSignal {
  public:
    virtual ~ChangeSignal() = default;

    // True while every new waiting row is signalled: only then may an idle
    // outlet leave the waiting tables unread between signals. Any thread.
    virtual bool Live() const = 0;

    // How often Changed must be asked between passes; zero when the signal
    // wakes the server on its own.
    virtual std::chrono::milliseconds PollEvery() const = 0;

    // On the tick thread, between passes: true when the waiting rows may
    // have changed since the last call.
    virtual bool Changed() = 0;

    // A descriptor that turns readable when Changed is worth asking at once,
    // besides every PollEvery; -1 when there is none.
    virtual int Fd() const { return -1; }
    // Quiets Fd once it has been heard, even during a pass.
    virtual void ClearFd() {}
};

}  // namespace kps
