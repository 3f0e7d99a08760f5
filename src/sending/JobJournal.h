#pragma once

#include "sending/PrintJob.h"

namespace kps {

// Where a lane records what it is about to send, before the job's first
// byte, so that whoever prints next knows what may be on paper.
class JobJournal {
  public:
    virtual ~JobJournal() = default;
    // False when the record could not be written: the job must not start.
    virtual bool Starting(const PrintJob& job) = 0;
};

}  // namespace kps
