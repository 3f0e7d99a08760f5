#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "database/Connection.h"

namespace kps {

// The right to print for one outlet: one server holds it, any other waits on
// standby. Keyed by the database and the outlet code; released by the
// database when the holding connection ends (crash included). A lease is
// destroyed before its connection, and releases itself then. Calls may come
// from several threads; each runs alone.
class OutletLease {
  public:
    virtual ~OutletLease() = default;

    // True when this process holds the lease now; asking again while it is
    // held takes nothing more. Throws KpsError when the database (or the
    // lease file) cannot be asked.
    virtual bool TryAcquire() = 0;

    // False when the lease was lost (the connection gone, the lock taken
    // away) or never taken. Throws KpsError, saying why, when the lease is
    // found broken in a way the administrator must mend.
    virtual bool StillHeld() = 0;

    // Gives the lease up; never throws.
    virtual void Release() = 0;
};

// The lease that fits connection.DbmsName(): an advisory lock on
// PostgreSQL (on a session of its own, to the server `odbcConnectionString`
// names), an application lock on Microsoft SQL Server, a lock on the file
// "<sqliteFile>.lease" for SQLite. Any other database (or SQLite without a
// file) has none: nullptr, and the caller runs without a lease.
std::unique_ptr<OutletLease> MakeOutletLease(Connection& db, const std::string& databaseName,
                                             const std::string& outletCode,
                                             const std::string& sqliteFile,
                                             const std::string& odbcConnectionString);

// Whether the lease MakeOutletLease makes for `dbmsName` lives on the
// connection it is given (SQL Server's application lock); the others hold
// a session or a file of their own.
bool OutletLeaseUsesConnection(const std::string& dbmsName);

// The name both servers of an outlet derive the lease from.
std::string OutletLeaseName(const std::string& databaseName, const std::string& outletCode);

// A stable 64-bit key of a lease name (FNV-1a), the same on every machine.
std::int64_t OutletLeaseKey(const std::string& leaseName);

}  // namespace kps
