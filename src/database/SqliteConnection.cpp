#include "database/SqliteConnection.h"

#include <sqlite3.h>

#include <chrono>
#include <memory>
#include <thread>

#include "database/SqliteStatement.h"
#include "text/KpsError.h"

namespace kps {
namespace {

// Terminals write the same file; wait for their locks rather than failing.
constexpr auto kBusyTimeout = std::chrono::seconds(5);
// SQLite's own wait sleeps in growing steps of up to 100 ms, so a reader that
// meets another connection's commit of a millisecond or two slept 8 ms or
// more; a backlog's tickets, each read while the lanes' journal commits,
// took several times as long as their reads.
constexpr auto kBusyPoll = std::chrono::microseconds(250);
// A lock held longer (a terminal's long transaction) is asked for less
// often: polled every quarter millisecond, each waiting connection cost a
// tenth of a core for as long as it waited.
constexpr auto kQuickWait = std::chrono::milliseconds(20);
constexpr auto kSlowPoll = std::chrono::milliseconds(5);

int WaitForLock(void* since, int attempt) {
    auto& busySince = *static_cast<std::chrono::steady_clock::time_point*>(since);
    const auto now = std::chrono::steady_clock::now();
    if (attempt == 0) {
        busySince = now;
    }
    if (now - busySince >= kBusyTimeout) {
        return 0;
    }
    if (now - busySince < kQuickWait) {
        std::this_thread::sleep_for(kBusyPoll);
    } else {
        std::this_thread::sleep_for(kSlowPoll);
    }
    return 1;
}

struct StatementCloser {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using CompiledStatement = std::unique_ptr<sqlite3_stmt, StatementCloser>;

}  // namespace

SqliteConnection::SqliteConnection(const std::string& path, bool createIfMissing) {
    int flags = SQLITE_OPEN_READWRITE | (createIfMissing ? SQLITE_OPEN_CREATE : 0);
    int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw KpsError(rc, "Cannot open database '" + path + "': " + message);
    }
    sqlite3_extended_result_codes(db_, 0);
    sqlite3_busy_handler(db_, &WaitForLock, &busySince_);
}

SqliteConnection::~SqliteConnection() {
    sqlite3_close_v2(db_);
}

void SqliteConnection::Execute(const std::string& sql) {
    const char* rest = sql.c_str();
    while (*rest != '\0') {
        sqlite3_stmt* raw = nullptr;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db_, rest, -1, &raw, &tail) != SQLITE_OK) {
            Fail(sqlite3_errcode(db_));
        }
        CompiledStatement statement(raw);
        rest = tail;
        if (!statement) {
            continue;  // blank text or a comment
        }
        int rc = SQLITE_ROW;
        while (rc == SQLITE_ROW) {
            rc = sqlite3_step(statement.get());
        }
        if (rc != SQLITE_DONE) {
            Fail(rc);
        }
    }
}

ResultTable SqliteConnection::Query(const std::string& sql) {
    return SqliteStatement(db_, sql).Query();
}

std::unique_ptr<Statement> SqliteConnection::Prepare(const std::string& sql) {
    return std::make_unique<SqliteStatement>(db_, sql);
}

void SqliteConnection::BeginTransaction() {
    Execute("BEGIN IMMEDIATE");
}

void SqliteConnection::CommitTransaction() {
    Execute("COMMIT");
}

void SqliteConnection::RollbackTransaction() {
    // Fails only when no transaction is open, which leaves nothing to undo.
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

std::string SqliteConnection::DbmsName() const {
    return "SQLite";
}

void SqliteConnection::Fail(int code) const {
    throw KpsError(code, sqlite3_errmsg(db_));
}

}  // namespace kps
