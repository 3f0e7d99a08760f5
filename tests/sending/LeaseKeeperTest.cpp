#include "sending/LeaseKeeper.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "sending/LeaseWatch.h"
#include "support/Fakes.h"
#include "support/FileBytes.h"
#include "support/RecordingConnection.h"
#include "support/TempFolder.h"
#include "support/TestDatabase.h"

namespace kps::test {
namespace {

using namespace std::chrono_literals;

// Polls `holds` until it is true, for at most ten seconds.
template <typename Holds>
bool Eventually(Holds holds) {
    for (int tries = 0; tries < 2000; ++tries) {
        if (holds()) {
            return true;
        }
        std::this_thread::sleep_for(5ms);
    }
    return false;
}

class LeaseKeeperTest : public ::testing::Test {
  protected:
    LeaseKeeperTest() : log(folder.Path(), clock) {
        auto owned = std::make_unique<FakeOutletLease>();
        lease = owned.get();
        keeper = std::make_unique<LeaseKeeper>(std::make_unique<RecordingConnection>(db.Db()),
                                               std::move(owned), fence, &log, 1ms);
    }
    // Moves steady time on and waits until the keeper has confirmed since.
    bool ConfirmedAfterAWhile() {
        steady.now = steady.now.load() + 1h;
        return Eventually([&] { return fence.Open(); });
    }

    TempFolder folder;
    FakeClock clock;
    PrintLog log;
    TestDatabase db;
    FakeSteadyTime steady;
    LeaseFence fence{kLeaseFenceBound, steady.Source()};
    FakeOutletLease* lease = nullptr;
    std::unique_ptr<LeaseKeeper> keeper;
};

TEST_F(LeaseKeeperTest, TakesAFreedLeaseOnItsOwnThreadAndKeepsTheFenceFreshWhileHeld) {
    EXPECT_FALSE(keeper->TryAcquire());
    fence.Publish(true);
    EXPECT_FALSE(fence.Open()) << "never confirmed";

    lease->free = true;
    ASSERT_TRUE(Eventually([&] { return keeper->StillHeld(); }));
    EXPECT_TRUE(ConfirmedAfterAWhile());
    EXPECT_TRUE(ConfirmedAfterAWhile());

    lease->held = false;
    ASSERT_TRUE(Eventually([&] { return !keeper->StillHeld(); }));
    steady.now = steady.now.load() + kLeaseFenceBound;
    EXPECT_TRUE(fence.Lapsed());
    EXPECT_THAT(ReadBytes(log.TodayFile()), ::testing::HasSubstr("Error Lease: lost"));
}

TEST_F(LeaseKeeperTest, ABrokenLeaseIsLoggedAtOnceAndThrownToTheTick) {
    lease->free = true;
    ASSERT_TRUE(keeper->TryAcquire());
    lease->broken = true;
    ASSERT_TRUE(Eventually([&] {
        try {
            keeper->StillHeld();
            return false;
        } catch (const KpsError& error) {
            return error.Number() == kErrLeaseLost;
        }
    }));
    EXPECT_THAT(ReadBytes(log.TodayFile()),
                ::testing::HasSubstr("Error Lease: the lease's session changed"));
}

TEST_F(LeaseKeeperTest, ALostLeaseClosesTheFenceAtOnceAndAStandbyThatLostItEnds) {
    lease->free = true;
    ASSERT_TRUE(keeper->TryAcquire());
    fence.Publish(true);
    ASSERT_TRUE(fence.Open());
    lease->held = false;
    lease->free = false;
    ASSERT_TRUE(Eventually([&] { return !keeper->StillHeld(); }));
    // Another server may take the lease now: no lane may start on the
    // confirmation given before.
    EXPECT_FALSE(fence.Open());
    EXPECT_TRUE(fence.Lapsed());
    // Had the tick not taken over yet, it must not stand by for ever behind
    // a keeper that has stopped.
    EXPECT_THROW(keeper->TryAcquire(), KpsError);
}

TEST_F(LeaseKeeperTest, AReleasedLeaseLetsNoTicketStart) {
    lease->free = true;
    ASSERT_TRUE(keeper->TryAcquire());
    fence.Publish(true);
    ASSERT_TRUE(fence.Open());
    keeper->Release();
    // The lock is free for the standby now, whatever the last confirmation.
    EXPECT_FALSE(fence.Open());
    EXPECT_FALSE(keeper->StillHeld());
}

TEST(LeaseWatchTest, CallsWhenAHolderLeftItsLeaseUnconfirmedForTheBound) {
    FakeSteadyTime steady;
    LeaseFence fence{kLeaseFenceBound, steady.Source()};
    fence.Confirm(steady.now.load());
    fence.Publish(true);
    std::atomic<int> lapses = 0;
    LeaseWatch watch(
        fence, [&] { ++lapses; }, 1ms);
    steady.now = steady.now.load() + kLeaseFenceBound;
    EXPECT_TRUE(Eventually([&] { return lapses == 1; }));
    // A keeper's statement that answers late confirms again while the
    // server ends: lanes must still start nothing.
    fence.Confirm(steady.now.load());
    EXPECT_FALSE(fence.Open());
}

}  // namespace
}  // namespace kps::test
