#pragma once

#include <ostream>

#include "output/EscPosNetworkPrinter.h"
#include "output/IcmpPinger.h"
#include "output/PosPrinterRegistry.h"
#include "output/SleepWaitPause.h"
#include "sending/LaneJobRunner.h"

namespace kps {

// The runner of one printer's lane, with a printer control, reachability
// check and pause of its own, so no lane shares anything with another.
class DeviceLaneRunner final : public JobRunner {
  public:
    DeviceLaneRunner(const PosPrinterRegistry& registry, const PrintLog& log, std::ostream* notices,
                     ReprintJournal* journal);

    JobReport Run(const PrintJob& job) override { return runner_.Run(job); }

  private:
    EscPosNetworkPrinter printer_;
    IcmpPinger pinger_;
    SleepWaitPause pause_;
    LaneJobRunner runner_;
};

}  // namespace kps
