#include "database/PostgresOutletLease.h"

#include <string>

#include "text/KpsError.h"

namespace kps {
namespace {

std::int64_t Column(const ResultTable& table, std::size_t column) {
    if (table.rows.empty() || table.rows[0].size() <= column) {
        return 0;
    }
    return ExactInteger(table.rows[0][column]).value_or(0);
}

}  // namespace

PostgresOutletLease::PostgresOutletLease(Connection& db, std::int64_t key) : db_(db), key_(key) {}

PostgresOutletLease::~PostgresOutletLease() {
    Release();
}

bool PostgresOutletLease::TryAcquire() {
    std::lock_guard lock(mutex_);
    if (held_ && HeldNow()) {
        return true;
    }
    if (!keepalivesSet_) {
        db_.Execute("SET tcp_keepalives_idle = 5");
        db_.Execute("SET tcp_keepalives_interval = 2");
        db_.Execute("SET tcp_keepalives_count = 2");
        try {
            // A holder asks every second; one silent for longer is cut off
            // even when something between (a router, a proxy) still answers
            // the keepalives for a machine that has gone.
            db_.Execute("SET idle_session_timeout = '10s'");
        } catch (const KpsError&) {
            // Before PostgreSQL 14: the keepalives alone.
        }
        keepalivesSet_ = true;
    }
    auto acquire =
        db_.Prepare("SELECT CASE WHEN pg_try_advisory_lock(?) THEN 1 ELSE 0 END, pg_backend_pid()");
    acquire->Bind(1, Value::Integer(key_));
    const ResultTable result = acquire->Query();
    held_ = Column(result, 0) == 1;
    backend_ = Column(result, 1);
    return held_;
}

bool PostgresOutletLease::StillHeld() {
    std::lock_guard lock(mutex_);
    return held_ && HeldNow();
}

// A session lock stays with its session until the session unlocks it or
// ends: one round trip that finds the same session alive confirms it.
bool PostgresOutletLease::HeldNow() {
    ResultTable result;
    try {
        result = db_.Query("SELECT pg_backend_pid()");
    } catch (const KpsError&) {
        held_ = false;  // the connection is gone, and the lock with it
        return held_;
    }
    const std::int64_t backend = Column(result, 0);
    if (backend != backend_) {
        // A session lock lives in one server process; answers from another
        // mean the statements are shared out among sessions.
        held_ = false;
        throw KpsError(kErrLeaseLost,
                       "The outlet lease's database session changed (server process " +
                           std::to_string(backend_) + ", now " + std::to_string(backend) +
                           "): most likely a transaction pooler stands between this server and "
                           "PostgreSQL, which breaks the lease. Connect directly or through a "
                           "session pooler.");
    }
    return held_;
}

void PostgresOutletLease::Release() {
    std::lock_guard lock(mutex_);
    if (!held_) {
        return;
    }
    held_ = false;
    try {
        auto release = db_.Prepare("SELECT pg_advisory_unlock(?)");
        release->Bind(1, Value::Integer(key_));
        release->Query();
    } catch (const KpsError&) {
        // A connection that is gone holds nothing.
    }
}

}  // namespace kps
