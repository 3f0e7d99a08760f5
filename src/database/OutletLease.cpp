#include "database/OutletLease.h"

#include "database/FileOutletLease.h"
#include "database/PostgresLibpqSession.h"
#include "database/PostgresOutletLease.h"
#include "database/SqlServerOutletLease.h"

namespace kps {
namespace {

// As long as the server's ODBC statements may take.
constexpr std::chrono::milliseconds kLeaseAnswerLimit{10000};

}  // namespace

std::unique_ptr<OutletLease> MakeOutletLease(Connection& db, const std::string& databaseName,
                                             const std::string& outletCode,
                                             const std::string& sqliteFile,
                                             const std::string& odbcConnectionString) {
    const std::string dbms = db.DbmsName();
    const std::string name = OutletLeaseName(databaseName, outletCode);
    if (dbms == "PostgreSQL") {
        auto open = [parameters = PostgresParametersFromOdbc(
                         odbcConnectionString, PostgresOutletLease::kApplicationName)] {
            return std::make_unique<PostgresLibpqSession>(parameters, kLeaseAnswerLimit);
        };
        return std::make_unique<PostgresOutletLease>(std::move(open), OutletLeaseKey(name));
    }
    if (OutletLeaseUsesConnection(dbms)) {
        return std::make_unique<SqlServerOutletLease>(db, name);
    }
    if (dbms.starts_with("SQLite") && !sqliteFile.empty()) {
        return std::make_unique<FileOutletLease>(sqliteFile, name);
    }
    return nullptr;
}

bool OutletLeaseUsesConnection(const std::string& dbmsName) {
    return dbmsName == "Microsoft SQL Server";
}

std::string OutletLeaseName(const std::string& databaseName, const std::string& outletCode) {
    return databaseName + "|" + outletCode;
}

std::int64_t OutletLeaseKey(const std::string& leaseName) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (unsigned char c : leaseName) {
        hash = (hash ^ c) * 1099511628211ULL;
    }
    return static_cast<std::int64_t>(hash);
}

}  // namespace kps
