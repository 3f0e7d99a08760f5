#pragma once

#include "sending/PrintJob.h"

namespace kps {

// Puts a kept ticket's copy on its way as a ticket record of its own.
class ReprintSender {
  public:
    virtual ~ReprintSender() = default;
    virtual void SendReprint(PrintJob job) = 0;
};

}  // namespace kps
