#pragma once

#include "sending/JobRunner.h"
#include "sending/PrinterLanes.h"

namespace kps::test {

// Lanes without threads: each job runs as it is submitted, on the runner for
// its kind (a divert print on the divert dialog's printer), and its report
// waits for TakeReports like a lane's.
class InlinePrinterLanes final : public PrinterLanes {
  public:
    InlinePrinterLanes(JobRunner& runner, JobRunner& divertRunner)
        : runner_(runner), divertRunner_(divertRunner) {}

    void Submit(PrintJob job) override;
    std::vector<JobReport> TakeReports() override;
    bool Finish(std::chrono::milliseconds) override { return true; }

    std::vector<PrintJob> submitted;

  private:
    JobRunner& runner_;
    JobRunner& divertRunner_;
    std::vector<JobReport> reports_;
};

}  // namespace kps::test
