#include "sending/LeasedPrinting.h"

#include <gtest/gtest.h>

#include "mainwindow/FakePrintPasses.h"
#include "sending/PrintJournalTable.h"
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

// A cold spare and a standby alike: what the journal rows name and still
// waits, nothing else; rows of what was printed or is gone are dropped.
TEST_F(LeasedPrintingTest, WithTheJournalTableATakeOverLabelsWhatItsRowsNameAndStillWaits) {
    db.Exec("INSERT INTO kelt_trs_printingdetails (ID, PrintStatus) VALUES (9, 0)");
    for (const char* item : {"9", "8", "5"}) {
        db.Exec(std::string("INSERT INTO kps_print_journal (ItemKey, Writer, Job) VALUES ('") +
                item + "', 'dead/1/1', 1)");
    }
    PrintJournalTable table(db.Db());
    LeasedPrinting cold{passes, lease, flag, db.Db(), records, states, &table};
    lease.free = true;
    cold.SettleReports();
    EXPECT_TRUE(flag.Open());
    EXPECT_TRUE(records.MayBeOnPaper("9"));
    EXPECT_FALSE(records.MayBeOnPaper("7")) << "no row names it";
    EXPECT_FALSE(records.MayBeOnPaper("8")) << "already marked printed";
    const auto left = db.Db().Query("SELECT ItemKey FROM kps_print_journal").rows;
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0][0].AsText(), "9");
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
