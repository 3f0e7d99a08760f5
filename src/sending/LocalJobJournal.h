#pragma once

#include "reprint/ReprintJournal.h"
#include "sending/JobJournal.h"

namespace kps {

// The lanes' journal where the database has no table for it: the state
// folder's file, which never refuses a job (a file that cannot be written
// is logged, and printing goes on).
class LocalJobJournal final : public JobJournal {
  public:
    explicit LocalJobJournal(ReprintJournal& journal) : journal_(journal) {}

    bool Starting(const PrintJob& job) override {
        journal_.JobStarted(job.number, job.itemIds);
        return true;
    }

  private:
    ReprintJournal& journal_;
};

}  // namespace kps
