#include "sending/SystemPrinterJobRunner.h"

#include <algorithm>
#include <exception>

namespace kps {
namespace {

constexpr long long kLongestWait = 60;  // seconds

}  // namespace

SystemPrinterJobRunner::SystemPrinterJobRunner(SystemPrinter& printer, const Clock& clock,
                                               JobJournal* journal, const LeaseFence* fence)
    : printer_(printer), clock_(clock), journal_(journal), fence_(fence) {}

JobReport SystemPrinterJobRunner::Run(const PrintJob& job) {
    JobReport report;
    report.job = job;
    report.fault = PrintFault::Failed;
    if (Waiting(SecondsOf(clock_.Now()))) {
        return report;
    }
    if (journal_ != nullptr && !journal_->Starting(job)) {
        report.fault = PrintFault::NotRecorded;
        return report;
    }
    if (fence_ != nullptr && !fence_->Open()) {
        report.fault = PrintFault::NotLeased;
        return report;
    }
    report.opened = true;
    report.bytesLeft = true;
    report.printed = Print(job);
    if (report.printed) {
        report.fault = PrintFault::None;
        failures_ = 0;
    } else {
        ++failures_;
        failedAt_ = SecondsOf(clock_.Now());
    }
    return report;
}

bool SystemPrinterJobRunner::Waiting(long long now) const {
    if (failures_ == 0 || now < failedAt_) {
        return false;  // a clock set back must not hold a printer for hours
    }
    const long long wait = std::min(kLongestWait, 1LL << std::min(failures_ - 1, 6));
    return now - failedAt_ < wait;
}

bool SystemPrinterJobRunner::Print(const PrintJob& job) {
    // A fault must not end the lane's thread: it is a failed job.
    try {
        SelectSystemPrinterByName(printer_, job.systemPrinterName);
        PrintPage(printer_, job.page);
        return printer_.EndJob();
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace kps
