#include "mainwindow/OutletIdle.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "mainwindow/HeadlessOperator.h"
#include "mainwindow/HeadlessPollTimer.h"
#include "mainwindow/WindowStatements.h"
#include "reprint/ReprintRequest.h"
#include "support/Fakes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

// Each thing under way on its own keeps the clock's passes, and the outlet
// is idle again once it is over.
TEST(OutletIdleTest, AnythingUnderWayKeepsTheClocksPasses) {
    ScriptedConnection db;
    AddEmptyWindowTables(db);
    FakeClock clock;
    std::ostringstream err;
    HeadlessOperator op(err);
    TicketBuffers ticket;
    HeadlessPollTimer timer;
    MDIForm1 form(db, clock, op, ticket, timer, "");
    form.Load();
    PrinterStates states;
    TicketRecords records;
    TempFolder folder;
    const std::string stateFolder = folder.Path();
    const OutletActivity outlet{form, states, records, stateFolder};
    ASSERT_TRUE(OutletIdle(outlet));

    db.tables[kItemsSql].rows.push_back({Value::Integer(1), Value::Text("T1"), Value::Text("D"),
                                         Value::Text("B1"), Value::Text("Rice"), Value::Integer(1),
                                         Value::Text("KIT")});
    form.RefreshWaitingGrid();
    EXPECT_FALSE(OutletIdle(outlet)) << "an item waits";
    db.tables[kItemsSql].rows.clear();
    form.RefreshWaitingGrid();

    db.tables[kNoticesSql].rows.push_back({Value::Integer(4), Value::Text("KIT")});
    form.PendingNotices().Requery();
    EXPECT_FALSE(OutletIdle(outlet)) << "a notice waits";
    db.tables[kNoticesSql].rows.clear();
    form.PendingNotices().Requery();

    states.OnFailed("BAR1", PrintFault::CoverOpen);
    EXPECT_FALSE(OutletIdle(outlet)) << "a printer is down";
    states.OnPrinted("BAR1", {2026, 12, 9, 6, 0, 0});

    states.SetStandby(true);
    EXPECT_FALSE(OutletIdle(outlet)) << "on standby";
    states.SetStandby(false);

    PrintJob job;
    job.device = "BAR1";
    job.itemIds = {"7"};
    const unsigned long id = records.Compose(job).id;
    EXPECT_FALSE(OutletIdle(outlet)) << "a ticket on its way";
    records.Marked(id);

    const std::string request = WriteReprintRequest(stateFolder, "BAR1", 1);
    EXPECT_FALSE(OutletIdle(outlet)) << "a reprint request waits";
    std::filesystem::remove(request);

    EXPECT_TRUE(OutletIdle(outlet));
}

}  // namespace
}  // namespace kps::test
