#pragma once

#include "output/WaitPause.h"

namespace kps {

// The wait form TRWAIT: a local event loop with a one-second timer that ends
// at its second tick, so the window stays responsive for the two seconds.
class QtWaitPause final : public WaitPause {
  public:
    explicit QtWaitPause(int tickMs = 1000) : tickMs_(tickMs) {}

    void Pause() override;

  private:
    int tickMs_;
};

}  // namespace kps
