#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "database/Connection.h"
#include "sending/JobJournal.h"
#include "startup/Clock.h"
#include "startup/GroupCommit.h"
#include "startup/PrintLog.h"

namespace kps {

// Writes the lanes' records into the print journal table on a connection of
// its own (the tick thread's is never used from a lane). Lanes starting
// together share one commit: each queues its rows and waits for the commit
// that holds them; whichever lane finds no commit under way makes the next
// one with everything queued, so a first byte waits for at most the commit
// under way and its own. A connection that failed is opened afresh for the
// next commit. Failing and working again are logged once each time.
class JournalWriter final : public JobJournal {
  public:
    using ConnectionOpener = std::function<std::unique_ptr<Connection>()>;

    // `writer` names this server run in every row it writes.
    JournalWriter(ConnectionOpener open, std::string writer, const Clock& clock,
                  const PrintLog& log);

    // A name no other server run of the outlet has: host, process, time.
    static std::string UniqueWriterName();

    const std::string& Writer() const { return writer_; }

    bool Starting(const PrintJob& job) override;

  private:
    struct Row {
        std::string key;
        unsigned long job = 0;
        std::string device;
        std::string startedAt;
    };
    using Rows = std::vector<Row>;

    bool Commit(const std::vector<Rows>& batch);

    ConnectionOpener open_;
    std::string writer_;
    const Clock& clock_;
    const PrintLog& log_;

    GroupCommit<Rows> commits_;

    // Used only by the lane making the commit under way.
    std::unique_ptr<Connection> db_;
    std::unique_ptr<Statement> insert_;
    bool failing_ = false;
};

}  // namespace kps
