#pragma once

#include "output/SystemPrinter.h"
#include "sending/JobJournal.h"
#include "sending/JobRunner.h"
#include "sending/LeaseFence.h"
#include "startup/Clock.h"

namespace kps {

// Prints a lane's system-printer ("W") jobs on that lane's own system
// printer: selects it by the job's name, draws the recorded page line by
// line in its fonts and colours, and ends the job. A printer that failed is
// left alone for a while: its jobs fail at once, nothing sent, until 1 s
// has passed since the failure, doubling with each failure in a row up to
// 60 s; a printed job ends the wait.
class SystemPrinterJobRunner final : public JobRunner {
  public:
    // `journal`, when given, records each job just before the printer is
    // run; a job it cannot record fails, nothing sent. `fence`, when given,
    // is looked at after that: closed, nothing is sent (NotLeased).
    SystemPrinterJobRunner(SystemPrinter& printer, const Clock& clock,
                           JobJournal* journal = nullptr, const LeaseFence* fence = nullptr);

    JobReport Run(const PrintJob& job) override;

  private:
    bool Waiting(long long now) const;
    bool Print(const PrintJob& job);

    SystemPrinter& printer_;
    const Clock& clock_;
    JobJournal* journal_;
    const LeaseFence* fence_;
    int failures_ = 0;        // failed jobs in a row
    long long failedAt_ = 0;  // when the last of them ended, in seconds
};

}  // namespace kps
