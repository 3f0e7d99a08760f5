#include "database/PostgresOutletLease.h"

#include <string>
#include <utility>

#include "text/KpsError.h"

namespace kps {

PostgresOutletLease::PostgresOutletLease(PostgresSessionOpener open, std::int64_t key)
    : open_(std::move(open)), key_(key) {}

PostgresOutletLease::~PostgresOutletLease() {
    Release();
}

bool PostgresOutletLease::TryAcquire() {
    std::lock_guard lock(mutex_);
    if (held_ && HeldNow()) {
        return true;
    }
    if (!session_) {
        Open();
    }
    try {
        const auto taken = session_->Ask("SELECT pg_try_advisory_lock($1::bigint)::int", {key_});
        held_ = !taken.empty() && taken[0] == 1;
    } catch (const KpsError&) {
        session_.reset();  // gone, and the lock with it
        throw;
    }
    return held_;
}

void PostgresOutletLease::Open() {
    auto session = open_();
    session->Ask("SET tcp_keepalives_idle = 5");
    session->Ask("SET tcp_keepalives_interval = 2");
    session->Ask("SET tcp_keepalives_count = 2");
    // As the server's own ODBC statements: a stuck one ends in an error.
    session->Ask("SET statement_timeout = '10s'");
    try {
        // A holder confirms every second; one silent for longer is cut off
        // even when something between (a router, a proxy) still answers
        // the keepalives for a machine that has gone.
        session->Ask("SET idle_session_timeout = '10s'");
    } catch (const KpsError&) {
        // Before PostgreSQL 14: the keepalives alone.
    }
    const auto asked = session->Ask("SELECT pg_backend_pid()");
    const std::int64_t backend = asked.empty() ? 0 : asked[0];
    if (backend != session->Backend()) {
        // A session lock lives in one server process; statements answered
        // by another mean they are shared out among sessions.
        throw KpsError(kErrLeaseLost,
                       "The outlet lease's database session is served by another server process "
                       "than the one it started with (server process " +
                           std::to_string(session->Backend()) + ", statements answered by " +
                           std::to_string(backend) +
                           "): most likely a transaction pooler stands between this server and "
                           "PostgreSQL, which breaks the lease. Connect the servers directly (a "
                           "pooler that stands in for PostgreSQL's process ids is refused even "
                           "in session mode).");
    }
    session_ = std::move(session);
}

bool PostgresOutletLease::StillHeld() {
    std::lock_guard lock(mutex_);
    return held_ && HeldNow();
}

// A session lock stays with its session until the session unlocks it or
// ends: the same session answering confirms it.
bool PostgresOutletLease::HeldNow() {
    if (!session_->Sync()) {
        session_.reset();  // the session is gone, and the lock with it
        held_ = false;
    }
    return held_;
}

void PostgresOutletLease::Release() {
    std::lock_guard lock(mutex_);
    if (held_) {
        try {
            session_->Ask("SELECT pg_advisory_unlock($1::bigint)::int", {key_});
        } catch (const KpsError&) {
            // A session that is gone holds nothing.
        }
    }
    held_ = false;
    session_.reset();
}

}  // namespace kps
