#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "database/ChangeSignal.h"
#include "database/Connection.h"
#include "database/SqliteFileWatch.h"

namespace kps {

// SQLite's change counter: `PRAGMA data_version` on the server's own
// connection moves when another connection commits, and not for the
// connection's own writes, so a terminal's order wakes the server and the
// server's own marking does not. A watch on the database's files says when
// to ask at once, and it is asked besides every `watched` lest the watch
// miss a write. On a network share, whose watch would not hear other
// machines, or where the watch cannot be set, it is asked every
// `unwatched`, and `note` is told why.
class SqliteDataVersionSignal final : public ChangeSignal {
  public:
    using Note = std::function<void(const std::string&)>;

    explicit SqliteDataVersionSignal(
        Connection& db, const Note& note = {},
        std::chrono::milliseconds watched = std::chrono::milliseconds(1000),
        std::chrono::milliseconds unwatched = std::chrono::milliseconds(50));

    bool Live() const override { return true; }
    std::chrono::milliseconds PollEvery() const override { return every_; }
    int Fd() const override { return watch_ ? watch_->Fd() : -1; }
    void ClearFd() override;
    bool Changed() override;

  private:
    std::string Version();

    std::unique_ptr<Statement> statement_;  // compiled once: it runs on every write
    std::unique_ptr<SqliteFileWatch> watch_;
    std::chrono::milliseconds every_;
    std::string version_;
};

}  // namespace kps
