#pragma once

#include <utility>

#include "sending/PrinterLanes.h"
#include "sending/ReprintSender.h"

namespace kps {

// Hands a reprint straight to the lanes, for a reprint made outside a
// running server, where no other ticket is on its way.
class LaneReprintSender final : public ReprintSender {
  public:
    explicit LaneReprintSender(PrinterLanes& lanes) : lanes_(lanes) {}
    void SendReprint(PrintJob job) override { lanes_.Submit(std::move(job)); }

  private:
    PrinterLanes& lanes_;
};

}  // namespace kps
