#include "sending/DeviceLaneRunner.h"

#include <utility>

namespace kps {

DeviceLaneRunner::DeviceLaneRunner(const PosPrinterRegistry& registry, const PrintLog& log,
                                   std::ostream* notices, JobJournal* journal,
                                   SystemPrinterFactory makeSystemPrinter, const LeaseFence* fence,
                                   SecondsHistogram* latency)
    : printer_(registry, log),
      pinger_(9100, notices),
      text_(registry.RasterFont(), log),
      runner_(printer_, pinger_, pause_, log, journal, fence, &text_, latency),
      journal_(journal),
      fence_(fence),
      makeSystemPrinter_(std::move(makeSystemPrinter)) {}

JobReport DeviceLaneRunner::Run(const PrintJob& job) {
    return job.printingType == "W" ? RunSystem(job) : runner_.Run(job);
}

JobReport DeviceLaneRunner::RunSystem(const PrintJob& job) {
    if (!systemRunner_ && makeSystemPrinter_) {
        systemPrinter_ = makeSystemPrinter_();
        systemRunner_ =
            std::make_unique<SystemPrinterJobRunner>(*systemPrinter_, clock_, journal_, fence_);
    }
    if (!systemRunner_) {
        JobReport report;
        report.job = job;
        report.fault = PrintFault::Failed;
        return report;
    }
    return systemRunner_->Run(job);
}

}  // namespace kps
