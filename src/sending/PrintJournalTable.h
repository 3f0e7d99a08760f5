#pragma once

#include <memory>
#include <string>
#include <vector>

#include "database/Connection.h"

namespace kps {

// The database's record of what lanes were about to send and have not
// settled: one row per item (or notice copy) of a started job, naming the
// server run that wrote it, the job, the device and the time. Any server of
// the outlet reads it after taking over, so what a dead server may have put
// on paper comes out again labelled, and nothing else does. Rows go in the
// transaction that marks their items printed, or when no byte of their job
// left; a notice copy's when the notice is marked printed. Used on the tick thread's connection;
// lanes write through a JournalWriter.
class PrintJournalTable {
  public:
    static constexpr const char* kName = "kps_print_journal";

    // Whether the database has the table. SQLite's is created when missing;
    // another database's is added by its administrator.
    static bool Available(Connection& db);

    explicit PrintJournalTable(Connection& db) : db_(db) {}

    // What the rows say may be on paper and still waits to print; rows of
    // anything that no longer waits are dropped. Throws KpsError.
    std::vector<std::string> MayBeOnPaper();

    // Drops the rows of these items; within the caller's transaction when
    // there is one. Throws KpsError.
    void ClearItems(const std::vector<std::string>& keys);

    // Drops the rows of every copy of notice `noticeId`. Throws KpsError.
    void ClearNotice(const std::string& noticeId);

    // Drops the rows of job `job` of server run `writer`. Throws KpsError.
    void ClearJob(const std::string& writer, unsigned long job);

  private:
    Connection& db_;
    std::unique_ptr<Statement> clearItem_;
    std::unique_ptr<Statement> clearJob_;
};

}  // namespace kps
