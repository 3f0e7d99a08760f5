#include "database/SqliteConnection.h"

#include <sqlite3.h>

#include <memory>

#include "database/SqliteStatement.h"
#include "text/KpsError.h"

namespace kps {
namespace {

// Terminals write the same file; wait for their locks rather than failing.
constexpr int kBusyTimeoutMs = 5000;

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
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
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
