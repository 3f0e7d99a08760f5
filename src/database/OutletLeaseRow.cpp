#include "database/OutletLeaseRow.h"

#include <unistd.h>

#include <random>
#include <string_view>

#include "text/KpsError.h"

namespace kps {
namespace {

// "{now}" and "{expiry}" stand for the back end's clock expressions.
constexpr const char* kClaimSql =
    "UPDATE kps_outlet_lease SET Holder = ?, Locked = ?, ExpiresAt = {expiry}"
    " WHERE LeaseName = ? AND (Holder = ? OR ExpiresAt <= {now} OR (Locked = 1 AND ? = 1))";
constexpr const char* kCreateSql =
    "INSERT INTO kps_outlet_lease (LeaseName, Holder, Locked, ExpiresAt)"
    " SELECT ?, ?, 1, {expiry} WHERE NOT EXISTS"
    " (SELECT 1 FROM kps_outlet_lease WHERE LeaseName = ?)";
constexpr const char* kOursSql =
    "SELECT COUNT(*) FROM kps_outlet_lease WHERE LeaseName = ? AND Holder = ? AND"
    " ExpiresAt > {now}";
constexpr const char* kDropSql =
    "UPDATE kps_outlet_lease SET Locked = 0, ExpiresAt = {now} WHERE LeaseName = ? AND Holder = ?";

std::string Replaced(std::string sql, std::string_view name, const std::string& by) {
    for (auto at = sql.find(name); at != std::string::npos; at = sql.find(name, at + by.size())) {
        sql.replace(at, name.size(), by);
    }
    return sql;
}

}  // namespace

OutletLeaseRow::OutletLeaseRow(Connection& db, std::string leaseName, std::string holder)
    : db_(db), leaseName_(std::move(leaseName)), holder_(std::move(holder)) {
    const std::string seconds = std::to_string(kLeaseRowSeconds);
    const std::string dbms = db_.DbmsName();
    if (dbms == "PostgreSQL") {
        now_ = "(clock_timestamp() AT TIME ZONE 'UTC')";
        expiry_ = now_ + " + INTERVAL '" + seconds + " seconds'";
    } else if (dbms.starts_with("SQLite")) {
        now_ = "strftime('%Y-%m-%d %H:%M:%f', 'now')";
        expiry_ = "strftime('%Y-%m-%d %H:%M:%f', 'now', '+" + seconds + " seconds')";
    } else {
        now_ = "SYSUTCDATETIME()";
        expiry_ = "DATEADD(second, " + seconds + ", SYSUTCDATETIME())";
    }
}

bool OutletLeaseRow::Available() {
    try {
        db_.Query("SELECT COUNT(*) FROM kps_outlet_lease WHERE 1 = 0");
        return true;
    } catch (const KpsError&) {
        return false;  // not added to this database
    }
}

bool OutletLeaseRow::Claim(bool locked) {
    const auto sql = [this](const char* text) {
        return Replaced(Replaced(text, "{now}", now_), "{expiry}", expiry_);
    };
    const Value lockedValue = Value::Integer(locked ? 1 : 0);
    auto claim = db_.Prepare(sql(kClaimSql));
    claim->Bind(1, Value::Text(holder_));
    claim->Bind(2, lockedValue);
    claim->Bind(3, Value::Text(leaseName_));
    claim->Bind(4, Value::Text(holder_));
    claim->Bind(5, lockedValue);
    claim->Execute();
    if (locked) {
        auto create = db_.Prepare(sql(kCreateSql));
        create->Bind(1, Value::Text(leaseName_));
        create->Bind(2, Value::Text(holder_));
        create->Bind(3, Value::Text(leaseName_));
        create->Execute();
    }
    auto ours = db_.Prepare(sql(kOursSql));
    ours->Bind(1, Value::Text(leaseName_));
    ours->Bind(2, Value::Text(holder_));
    const ResultTable result = ours->Query();
    return !result.rows.empty() && !result.rows[0].empty() &&
           ExactInteger(result.rows[0][0]).value_or(0) == 1;
}

void OutletLeaseRow::Drop() {
    try {
        auto drop = db_.Prepare(Replaced(kDropSql, "{now}", now_));
        drop->Bind(1, Value::Text(leaseName_));
        drop->Bind(2, Value::Text(holder_));
        drop->Execute();
    } catch (const KpsError&) {
        // It expires on its own.
    }
}

std::string LeaseHolderName() {
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    std::random_device random;
    return std::string(host) + ":" + std::to_string(getpid()) + ":" + std::to_string(random());
}

}  // namespace kps
