#include "support/InlinePrinterLanes.h"

#include <utility>

namespace kps::test {

void InlinePrinterLanes::Submit(PrintJob job) {
    job.number = submitted.size() + 1;
    submitted.push_back(job);
    JobRunner& runner = job.kind == JobKind::Divert                           ? divertRunner_
                        : job.printingType == "W" && systemRunner_ != nullptr ? *systemRunner_
                                                                              : runner_;
    reports_.push_back(runner.Run(job));
}

std::vector<JobReport> InlinePrinterLanes::TakeReports() {
    return std::exchange(reports_, {});
}

}  // namespace kps::test
