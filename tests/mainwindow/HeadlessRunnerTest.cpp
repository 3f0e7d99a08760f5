#include "mainwindow/HeadlessRunner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <sstream>
#include <thread>

#include "mainwindow/FakePrintPasses.h"
#include "mainwindow/HeadlessPollTimer.h"
#include "mainwindow/ScriptedConnection.h"
#include "mainwindow/ServiceStatus.h"
#include "mainwindow/WindowStatements.h"
#include "startup/ExitStatus.h"
#include "support/FakeChangeSignal.h"
#include "support/FakeServiceManager.h"
#include "support/Fakes.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

class HeadlessRunnerTest : public ::testing::Test {
  protected:
    HeadlessRunnerTest()
        : op(err),
          form(db, clock, op, ticket, timer, ""),
          runner(form, passes, divert, states, op, clock, out) {
        AddEmptyWindowTables(db);
    }

    void AddItems(int count) {
        for (int i = 0; i < count; ++i) {
            db.tables[kItemsSql].rows.push_back(
                {Value::Integer(i + 1), Value::Text("T1"), Value::Text("D"), Value::Text("B1"),
                 Value::Text("Rice"), Value::Integer(1), Value::Text("KIT")});
        }
    }

    int Run(long ticks) { return runner.Run({ticks, std::chrono::milliseconds(1)}); }

    ScriptedConnection db;
    FakeClock clock;
    std::ostringstream err;
    std::ostringstream out;
    HeadlessOperator op;
    TicketBuffers ticket;
    HeadlessPollTimer timer;
    DivertState divert;
    PrinterStates states;
    FakePrintPasses passes;
    MDIForm1 form;
    HeadlessRunner runner;
};

// The run stops after its ticks, shutting the window down.
TEST_F(HeadlessRunnerTest, StatusAndCountLinesAreWrittenOncePerChange) {
    AddItems(3);
    passes.onDispatch = [&] {
        form.ShowStatus("Sending to Printer 'KITCHEN1'");
        form.ShowStatus("Sending to Printer 'KITCHEN1'");
        if (passes.dispatches == 2) {
            db.tables[kItemsSql].rows.clear();
        }
    };
    EXPECT_EQ(Run(3), kExitNormal);
    EXPECT_EQ(passes.dispatches, 2);
    EXPECT_EQ(passes.notices, 3);
    EXPECT_TRUE(form.IsClosed());
    EXPECT_EQ(err.str(), "Exit: Shut Down Print Server ?\n");
    // These items' rows name no printer group: no printer can take them.
    EXPECT_EQ(out.str(),
              "[22:05:09] 3 Item(s) waiting to print; 3 Item(s) no printer can take\n"
              "[22:05:09] Sending to Printer 'KITCHEN1'\n"
              "[22:05:09] 0 Item(s) waiting to print\n");
}

TEST_F(HeadlessRunnerTest, TerminationEndsTheRunAfterTheCurrentTick) {
    for (int signal : {SIGTERM, SIGINT}) {
        HeadlessPollTimer freshTimer;
        MDIForm1 freshForm(db, clock, op, ticket, freshTimer, "");
        HeadlessRunner freshRunner(freshForm, passes, divert, states, op, clock, out);
        passes.notices = 0;
        passes.onNotices = [&] { std::raise(signal); };
        EXPECT_EQ(freshRunner.Run({0, std::chrono::milliseconds(1)}), kExitNormal) << signal;
        EXPECT_EQ(passes.notices, 1) << signal;
        EXPECT_TRUE(freshForm.IsClosed()) << signal;
    }
}

TEST_F(HeadlessRunnerTest, HangUpDoesWhatRestartDoes) {
    divert.CancelledPrinters = {"KITCHEN1"};
    states.OnSuspended("KITCHEN1");
    passes.onNotices = [&] {
        if (passes.notices == 1) {
            std::raise(SIGHUP);
        }
    };
    EXPECT_EQ(Run(2), kExitNormal);
    EXPECT_TRUE(divert.CancelledPrinters.empty());
    EXPECT_EQ(states.NotPrintingCount(), 0);  // shown printing again, as the window's button does
    EXPECT_NE(out.str().find("] Restart\n"), std::string::npos);
    EXPECT_EQ(passes.notices, 2);
}

TEST_F(HeadlessRunnerTest, SignalDuringTheLastTickDoesNotOutliveTheRun) {
    passes.onNotices = [] { std::raise(SIGTERM); };
    EXPECT_EQ(Run(1), kExitNormal);
    sigset_t pending;
    sigpending(&pending);
    EXPECT_EQ(sigismember(&pending, SIGTERM), 0);
}

TEST_F(HeadlessRunnerTest, ErrorInATickGivesTheFatalReportAndStatusFive) {
    passes.onNotices = [&] { db.lost = true; };
    EXPECT_EQ(Run(3), kExitFatalError);
    EXPECT_EQ(passes.notices, 1);
    const std::string report = err.str();
    EXPECT_NE(report.find("Run-time error '-2147467259': [DBNETLIB] General network error"),
              std::string::npos)
        << report;
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1);
}

// Ready once loaded, then each tick's status and a watchdog ping, then stopping.
TEST_F(HeadlessRunnerTest, TheServiceManagerHearsReadyEachTickAndStopping) {
    AddItems(2);
    passes.onDispatch = [&] {
        form.ShowStatus("Sending to Printer 'KITCHEN1'");
        db.tables[kItemsSql].rows.clear();
    };
    FakeServiceManager service;
    EXPECT_EQ(runner.Run({2, std::chrono::milliseconds(1), &service}), kExitNormal);
    EXPECT_EQ(service.calls,
              (std::vector<std::string>{
                  "READY", "STATUS=2 Item(s) waiting to print; Sending to Printer 'KITCHEN1'",
                  "WATCHDOG", "STATUS=0 Item(s) waiting to print; Sending to Printer 'KITCHEN1'",
                  "WATCHDOG", "STOPPING"}));
}

// An idle outlet behind a working change signal: the first second's pass,
// then seconds without one, which still feed the watchdog, count towards
// --ticks and tell the status page the server is alive.
TEST_F(HeadlessRunnerTest, IdleSecondsGoWithoutAPassButKeepTheClock) {
    struct CountingObserver final : TickObserver {
        void TickStarted() override {}
        void TickEnded(bool) override { ++ended; }
        int ended = 0;
    } observer;
    form.SetTickObserver(&observer);
    FakeChangeSignal signal;
    PassScheduler scheduler([] { return true; });
    scheduler.UseSignal(&signal);
    FakeServiceManager service;
    EXPECT_EQ(runner.Run({3, std::chrono::milliseconds(1), &service, &scheduler}), kExitNormal);
    EXPECT_EQ(passes.notices, 1);
    EXPECT_EQ(std::count(service.calls.begin(), service.calls.end(), "WATCHDOG"), 3);
    EXPECT_EQ(observer.ended, 3);
}

// A wake runs a pass at once, long before the clock's next second; a wake
// during it gives one more.
TEST_F(HeadlessRunnerTest, AWakeRunsAPassWithoutWaitingForTheClock) {
    PassScheduler scheduler;
    scheduler.Wake();
    passes.onNotices = [&] {
        if (passes.notices == 1) {
            std::thread([&] { scheduler.Wake(); }).join();
        } else {
            std::raise(SIGTERM);
        }
    };
    FakeServiceManager service;
    EXPECT_EQ(runner.Run({0, std::chrono::hours(1), &service, &scheduler}), kExitNormal);
    EXPECT_EQ(passes.notices, 2);
    EXPECT_EQ(std::count(service.calls.begin(), service.calls.end(), "WATCHDOG"), 0);
}

// The change signal's descriptor is asked at once, and only a change it
// finds makes a pass: first the server's own write, then a terminal's order.
// Unheard, the clock's second (10 s on) would make the pass instead.
TEST_F(HeadlessRunnerTest, TheChangeSignalsDescriptorIsAskedAtOnceAndOnlyAChangeMakesAPass) {
    FakeChangeSignal signal;
    signal.pollEvery = std::chrono::hours(1);
    signal.withFd = true;
    signal.onPoll = [&] {
        if (signal.polls == 1) {
            signal.changed = true;
            signal.told.Ring();
        }
    };
    PassScheduler scheduler([] { return true; });
    scheduler.UseSignal(&signal);
    signal.told.Ring();
    passes.onNotices = [] { std::raise(SIGTERM); };
    EXPECT_EQ(runner.Run({1, std::chrono::seconds(10), nullptr, &scheduler}), kExitNormal);
    EXPECT_EQ(signal.polls, 2);
    EXPECT_EQ(passes.notices, 1);
}

TEST_F(HeadlessRunnerTest, TheServiceStatusNamesThePrintersThatDoNotPrint) {
    PrinterStates states;
    states.OnFailed("BAR1", PrintFault::CoverOpen);
    states.OnPrinted("KITCHEN1", {2026, 12, 9, 6, 0, 0});
    states.OnSuspended("BAR2");
    form.SetPrinterStates(&states);
    form.ShowStatus("Sending to Printer 'KITCHEN1'");
    EXPECT_THAT(ServiceStatusText(form),
                testing::EndsWith("; Sending to Printer 'KITCHEN1'; not printing: BAR1, BAR2"));
}

TEST_F(HeadlessRunnerTest, ErrorWhileLoadingGivesStatusFiveAndNeverReady) {
    db.tables.erase(kNoticesSql);
    FakeServiceManager service;
    EXPECT_EQ(runner.Run({1, std::chrono::milliseconds(1), &service}), kExitFatalError);
    EXPECT_EQ(passes.notices, 0);
    EXPECT_TRUE(service.calls.empty());
}

TEST(HeadlessOperatorTest, AnswersNoUntilAStopIsRequested) {
    std::ostringstream err;
    HeadlessOperator op(err);
    EXPECT_EQ(op.ShowMessage("Shut Down Print Server ?", "Exit", MessageIcon::Question,
                             MessageButtons::YesNo),
              MessageAnswer::No);
    EXPECT_EQ(
        op.ShowMessage("Printer Error !!!", "Message", MessageIcon::Critical, MessageButtons::Ok),
        MessageAnswer::Ok);
    op.RequestStop();
    EXPECT_EQ(op.ShowMessage("Shut Down Print Server ?", "Exit", MessageIcon::Question,
                             MessageButtons::YesNo),
              MessageAnswer::Yes);
    op.ShowErrorReport("MDIForm1", 5, "Invalid procedure call\r\nor argument", "OpenOpsLDN");
    EXPECT_EQ(err.str(),
              "Exit: Shut Down Print Server ?\n"
              "Message: Printer Error !!!\n"
              "Exit: Shut Down Print Server ?\n"
              "MDIForm1: error 5: Invalid procedure call or argument (OpenOpsLDN)\n");
}

TEST(HeadlessOperatorTest, TheFatalReportIsAnErrorForTheJournalAndReachesThePrintLog) {
    TempFolder drive;
    std::ostringstream err;
    HeadlessOperator op(err);
    op.KeepFatalErrorsIn(drive.Path(), 1252);
    ShowFatalErrorReport(op, 3705,
                         "Cannot connect to the database 'orders' at server 'db1' port 9");
    EXPECT_EQ(err.str(),
              "<3>Kitchen Print Server: Run-time error '3705': Cannot connect to the database "
              "'orders' at server 'db1' port 9\n");
    SystemClock clock;
    EXPECT_NE(ReadBytes(PrintLog(drive.Path(), clock).TodayFile())
                  .find(" Error 3705 ended the print server: Cannot connect to the database "
                        "'orders' at server 'db1' port 9\r\n"),
              std::string::npos);
}

}  // namespace
}  // namespace kps::test
