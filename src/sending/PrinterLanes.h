#pragma once

#include <chrono>
#include <vector>

#include "sending/PrintJob.h"

namespace kps {

// Every network and direct-port printer's own queue of jobs, printed in
// order; one printer's pauses and failures delay only its own jobs. Device
// names that lead to one printer may share its queue. Called from the tick
// thread only.
class PrinterLanes {
  public:
    virtual ~PrinterLanes() = default;

    // Queues `job` on the lane of its printer; returns at once.
    virtual void Submit(PrintJob job) = 0;

    // The reports of the jobs that ended since the last call, in the order
    // they ended.
    virtual std::vector<JobReport> TakeReports() = 0;

    // Takes no more jobs and lets the lanes print what they hold, for at most
    // `limit`; then drops what no lane has started. False when a lane was
    // still printing.
    virtual bool Finish(std::chrono::milliseconds limit) = 0;
};

}  // namespace kps
