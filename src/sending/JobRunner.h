#pragma once

#include "sending/PrintJob.h"

namespace kps {

// Prints one job on the printer that a lane owns.
class JobRunner {
  public:
    virtual ~JobRunner() = default;
    virtual JobReport Run(const PrintJob& job) = 0;
};

}  // namespace kps
