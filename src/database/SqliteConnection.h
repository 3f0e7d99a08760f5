#pragma once

#include <chrono>
#include <string>

#include "database/Connection.h"

struct sqlite3;

namespace kps {

// The embedded database: one SQLite file shared by the terminals and the
// server. Columns keep the names the statement gives them; values come as
// SqliteStatement describes.
class SqliteConnection final : public Connection {
  public:
    // Opens the file; a missing file is an error unless `createIfMissing`.
    explicit SqliteConnection(const std::string& path, bool createIfMissing = false);
    ~SqliteConnection() override;
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    // Runs every statement of `sql` in turn (a script is allowed).
    void Execute(const std::string& sql) override;
    ResultTable Query(const std::string& sql) override;
    std::unique_ptr<Statement> Prepare(const std::string& sql) override;
    void BeginTransaction() override;
    void CommitTransaction() override;
    void RollbackTransaction() override;
    std::string DbmsName() const override;

  private:
    [[noreturn]] void Fail(int code) const;

    sqlite3* db_ = nullptr;
    std::chrono::steady_clock::time_point busySince_;  // when the current wait for a lock began
};

}  // namespace kps
