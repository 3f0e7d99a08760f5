#pragma once

#include <chrono>
#include <vector>

#include "printing/PrintJob.h"

namespace kps {

// Every network and direct-port printer's own queue of jobs, printed in
// order; one printer's pauses and failures delay only its own jobs. Called
// from the tick thread only.
class PrinterLanes {
  public:
    virtual ~PrinterLanes() = default;

    // Queues `job` on the lane of job.device; returns at once.
    virtual void Submit(PrintJob job) = 0;

    // The reports of the jobs that ended since the last call, in the order
    // they ended.
    virtual std::vector<JobReport> TakeReports() = 0;

    // Drops the jobs no lane has started and waits at most `limit` for the
    // running ones. False when a lane was still at work.
    virtual bool Finish(std::chrono::milliseconds limit) = 0;
};

}  // namespace kps
