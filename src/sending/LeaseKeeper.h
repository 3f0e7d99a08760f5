#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "database/Connection.h"
#include "database/OutletLease.h"
#include "sending/LeaseFence.h"
#include "startup/PrintLog.h"
#include "text/KpsError.h"

namespace kps {

// Holds the outlet's lease on a database connection of its own, and on a
// thread of its own takes it while on standby and confirms it while held,
// every `period`, publishing each confirmation to the fence. A tick stuck in
// a slow statement on its own connection therefore cannot leave the fence
// stale, and a keeper stuck on a silent connection lets it lapse.
//
// To the tick it is the lease: TryAcquire and StillHeld answer from what the
// thread found last, and throw the error that stopped the thread (TryAcquire
// also when the lease the thread took was lost). A lost lease, or one the
// thread could not ask about, closes the fence at once, as does Release.
class LeaseKeeper final : public OutletLease {
  public:
    // `lease` lives on `db` (null: on a session or file of its own); `log`,
    // when given, hears at once why the thread stopped.
    LeaseKeeper(std::unique_ptr<Connection> db, std::unique_ptr<OutletLease> lease,
                LeaseFence& fence, const PrintLog* log = nullptr,
                std::chrono::milliseconds period = std::chrono::milliseconds(1000));
    ~LeaseKeeper() override;
    LeaseKeeper(const LeaseKeeper&) = delete;
    LeaseKeeper& operator=(const LeaseKeeper&) = delete;

    // The first call asks the database at once, then starts the thread.
    bool TryAcquire() override;
    bool StillHeld() override;
    void Release() override;

  private:
    void Keep();
    void Stop();
    void ThrowIfFailed() const;

    std::unique_ptr<Connection> db_;
    std::unique_ptr<OutletLease> lease_;  // before db_ goes
    LeaseFence& fence_;
    const PrintLog* log_;
    std::chrono::milliseconds period_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool started_ = false;
    bool stopping_ = false;
    bool held_ = false;
    bool lost_ = false;
    std::optional<KpsError> failure_;
    std::thread thread_;
};

}  // namespace kps
