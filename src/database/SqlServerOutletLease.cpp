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

SqlServerOutletLease::SqlServerOutletLease(Connection& db, std::string resource, std::string holder)
    : db_(db), resource_(std::move(resource)), row_(db, resource_, std::move(holder)) {}

SqlServerOutletLease::~SqlServerOutletLease() {
    Release();
}

bool SqlServerOutletLease::TryAcquire() {
    std::lock_guard lock(mutex_);
    if (held_ && HeldNow()) {
        return true;
    }
    if (!rowChecked_) {
        rowAvailable_ = row_.Available();
        rowChecked_ = true;
    }
    locked_ = locked_ || AcquireLock();
    held_ = rowAvailable_ ? row_.Claim(locked_) : locked_;
    return held_;
}

bool SqlServerOutletLease::StillHeld() {
    std::lock_guard lock(mutex_);
    return held_ && HeldNow();
}

bool SqlServerOutletLease::HeldNow() {
    try {
        if (rowAvailable_) {
            // A holder that took the row without the lock takes the lock
            // when the lingering session lets it go.
            locked_ = locked_ || AcquireLock();
            held_ = row_.Claim(locked_);
        } else {
            locked_ = LockHeld();
            held_ = locked_;
        }
    } catch (const KpsError&) {
        held_ = locked_ = false;  // the session is gone, and the lock with it
    }
    return held_;
}

bool SqlServerOutletLease::AcquireLock() {
    auto acquire = db_.Prepare(kAcquireSql);
    acquire->Bind(1, Value::Text(resource_));
    ResultTable result = acquire->Query();
    const Value* answer = FirstValue(result);
    return answer != nullptr && ExactInteger(*answer).value_or(-1) >= 0;
}

bool SqlServerOutletLease::LockHeld() {
    auto held = db_.Prepare(kHeldSql);
    held->Bind(1, Value::Text(resource_));
    ResultTable result = held->Query();
    const Value* mode = FirstValue(result);
    return mode != nullptr && mode->AsText() == "Exclusive";
}

void SqlServerOutletLease::Release() {
    std::lock_guard lock(mutex_);
    if (held_ && rowAvailable_) {
        row_.Drop();
    }
    held_ = false;
    if (!locked_) {
        return;
    }
    locked_ = false;
    try {
        auto release = db_.Prepare(kReleaseSql);
        release->Bind(1, Value::Text(resource_));
        release->Execute();
    } catch (const KpsError&) {
        // A session that is gone holds nothing.
    }
}

}  // namespace kps
