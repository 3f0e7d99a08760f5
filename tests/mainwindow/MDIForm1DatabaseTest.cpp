#include <gtest/gtest.h>

#include "mainwindow/FakePrintPasses.h"
#include "mainwindow/HeadlessPollTimer.h"
#include "mainwindow/MDIForm1.h"
#include "startup/KpsError.h"
#include "support/Fakes.h"
#include "support/TestDatabase.h"

namespace kps::test {
namespace {

// The window's statements on a real order database.
class MDIForm1DatabaseTest : public ::testing::Test {
  protected:
    MDIForm1DatabaseTest() : form(database.Db(), clock, op, ticket, timer, "") {
        database.Exec("insert into Kelt_mt_PrinterGroup values ('KIT', 'Kitchen', 'O')");
        database.Exec(
            "insert into mrex_mt_item (ItemCode, ItemName, RefPrinterGroupCode) "
            "values ('I1', 'Rice', 'KIT')");
        database.Exec(
            "insert into Kelt_mt_Service (ServiceType, ServiceName) values ('D', 'Dine')");
        database.Exec(
            "insert into Kelt_mt_Device (DeviceCode, DeviceName, PrinterType) "
            "values (1, 'KITCHEN1', 'O')");
    }

    void AddItem(const std::string& values) {
        database.Exec(
            "insert into kelt_trs_printingdetails (TableCode, ServiceType, BillNo, "
            "PosDescription, Quantity, ItemCode, PrintStatus) values (" +
            values + ")");
    }

    TestDatabase database;
    FakeClock clock;
    FakeOperator op;
    TicketBuffers ticket;
    HeadlessPollTimer timer;
    FakePrintPasses passes;
    MDIForm1 form;
};

TEST_F(MDIForm1DatabaseTest, GridShowsOnlyWaitingItemsWithTheirGroupInIdOrder) {
    AddItem("'T1', 'D', 'B1', 'Fried rice', 2, 'I1', 0");
    AddItem("'T2', 'D', 'B2', 'Printed already', 1, 'I1', 1");
    AddItem("NULL, NULL, NULL, 'No group', 2.5, 'NOPE', 0");
    form.Load();

    EXPECT_EQ(form.DeviceList().RecordCount(), 1);
    EXPECT_EQ(form.DeviceList().Field("PrintingType").AsText(), "O");
    ASSERT_EQ(form.FlxData().RowCount(), 3);
    EXPECT_EQ(form.FlxData().Rows()[0],
              (WaitingGrid::Row{"T1", "D", "B1", "Fried rice", "2", "KIT"}));
    EXPECT_EQ(form.FlxData().Rows()[1], (WaitingGrid::Row{"-", "", "-", "No group", "2.5", ""}));
    EXPECT_EQ(form.Dis(), "2 Item(s) waiting to print");

    database.Exec("update kelt_trs_printingdetails set PrintStatus=1");
    form.PollCycle(passes);
    EXPECT_EQ(form.FlxData().RowCount(), 1);
    EXPECT_EQ(form.Dis(), "");
    EXPECT_EQ(passes.dispatches, 0);
    EXPECT_EQ(passes.notices, 1);
}

TEST_F(MDIForm1DatabaseTest, NoticesRecordsetHoldsWaitingNoticesOnly) {
    database.Exec(
        "insert into kelt_trs_printkitchen (PrinterGroupCode, FromTableCode, "
        "ToTableCode, PrintStatus) values ('KIT', 'T1', 'T2', 0), ('KIT', 'T3', 'T4', 1)");
    form.Load();
    EXPECT_EQ(form.PendingNotices().RecordCount(), 1);
    EXPECT_EQ(form.PendingNotices().Field("FromTableCode").AsText(), "T1");
}

TEST_F(MDIForm1DatabaseTest, DroppedTableEndsTheNextTickWithAnError) {
    AddItem("'T1', 'D', 'B1', 'Fried rice', 2, 'I1', 0");
    form.Load();
    database.Exec("drop table kelt_trs_printingdetails");
    EXPECT_THROW(form.PollCycle(passes), KpsError);
    EXPECT_EQ(passes.dispatches, 0);
}

}  // namespace
}  // namespace kps::test
