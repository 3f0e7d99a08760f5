#include "database/SqlServerOutletLease.h"

#include "text/KpsError.h"

namespace kps {
namespace {

// Every statement the lease sends; the resource is the one parameter.
// sp_getapplock answers 0 or 1 when the lock is granted, below 0 otherwise.
constexpr const char* kAcquireSql =
    "SET NOCOUNT ON; DECLARE @result int; "
    "EXEC @result = sp_getapplock @Resource = ?, @LockMode = 'Exclusive', "
    "@LockOwner = 'Session', @LockTimeout = 0; "
    "SELECT @result";
constexpr const char* kHeldSql = "SELECT APPLOCK_MODE('public', ?, 'Session')";
constexpr const char* kReleaseSql = "EXEC sp_releaseapplock @Resource = ?, @LockOwner = 'Session'";

const Value* FirstValue(const ResultTable& table) {
    if (table.rows.empty() || table.rows[0].empty()) {
        return nullptr;
    }
    return &table.rows[0][0];
}

}  // namespace

SqlServerOutletLease::SqlServerOutletLease(Connection& db, std::string resource)
    : db_(db), resource_(std::move(resource)) {}

SqlServerOutletLease::~SqlServerOutletLease() {
    Release();
}

bool SqlServerOutletLease::TryAcquire() {
    std::lock_guard lock(mutex_);
    if (held_ && HeldNow()) {
        return true;
    }
    auto acquire = db_.Prepare(kAcquireSql);
    acquire->Bind(1, Value::Text(resource_));
    ResultTable result = acquire->Query();
    const Value* answer = FirstValue(result);
    held_ = answer != nullptr && ExactInteger(*answer).value_or(-1) >= 0;
    return held_;
}

bool SqlServerOutletLease::StillHeld() {
    std::lock_guard lock(mutex_);
    return held_ && HeldNow();
}

bool SqlServerOutletLease::HeldNow() {
    try {
        auto held = db_.Prepare(kHeldSql);
        held->Bind(1, Value::Text(resource_));
        ResultTable result = held->Query();
        const Value* mode = FirstValue(result);
        held_ = mode != nullptr && mode->AsText() == "Exclusive";
    } catch (const KpsError&) {
        held_ = false;  // the session is gone, and the lock with it
    }
    return held_;
}

void SqlServerOutletLease::Release() {
    std::lock_guard lock(mutex_);
    if (!held_) {
        return;
    }
    held_ = false;
    try {
        auto release = db_.Prepare(kReleaseSql);
        release->Bind(1, Value::Text(resource_));
        release->Execute();
    } catch (const KpsError&) {
        // A session that is gone holds nothing.
    }
}

}  // namespace kps
