#pragma once

#include <mutex>
#include <string>

#include "database/OutletLease.h"

namespace kps {

// An exclusive application lock (sp_getapplock) owned by the session, on a
// resource named after the lease; it never waits for another holder.
class SqlServerOutletLease final : public OutletLease {
  public:
    SqlServerOutletLease(Connection& db, std::string resource);
    ~SqlServerOutletLease() override;
    SqlServerOutletLease(const SqlServerOutletLease&) = delete;
    SqlServerOutletLease& operator=(const SqlServerOutletLease&) = delete;

    bool TryAcquire() override;
    bool StillHeld() override;
    void Release() override;

  private:
    bool HeldNow();

    Connection& db_;
    std::string resource_;
    std::mutex mutex_;
    bool held_ = false;
};

}  // namespace kps
