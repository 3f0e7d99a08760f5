#pragma once

#include "sending/JobRunner.h"
#include "sending/PrinterLanes.h"

namespace kps::test {

// Lanes without threads: each job runs as it is submitted, on the runner for
// its kind (a divert print on the divert dialog's printer), and its report
// waits for TakeReports like a lane's.
class InlinePrinterLanes final : public PrinterLanes {
  public:
    // `systemRunner`, when given, takes the system printers' ("W") jobs.
    InlinePrinterLanes(JobRunner& runner, JobRunner& divertRunner,
                       JobRunner* systemRunner = nullptr)
        : runner_(runner), divertRunner_(divertRunner), systemRunner_(systemRunner) {}

    void Submit(PrintJob job) override;
    std::vector<JobReport> TakeReports() override;
    bool Finish(std::chrono::milliseconds) override { return true; }

    std::vector<PrintJob> submitted;

  private:
    JobRunner& runner_;
    JobRunner& divertRunner_;
    JobRunner* systemRunner_;
    std::vector<JobReport> reports_;
};

}  // namespace kps::test
