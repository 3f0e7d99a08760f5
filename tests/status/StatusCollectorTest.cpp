#include "status/StatusCollector.h"

#include <gtest/gtest.h>

#include "mainwindow/FakePrintPasses.h"
#include "mainwindow/HeadlessPollTimer.h"
#include "mainwindow/ScriptedConnection.h"
#include "mainwindow/WindowStatements.h"
#include "support/Fakes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

// A window with KITCHEN1 (direct port) and BAR1 (network) in its device
// list, one item waiting for BAR1, and a steady clock the test moves.
class StatusCollectorTest : public ::testing::Test {
  protected:
    StatusCollectorTest() {
        AddEmptyWindowTables(db);
        db.tables[kDeviceSql].rows = {
            {Value::Text("D"), Value::Integer(1), Value::Text("KITCHEN1")},
            {Value::Text("O"), Value::Integer(2), Value::Text("BAR1")}};
        db.tables[kItemsSql].columns.push_back("RefPrinterGroup");
        db.tables[kItemsSql].rows.push_back(
            {Value::Integer(7), Value::Text("T5"), Value::Text("D"), Value::Text("B100"),
             Value::Text("Rice"), Value::Integer(2), Value::Text("BAR"), Value::Text("XO")});
        form.SetPrinterStates(&states);
        form.SetTickObserver(&collector);
        form.Load();
        passes.onDispatch = [&] { steady += std::chrono::milliseconds(30); };
    }

    std::shared_ptr<const StatusSnapshot> Latest() const { return board.Latest(); }

    ScriptedConnection db;
    FakeClock clock;
    FakeOperator op;
    TicketBuffers ticket;
    HeadlessPollTimer timer;
    FakePrintPasses passes;
    MDIForm1 form{db, clock, op, ticket, timer, ""};
    PrinterStates states;
    TicketRecords records;
    TempFolder folder;
    PrintLog log{folder.Path(), clock};
    ReprintStore reprints{folder.File("state"), log};
    SteadyTime steady{std::chrono::hours(1)};
    StatusBoard board;
    StatusCollector collector{
        {form, states, records, reprints, clock, 850}, board, [this] { return steady; }};
};

TEST_F(StatusCollectorTest, ASnapshotBeforeTheFirstTickAndAfterEveryTick) {
    EXPECT_EQ(Latest()->server.ticks, 0);  // published when the collector was made
    states.OnFailed("BAR1", PrintFault::CoverOpen);
    PrintJob job;
    job.device = "BAR1";
    records.Compose(job);
    form.ShowStatus("Sending to Printer 'BAR1'");

    form.PollCycle(passes);
    const auto snapshot = Latest();
    EXPECT_EQ(snapshot->server.ticks, 1);
    EXPECT_EQ(snapshot->server.lastTick, clock.Now());
    EXPECT_EQ(snapshot->server.lastTickEnded, steady);
    EXPECT_EQ(snapshot->server.lastTickTook, std::chrono::milliseconds(30));
    EXPECT_EQ(snapshot->server.statusLine, "Sending to Printer 'BAR1'");
    EXPECT_EQ(snapshot->server.waitingItems, 1);
    EXPECT_EQ(snapshot->codePage, 850);
    ASSERT_EQ(snapshot->waiting.size(), 1u);
    EXPECT_EQ(snapshot->waiting[0], (WaitingGrid::Row{"T5", "D", "B100", "Rice", "2", "BAR"}));
    // The device list's order, with each device's state, type, items and tickets.
    ASSERT_EQ(snapshot->printers.size(), 2u);
    EXPECT_EQ(snapshot->printers[0].status.device, "KITCHEN1");
    EXPECT_EQ(snapshot->printers[0].printingType, "D");
    EXPECT_EQ(snapshot->printers[0].status.state, PrinterState::Printing);
    const PrinterSnapshot& bar = snapshot->printers[1];
    EXPECT_EQ(bar.status.device, "BAR1");
    EXPECT_EQ(bar.printingType, "O");
    EXPECT_EQ(bar.status.reason, PrintFault::CoverOpen);
    EXPECT_EQ(bar.status.waitingItems, 1);
    EXPECT_EQ(bar.ticketsOnTheirWay, 1);

    form.PollCycle(passes);
    EXPECT_EQ(Latest()->server.ticks, 2);
    EXPECT_EQ(snapshot->server.ticks, 1);  // a published snapshot never changes

    // Only passes count in their histogram: 30 ms each, none for a second
    // that only kept time.
    form.KeepTime();
    EXPECT_EQ(Latest()->server.ticks, 3);
    EXPECT_EQ(Latest()->server.passes.count, 2);
    EXPECT_EQ(Latest()->server.passes.buckets[3], 2);  // (0.025 s, 0.05 s]
}

TEST_F(StatusCollectorTest, ALongWaitingListIsCountedInFullAndListedInPart) {
    const std::vector<Value> item = db.tables[kItemsSql].rows.front();
    db.tables[kItemsSql].rows.resize(WaitingGrid::kMaxRows + 1, item);
    form.PollCycle(passes);
    EXPECT_EQ(Latest()->server.waitingItems, static_cast<long>(WaitingGrid::kMaxRows) + 1);
    EXPECT_EQ(Latest()->waiting.size(), WaitingGrid::kMaxRows);
}

TEST_F(StatusCollectorTest, KeptTicketsAreSharedBetweenSnapshotsUntilOneIsAdded) {
    form.PollCycle(passes);
    const auto first = Latest();
    form.PollCycle(passes);
    EXPECT_EQ(Latest()->tickets, first->tickets);

    reprints.Remember("BAR1", StoredTicket{{"L1\r\n"}, 0, {"7"}, clock.Now(), "T5", 40});
    form.PollCycle(passes);
    EXPECT_NE(Latest()->tickets, first->tickets);
    ASSERT_EQ(Latest()->tickets->at("BAR1").size(), 1u);
    EXPECT_EQ(Latest()->tickets->at("BAR1")[0].key, "T5");
}

TEST_F(StatusCollectorTest, AnOutageAndWaitingItemsAreDatedFromTheTickThatFirstSawThem) {
    states.OnFailed("BAR1", PrintFault::PaperOut);
    form.PollCycle(passes);
    const SteadyTime first = steady;
    form.PollCycle(passes);
    const PrinterSnapshot& down = Latest()->printers[1];
    EXPECT_EQ(down.notPrintingSince, first);
    EXPECT_EQ(down.waitingSince, first);
    EXPECT_EQ(Latest()->printers[0].notPrintingSince, std::nullopt);

    states.OnPrinted("BAR1", clock.Now());
    form.PollCycle(passes);
    const PrinterSnapshot& back = Latest()->printers[1];
    EXPECT_EQ(back.notPrintingSince, std::nullopt);
    EXPECT_EQ(back.waitingSince, steady);  // a ticket printed: the wait starts again
}

}  // namespace
}  // namespace kps::test
