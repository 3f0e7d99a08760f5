#pragma once

#include <string>

#include "database/Connection.h"

namespace kps {

// How long a lease row stays good after its holder last renewed it, by the
// database's clock.
constexpr int kLeaseRowSeconds = 10;

// A lease kept as a row of kps_outlet_lease (LeaseName, Holder, Locked,
// ExpiresAt), every time taken from the database's own clock, so the
// machines' clocks never matter. It lets a standby take over from a holder
// that stopped renewing even while that holder's session lingers on. The
// same statements run on every back end; only the clock expressions differ.
class OutletLeaseRow {
  public:
    // `holder` names this process uniquely (LeaseHolderName).
    OutletLeaseRow(Connection& db, std::string leaseName, std::string holder);

    // True when the table is there to be used.
    bool Available();

    // Takes or renews the row; true when it is ours until kLeaseRowSeconds
    // from now. It is taken when it is ours, has expired, or (with `locked`:
    // this session holds the application lock) was taken under that lock by
    // a session that is therefore gone; a missing row is made only with
    // `locked`. Throws KpsError when the database cannot be asked.
    bool Claim(bool locked);

    // Lets a standby take the row at once; never throws.
    void Drop();

  private:
    Connection& db_;
    std::string leaseName_;
    std::string holder_;
    std::string now_;     // SQL for the database's time now
    std::string expiry_;  // and for kLeaseRowSeconds later
};

// This process's name as a lease holder: host, process ID and a random part.
std::string LeaseHolderName();

}  // namespace kps
