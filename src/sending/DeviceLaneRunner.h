#pragma once

#include <memory>
#include <ostream>

#include "output/EscPosNetworkPrinter.h"
#include "output/IcmpPinger.h"
#include "output/PosPrinterRegistry.h"
#include "output/SleepWaitPause.h"
#include "output/SystemPrinter.h"
#include "sending/LaneJobRunner.h"
#include "sending/SystemPrinterJobRunner.h"

namespace kps {

// The runner of one printer's lane, with a printer control, reachability
// check and pause of its own, so no lane shares anything with another.
// System-printer ("W") jobs go to a system printer of the lane's own, made
// by `makeSystemPrinter` on the lane's thread with its first such job;
// without one they fail, nothing sent.
class DeviceLaneRunner final : public JobRunner {
  public:
    DeviceLaneRunner(const PosPrinterRegistry& registry, const PrintLog& log, std::ostream* notices,
                     JobJournal* journal, SystemPrinterFactory makeSystemPrinter = {},
                     const LeaseFence* fence = nullptr, SecondsHistogram* latency = nullptr);

    JobReport Run(const PrintJob& job) override;

  private:
    JobReport RunSystem(const PrintJob& job);

    EscPosNetworkPrinter printer_;
    IcmpPinger pinger_;
    SleepWaitPause pause_;
    EncodingResources text_;  // a direct port's; a network printer has its own
    LaneJobRunner runner_;

    JobJournal* journal_;
    const LeaseFence* fence_;
    SystemClock clock_;
    SystemPrinterFactory makeSystemPrinter_;
    std::unique_ptr<SystemPrinter> systemPrinter_;
    std::unique_ptr<SystemPrinterJobRunner> systemRunner_;
};

}  // namespace kps
