#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "database/ChangeSignal.h"
#include "database/Connection.h"

namespace kps {

// SQLite's change counter: `PRAGMA data_version` on the server's own
// connection moves when another connection commits, and not for the
// connection's own writes, so a terminal's order wakes the server and the
// server's own marking does not. Asked every `every` between passes; it
// reads no table.
class SqliteDataVersionSignal final : public ChangeSignal {
  public:
    explicit SqliteDataVersionSignal(
        Connection& db, std::chrono::milliseconds every = std::chrono::milliseconds(50));

    bool Live() const override { return true; }
    std::chrono::milliseconds PollEvery() const override { return every_; }
    bool Changed() override;

  private:
    std::string Version();

    std::unique_ptr<Statement> statement_;  // compiled once: it runs 20 times a second
    std::chrono::milliseconds every_;
    std::string version_;
};

}  // namespace kps
