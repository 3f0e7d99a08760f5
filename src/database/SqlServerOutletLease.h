#pragma once

#include <mutex>
#include <string>

#include "database/OutletLease.h"
#include "database/OutletLeaseRow.h"

namespace kps {

// An exclusive application lock (sp_getapplock) owned by the session, on a
// resource named after the lease; it never waits for another holder. Where
// the database has the kps_outlet_lease table, the lease is its row, renewed
// on every confirmation: a holder whose session lingers on after its machine
// went (a NAT still answering for it) loses the row when it stops renewing,
// and a standby takes over without the lock. The lock still lets a standby
// take over at once from a holder whose session ended.
class SqlServerOutletLease final : public OutletLease {
  public:
    // `holder` names this process in the lease row.
    SqlServerOutletLease(Connection& db, std::string resource,
                         std::string holder = LeaseHolderName());
    ~SqlServerOutletLease() override;
    SqlServerOutletLease(const SqlServerOutletLease&) = delete;
    SqlServerOutletLease& operator=(const SqlServerOutletLease&) = delete;

    bool TryAcquire() override;
    bool StillHeld() override;
    void Release() override;

  private:
    bool HeldNow();
    bool AcquireLock();
    bool LockHeld();

    Connection& db_;
    std::string resource_;
    OutletLeaseRow row_;
    std::mutex mutex_;
    bool rowChecked_ = false;
    bool rowAvailable_ = false;
    bool locked_ = false;  // this session holds the application lock
    bool held_ = false;
};

}  // namespace kps
