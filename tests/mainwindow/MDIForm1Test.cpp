#include "mainwindow/MDIForm1.h"

#include <gtest/gtest.h>

#include "mainwindow/FakePrintPasses.h"
#include "mainwindow/HeadlessPollTimer.h"
#include "mainwindow/ScriptedConnection.h"
#include "mainwindow/WindowStatements.h"
#include "support/Fakes.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

Value T(const char* text) {
    return text == nullptr ? Value::Null() : Value::Text(text);
}

class RecordingObserver final : public MainWindowObserver {
  public:
    explicit RecordingObserver(const MDIForm1& form) : form_(form) {}
    void StatusChanged() override { statuses.push_back(form_.Label2()); }
    void CycleChanged() override { ++cycles; }
    void CloseReady() override { ++closeReady; }

    std::vector<std::string> statuses;
    int cycles = 0;
    int closeReady = 0;

  private:
    const MDIForm1& form_;
};

class MDIForm1Test : public ::testing::Test {
  protected:
    MDIForm1Test() { AddEmptyWindowTables(db); }

    void AddItem(long id, const char* table, const char* service, const char* bill,
                 const char* description, Value quantity, const char* group) {
        db.tables[kItemsSql].rows.push_back({Value::Integer(id), T(table), T(service), T(bill),
                                             T(description), quantity, T(group)});
    }

    MDIForm1 MakeForm(const std::string& refOutlet = "") {
        return MDIForm1(db, clock, op, ticket, timer, refOutlet);
    }

    ScriptedConnection db;
    FakeClock clock;
    FakeOperator op;
    TicketBuffers ticket;
    HeadlessPollTimer timer;
    FakePrintPasses passes;
};

TEST_F(MDIForm1Test, LoadOpensTheThreeRecordsetsWithTheirStatementsInOrder) {
    MDIForm1 form = MakeForm();
    form.Load();
    ASSERT_GE(db.queried.size(), 3u);
    EXPECT_EQ(db.queried.front(), kDeviceSql);
    EXPECT_EQ(db.queried.back(), kNoticesSql);
    EXPECT_EQ(form.PendingItemsSql(), kItemsSql);
    EXPECT_EQ(form.DeviceList().Sql(), kDeviceSql);
    EXPECT_EQ(form.PendingItems().Sql(), kItemsSql);
    EXPECT_EQ(form.PendingNotices().Sql(), kNoticesSql);
    EXPECT_TRUE(timer.IsActive());
    EXPECT_TRUE(db.executed.empty());
}

TEST_F(MDIForm1Test, GridHasSevenColumnsWithHeadersWidthsAndAlignments) {
    using A = GridAlignment;
    const std::vector<GridColumn> expected = {{"", 0, A::General},
                                              {"Table", 1000, A::LeftCentre},
                                              {"Service", 1000, A::General},
                                              {"Check#", 2000, A::LeftCentre},
                                              {"Item Description", 7000, A::LeftCentre},
                                              {"Quantity", 1800, A::Centre},
                                              {"Printer", 1800, A::Centre}};
    ASSERT_EQ(WaitingGrid::kColumnCount, 7);
    for (int c = 0; c < WaitingGrid::kColumnCount; ++c) {
        EXPECT_EQ(WaitingGrid::Columns()[c].header, expected[c].header) << c;
        EXPECT_EQ(WaitingGrid::Columns()[c].widthTwips, expected[c].widthTwips) << c;
        EXPECT_EQ(WaitingGrid::Columns()[c].alignment, expected[c].alignment) << c;
    }
}

TEST_F(MDIForm1Test, GridRowsShowTheItemsInOrderWithDashesForMissingTableAndCheck) {
    AddItem(1, "T5", "D", "B100", "Fried rice", Value::Real(2), "KIT");
    AddItem(2, nullptr, nullptr, nullptr, nullptr, Value::Null(), nullptr);
    AddItem(3, "T7", "T", "B101", "Soup", Value::Real(1.5), "BAR");
    MDIForm1 form = MakeForm();
    form.Load();

    const WaitingGrid& grid = form.FlxData();
    ASSERT_EQ(grid.RowCount(), 4);
    EXPECT_EQ(grid.Cell(0, 4), "Item Description");
    EXPECT_EQ(grid.Rows()[0], (WaitingGrid::Row{"T5", "D", "B100", "Fried rice", "2", "KIT"}));
    EXPECT_EQ(grid.Rows()[1], (WaitingGrid::Row{"-", "", "-", "", "", ""}));
    EXPECT_EQ(grid.Rows()[2], (WaitingGrid::Row{"T7", "T", "B101", "Soup", "1.5", "BAR"}));
    EXPECT_EQ(grid.Cell(3, 0), "");
    EXPECT_EQ(grid.Cell(3, 1), "T7");
    EXPECT_THROW(grid.Cell(4, 1), KpsError);
    EXPECT_THROW(grid.Cell(1, 7), KpsError);
    EXPECT_EQ(form.Dis(), "3 Item(s) waiting to print");
}

TEST_F(MDIForm1Test, TickShowsTimeClearsIdListsAndDispatchesOnlyWhenItemsWait) {
    AddItem(1, "T5", "D", "B100", "Fried rice", Value::Real(2), "KIT");
    MDIForm1 form = MakeForm();
    form.Load();
    ticket.List1 = {"7"};
    ticket.List2 = {"8"};

    form.PollCycle(passes);
    EXPECT_EQ(form.Lbltime(), "07/12/2026 22:05:09");
    EXPECT_TRUE(ticket.List1.empty());
    EXPECT_TRUE(ticket.List2.empty());
    EXPECT_EQ(passes.dispatches, 1);
    EXPECT_EQ(passes.notices, 1);
    EXPECT_EQ(form.Dis(), "1 Item(s) waiting to print");

    db.tables[kItemsSql].rows.clear();  // printed meanwhile: the requery sees it
    form.PollCycle(passes);
    EXPECT_EQ(form.FlxData().RowCount(), 1);
    EXPECT_EQ(form.Dis(), "0 Item(s) waiting to print");
    EXPECT_EQ(passes.dispatches, 1);
    EXPECT_EQ(passes.notices, 2);
}

TEST_F(MDIForm1Test, RefreshCountsWaitingItemsPerFlaggedDeviceAndThoseNoDeviceTakes) {
    db.tables[kDeviceSql].rows = {{T("O"), Value::Integer(1), T("KITCHEN1")},
                                  {T("O"), Value::Integer(2), T("BAR1")},
                                  {T("O"), Value::Integer(3), T(nullptr)}};
    db.tables[kItemsSql].columns.push_back("RefPrinterGroup");
    // Both devices, the first only, a device without a name, no group, no device 5.
    long id = 0;
    for (const char* flags : {"OO", "O", "XXO", static_cast<const char*>(nullptr), "XXXXO"}) {
        db.tables[kItemsSql].rows.push_back({Value::Integer(++id), T("T1"), T("D"), T("B1"),
                                             T("Rice"), Value::Integer(1), T("G"), T(flags)});
    }
    PrinterStates states;
    TempFolder folder;
    PrintLog log(folder.Path(), clock);
    MDIForm1 form = MakeForm();
    form.SetPrinterStates(&states);
    form.SetPrintLog(&log);
    form.Load();
    form.RefreshWaitingGrid();
    EXPECT_EQ(form.UnroutableItems(), 3);
    const std::string logText = ReadBytes(log.TodayFile());
    for (const char* line : {"Item 3 has no printer", "Item 4 has no printer"}) {
        EXPECT_NE(logText.find(line), std::string::npos) << line;
        EXPECT_EQ(logText.find(line), logText.rfind(line)) << "once: " << line;
    }
    ASSERT_EQ(states.Printers().size(), 2u);
    EXPECT_EQ(states.Printers()[0].device, "BAR1");
    EXPECT_EQ(states.Printers()[0].waitingItems, 1);
    EXPECT_EQ(states.Printers()[1].device, "KITCHEN1");
    EXPECT_EQ(states.Printers()[1].waitingItems, 2);
    EXPECT_EQ(states.Unroutable(), 3);

    db.tables[kItemsSql].rows.clear();
    form.PollCycle(passes);
    EXPECT_EQ(states.Printers()[0].waitingItems, 0);
    EXPECT_EQ(states.Printers()[1].waitingItems, 0);
    EXPECT_EQ(states.Unroutable(), 0);
}

TEST_F(MDIForm1Test, LongWaitingListShowsTheFirstRowsAndCountsAndRoutesEveryItem) {
    db.tables[kDeviceSql].rows = {{T("O"), Value::Integer(1), T("KITCHEN1")},
                                  {T("O"), Value::Integer(2), T("BAR1")}};
    db.tables[kItemsSql].columns.push_back("RefPrinterGroup");
    const long items = static_cast<long>(WaitingGrid::kMaxRows) + 3;
    const long unroutableId = items - 1;  // past the rows the grid shows
    long kitchen = 0;
    long bar = 0;
    for (long id = 1; id <= items; ++id) {
        const char* flags = id == unroutableId ? nullptr : id % 2 == 0 ? "OO" : "O";
        kitchen += flags != nullptr ? 1 : 0;
        bar += flags != nullptr && id % 2 == 0 ? 1 : 0;
        db.tables[kItemsSql].rows.push_back({Value::Integer(id), T("T1"), T("D"), T("B1"),
                                             T("Rice"), Value::Integer(1), T("G"), T(flags)});
    }
    PrinterStates states;
    TempFolder folder;
    PrintLog log(folder.Path(), clock);
    MDIForm1 form = MakeForm();
    form.SetPrinterStates(&states);
    form.SetPrintLog(&log);
    form.Load();
    form.PollCycle(passes);

    const WaitingGrid& grid = form.FlxData();
    ASSERT_EQ(grid.Rows().size(), WaitingGrid::kMaxRows);
    EXPECT_EQ(grid.ItemIds().back(), std::to_string(WaitingGrid::kMaxRows));
    EXPECT_EQ(grid.Waiting(), items);
    EXPECT_EQ(form.Dis(), std::to_string(items) + " Item(s) waiting to print");
    EXPECT_EQ(grid.ShownNote(),
              "Showing the first 1000 of " + std::to_string(items) + " waiting items");
    ASSERT_EQ(states.Printers().size(), 2u);
    EXPECT_EQ(states.Printers()[0].waitingItems, bar);
    EXPECT_EQ(states.Printers()[1].waitingItems, kitchen);
    EXPECT_EQ(states.Unroutable(), 1);
    const std::string line = "Item " + std::to_string(unroutableId) + " has no printer";
    const std::string logText = ReadBytes(log.TodayFile());
    EXPECT_NE(logText.find(line), std::string::npos);
    EXPECT_EQ(logText.find(line), logText.rfind(line)) << "logged once";

    db.tables[kItemsSql].rows.resize(3);  // a short list again: every row is shown
    form.PollCycle(passes);
    EXPECT_EQ(form.FlxData().Rows().size(), 3u);
    EXPECT_EQ(form.FlxData().ShownNote(), "");
}

TEST_F(MDIForm1Test, SplitModeComesFromPosition74OfTheOutletFlags) {
    struct Case {
        std::string refOutlet;
        bool individual;
    };
    const std::string x73(73, 'X');
    const Case cases[] = {
        {x73 + "O", true},
        {x73 + "OXX", true},
        {x73 + "o", false},
        {x73 + "X", false},
        {x73, false},
        {"", false},
        {std::string(74, 'O'), true},
        {"é" + std::string(72, 'X') + "O", true},  // a character, not a byte, per position
    };
    for (const Case& c : cases) {
        MDIForm1 form = MakeForm(c.refOutlet);
        form.Load();
        EXPECT_EQ(form.Option1(), c.individual) << c.refOutlet;
        EXPECT_EQ(form.Option2(), !c.individual) << c.refOutlet;
        EXPECT_EQ(form.IndividualMode(), c.individual) << c.refOutlet;
        // The option buttons change the mode the dispatch reads.
        form.SelectIndividual(!c.individual);
        EXPECT_EQ(form.IndividualMode(), !c.individual);
        EXPECT_EQ(form.Option2(), c.individual);
    }
}

TEST_F(MDIForm1Test, ShutDownQuestionAnsweredNoChangesNothing) {
    AddItem(1, "T5", "D", "B100", "Fried rice", Value::Real(2), "KIT");
    MDIForm1 form = MakeForm();
    form.Load();
    op.answer = MessageAnswer::No;

    EXPECT_FALSE(form.Unload());

    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "Shut Down Print Server ?");
    EXPECT_EQ(op.messages[0].caption, "Exit");
    EXPECT_EQ(op.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(op.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_TRUE(timer.IsActive());
    EXPECT_TRUE(form.DeviceList().IsOpen());
    form.PollCycle(passes);
    EXPECT_EQ(passes.dispatches, 1);

    EXPECT_FALSE(form.Unload());  // asked again, not remembered
    EXPECT_EQ(op.messages.size(), 2u);
}

TEST_F(MDIForm1Test, ShutDownQuestionAnsweredYesClosesTheRecordsetsAndStopsPolling) {
    MDIForm1 form = MakeForm();
    form.Load();
    EXPECT_TRUE(form.Unload());
    EXPECT_FALSE(form.DeviceList().IsOpen());
    EXPECT_FALSE(form.PendingItems().IsOpen());
    EXPECT_FALSE(form.PendingNotices().IsOpen());
    EXPECT_FALSE(timer.IsActive());
    form.PollCycle(passes);
    EXPECT_EQ(passes.notices, 0);
}

TEST_F(MDIForm1Test, LostDatabaseMakesTheTickThrowAndLetsTheNextTickRun) {
    MDIForm1 form = MakeForm();
    form.Load();
    db.lost = true;
    try {
        form.PollCycle(passes);
        FAIL() << "a lost connection must reach the caller";
    } catch (const KpsError& error) {
        EXPECT_EQ(error.Number(), -2147467259);
    }
    EXPECT_FALSE(form.IsTickAtWork());
    db.lost = false;
    form.PollCycle(passes);
    EXPECT_EQ(passes.notices, 1);

    passes.onNotices = [] { throw KpsError(kErrStatement, "Invalid object name"); };
    EXPECT_THROW(form.PollCycle(passes), KpsError);  // so does a failing pass
}

TEST_F(MDIForm1Test, TicksAreSerialisedAndSettleAfterSending) {
    AddItem(1, "T5", "D", "B100", "Fried rice", Value::Real(2), "KIT");
    MDIForm1 form = MakeForm();
    form.Load();
    // A modal dialog inside the dispatch lets the timer fire again.
    passes.onDispatch = [&] { form.PollCycle(passes); };
    form.PollCycle(passes);
    EXPECT_EQ(passes.order, "dispatch notices settle ");
}

TEST_F(MDIForm1Test, TickObserverHearsTheStartAndEndOfEveryTickThatRuns) {
    struct Recording final : TickObserver {
        void TickStarted() override { events += "start "; }
        void TickEnded(bool passRan) override { events += passRan ? "end " : "kept "; }
        std::string events;
    } recording;
    MDIForm1 form = MakeForm();
    form.SetTickObserver(&recording);
    form.Load();
    passes.onDispatch = [&] { form.PollCycle(passes); };  // returns at once: not told
    AddItem(1, "T5", "D", "B100", "Fried rice", Value::Real(2), "KIT");
    form.PollCycle(passes);
    form.KeepTime();  // a second without a pass is told apart
    passes.onNotices = [] { throw KpsError(kErrStatement, "Invalid object name"); };
    EXPECT_THROW(form.PollCycle(passes), KpsError);
    EXPECT_EQ(recording.events, "start end start kept start ");
}

TEST_F(MDIForm1Test, ShutDownConfirmedDuringATickWaitsForTheTickToEnd) {
    MDIForm1 form = MakeForm();
    RecordingObserver observer(form);
    form.SetObserver(&observer);
    form.Load();
    bool closedInTick = true;
    passes.onNotices = [&] {
        closedInTick = form.Unload();
        EXPECT_TRUE(form.PendingNotices().IsOpen());
    };
    form.PollCycle(passes);
    EXPECT_FALSE(closedInTick);
    EXPECT_EQ(observer.closeReady, 1);
    EXPECT_TRUE(form.Unload());  // no second question
    EXPECT_EQ(op.messages.size(), 1u);
    EXPECT_FALSE(form.PendingNotices().IsOpen());
}

TEST_F(MDIForm1Test, ObserverHearsEveryStatusAndEveryCycle) {
    MDIForm1 form = MakeForm();
    RecordingObserver observer(form);
    form.SetObserver(&observer);
    form.Load();
    passes.onNotices = [&] {
        form.ShowStatus("Sending to Printer 'KITCHEN1'");
        form.ShowStatus("Last Printed on 07/12/2026 22:05:09");
    };
    form.PollCycle(passes);
    EXPECT_EQ(observer.statuses, (std::vector<std::string>{"Sending to Printer 'KITCHEN1'",
                                                           "Last Printed on 07/12/2026 22:05:09"}));
    EXPECT_EQ(form.Label2(), "Last Printed on 07/12/2026 22:05:09");
    EXPECT_EQ(observer.cycles, 2);  // the load and the tick
}

}  // namespace
}  // namespace kps::test
