#pragma once

#include <cstdint>
#include <mutex>

#include "database/OutletLease.h"

namespace kps {

// A session advisory lock (pg_try_advisory_lock) on the lease key. The
// session asks the server to probe the client every few seconds, and to end
// the session after 10 s without a statement, so the lock of a server whose
// machine vanished is freed within seconds. It remembers the server process
// (backend) that took the lock: StillHeld asks for the session's process
// alone, since the lock lasts as long as the session; answers from another
// one mean the lock is not ours any more (a transaction pooler in between),
// and StillHeld throws.
class PostgresOutletLease final : public OutletLease {
  public:
    PostgresOutletLease(Connection& db, std::int64_t key);
    ~PostgresOutletLease() override;
    PostgresOutletLease(const PostgresOutletLease&) = delete;
    PostgresOutletLease& operator=(const PostgresOutletLease&) = delete;

    bool TryAcquire() override;
    bool StillHeld() override;
    void Release() override;

  private:
    bool HeldNow();

    Connection& db_;
    std::int64_t key_;
    std::mutex mutex_;
    bool keepalivesSet_ = false;
    bool held_ = false;
    std::int64_t backend_ = 0;  // pg_backend_pid() when the lock was taken
};

}  // namespace kps
