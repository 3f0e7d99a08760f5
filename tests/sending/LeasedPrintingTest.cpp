#include "sending/LeasedPrinting.h"

#include <gtest/gtest.h>

#include "mainwindow/FakePrintPasses.h"
#include "support/Fakes.h"
#include "support/TestDatabase.h"
#include "text/KpsError.h"

namespace kps::test {
namespace {

class LeasedPrintingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db.Exec("INSERT INTO kelt_trs_printingdetails (ID, PrintStatus) VALUES (7, 0)");
        db.Exec("INSERT INTO kelt_trs_printingdetails (ID, PrintStatus) VALUES (8, 1)");
        flag.Confirm(steady.now.load());
    }

    // One tick's printing passes, in the order the polling cycle runs them.
    void Tick() {
        leased.SettleReports();
        leased.DispatchPrintQueue();
        leased.PrintKitchenNotices();
    }

    TestDatabase db;
    FakePrintPasses passes;
    FakeOutletLease lease;
    FakeSteadyTime steady;
    LeaseFence flag{kLeaseFenceBound, steady.Source()};
    TicketRecords records;
    PrinterStates states;
    LeasedPrinting leased{passes, lease, flag, db.Db(), records, states};
};

TEST_F(LeasedPrintingTest, AStandbyDoesNothingUntilTheLeaseIsFreeThenSuspectsWhatWaited) {
    Tick();
    Tick();
    EXPECT_TRUE(states.Standby());
    EXPECT_FALSE(flag.Open());
    EXPECT_EQ(passes.settles + passes.dispatches + passes.notices, 0);

    lease.free = true;
    Tick();
    EXPECT_FALSE(states.Standby());
    EXPECT_TRUE(flag.Open());
    EXPECT_EQ(passes.settles, 1);
    EXPECT_EQ(passes.dispatches, 1);
    EXPECT_EQ(passes.notices, 1);
    EXPECT_TRUE(records.MayBeOnPaper("7"));
    EXPECT_FALSE(records.MayBeOnPaper("8")) << "already marked printed";
}

TEST_F(LeasedPrintingTest, AServerThatHoldsTheLeaseFromTheStartSuspectsNothing) {
    lease.free = true;
    Tick();
    EXPECT_TRUE(flag.Open());
    EXPECT_EQ(passes.dispatches, 1);
    EXPECT_FALSE(records.MayBeOnPaper("7"));
}

TEST_F(LeasedPrintingTest, ALostLeaseStopsTheLanesAndEndsTheTickWithAnError) {
    lease.free = true;
    Tick();
    lease.held = false;
    try {
        leased.SettleReports();
        ADD_FAILURE() << "the tick went on without the lease";
    } catch (const KpsError& error) {
        EXPECT_EQ(error.Number(), kErrLeaseLost);
    }
    EXPECT_FALSE(flag.Open());
    EXPECT_EQ(passes.settles, 1);
}

}  // namespace
}  // namespace kps::test
