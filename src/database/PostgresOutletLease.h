#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "database/OutletLease.h"
#include "database/PostgresSession.h"

namespace kps {

// A session advisory lock (pg_try_advisory_lock) on the lease key, held on a
// PostgreSQL session of its own. The session asks the server to probe the
// client every few seconds, and to end the session after 10 s without a
// message, so the lock of a server whose machine vanished is freed within
// seconds. The lock lives as long as the session, and the session is never
// connected again behind our back, so StillHeld only asks whether the same
// session still answers: one protocol Sync, which the server answers
// without parsing, planning or a transaction. A session whose statements
// reach another server process (a transaction pooler in between) could
// never hold the lock: TryAcquire refuses it before taking anything.
class PostgresOutletLease final : public OutletLease {
  public:
    static constexpr const char* kApplicationName = "kitchen-print-server outlet lease";

    PostgresOutletLease(PostgresSessionOpener open, std::int64_t key);
    ~PostgresOutletLease() override;
    PostgresOutletLease(const PostgresOutletLease&) = delete;
    PostgresOutletLease& operator=(const PostgresOutletLease&) = delete;

    bool TryAcquire() override;
    bool StillHeld() override;
    void Release() override;

  private:
    // A new session, set up and checked; throws KpsError.
    void Open();
    bool HeldNow();

    PostgresSessionOpener open_;
    std::int64_t key_;
    std::mutex mutex_;
    std::unique_ptr<PostgresSession> session_;
    bool held_ = false;
};

}  // namespace kps
