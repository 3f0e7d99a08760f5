#include "sending/PrinterStates.h"

#include <gtest/gtest.h>

#include <sstream>

#include "mainwindow/TrayTip.h"
#include "sending/PrinterStateLine.h"
#include "support/Fakes.h"

namespace kps::test {
namespace {

class PrinterStatesTest : public ::testing::Test {
  protected:
    PrinterStatesTest() { states.SetListener(&writer); }

    const PrinterStatus& Bar() const { return states.Printers().at(0); }

    FakeClock clock;
    std::ostringstream out;
    ConsolePrinterStateWriter writer{clock, out};
    PrinterStates states;
};

TEST_F(PrinterStatesTest, ReportsAndTheStandbyChangeTheStateAndWriteOneLinePerChange) {
    const LocalDateTime printedAt{2026, 12, 7, 22, 1, 0};
    states.OnPrinted("BAR1", printedAt);
    states.OnFailed("BAR1", PrintFault::CoverOpen);
    states.OnFailed("BAR1", PrintFault::CoverOpen);
    EXPECT_EQ(Bar().state, PrinterState::NotPrinting);
    EXPECT_EQ(Bar().reason, PrintFault::CoverOpen);
    EXPECT_EQ(states.NotPrintingCount(), 1);
    states.OnFailed("BAR1", PrintFault::PaperOut);
    states.OnPrinted("BAR1", clock.Now());
    EXPECT_EQ(Bar().state, PrinterState::Printing);
    EXPECT_EQ(Bar().lastPrinted, clock.Now());
    EXPECT_EQ(Bar().ticketsPrinted, 2);
    EXPECT_EQ(Bar().failures, 3);
    states.SetStandby(true);
    states.SetStandby(true);
    states.SetStandby(false);
    EXPECT_EQ(out.str(),
              "[22:05:09] Printer 'BAR1' not printing: cover open\n"
              "[22:05:09] Printer 'BAR1' not printing: paper out\n"
              "[22:05:09] Printer 'BAR1' printing\n"
              "[22:05:09] Standby: another server prints for this outlet\n"
              "[22:05:09] Printing for this outlet\n");
}

TEST_F(PrinterStatesTest, ClosedQuestionReturnsToThePreviousOrTheLastReportedState) {
    states.OnFailed("BAR1", PrintFault::Unreachable);
    states.OnQuestionOpened("BAR1");
    EXPECT_EQ(Bar().state, PrinterState::QuestionPending);
    states.OnQuestionClosed("BAR1");
    EXPECT_EQ(Bar().state, PrinterState::NotPrinting);
    EXPECT_EQ(Bar().reason, PrintFault::Unreachable);

    states.OnQuestionOpened("BAR1");
    states.OnPrinted("BAR1", clock.Now());  // a job still in the lane got through
    EXPECT_EQ(Bar().state, PrinterState::QuestionPending);
    states.OnQuestionClosed("BAR1");
    EXPECT_EQ(Bar().state, PrinterState::Printing);
    EXPECT_EQ(out.str(),
              "[22:05:09] Printer 'BAR1' not printing: unreachable\n"
              "[22:05:09] Printer 'BAR1' question pending\n"
              "[22:05:09] Printer 'BAR1' not printing: unreachable\n"
              "[22:05:09] Printer 'BAR1' question pending\n"
              "[22:05:09] Printer 'BAR1' printing\n");
}

TEST_F(PrinterStatesTest, SuspendedPrinterStaysSuspendedUntilResumed) {
    states.OnQuestionOpened("BAR1");
    states.OnSuspended("BAR1");
    states.OnFailed("BAR1", PrintFault::Offline);
    states.OnQuestionClosed("BAR1");
    EXPECT_EQ(Bar().state, PrinterState::Suspended);
    states.OnQuestionOpened("BAR1");
    states.OnPrinted("BAR1", clock.Now());
    states.OnQuestionClosed("BAR1");
    EXPECT_EQ(Bar().state, PrinterState::Suspended);
    states.OnFailed("KITCHEN1", PrintFault::Offline);
    states.OnResumed("KITCHEN1");  // never suspended: unchanged
    states.OnResumed("GRILL");     // unknown: not added
    EXPECT_EQ(states.Printers().at(1).state, PrinterState::NotPrinting);
    EXPECT_EQ(states.Printers().size(), 2u);
    states.OnResumed("BAR1");
    EXPECT_EQ(Bar().state, PrinterState::Printing);
    EXPECT_EQ(out.str(),
              "[22:05:09] Printer 'BAR1' question pending\n"
              "[22:05:09] Printer 'BAR1' suspended\n"
              "[22:05:09] Printer 'BAR1' question pending\n"
              "[22:05:09] Printer 'BAR1' suspended\n"
              "[22:05:09] Printer 'KITCHEN1' not printing: offline\n"
              "[22:05:09] Printer 'BAR1' printing\n");
}

class AnsweringAgainTest : public PrinterStatesTest {
  protected:
    AnsweringAgainTest() {
        states.OnSuspended("BAR1");
        states.OnProbed("BAR1", true);
    }
};

TEST_F(AnsweringAgainTest, SuspendedPrinterThatAnswersStaysSuspendedAndSaysSo) {
    states.OnProbed("BAR1", true);
    states.OnFailed("KITCHEN1", PrintFault::Offline);
    states.OnProbed("KITCHEN1", true);  // not suspended: nothing to resume
    EXPECT_EQ(Bar().state, PrinterState::Suspended);
    EXPECT_EQ(PrinterStateLine(Bar()), "Printer 'BAR1' suspended, answers again: Resume?");
    EXPECT_EQ(TrayTip(0, states),
              "KELT Print Server\n2 printer(s) not printing\n"
              "Printer 'BAR1' answers again: Resume?");
    EXPECT_EQ(out.str(),
              "[22:05:09] Printer 'BAR1' suspended\n"
              "[22:05:09] Printer 'BAR1' suspended, answers again: Resume?\n"
              "[22:05:09] Printer 'KITCHEN1' not printing: offline\n");
}

TEST_F(AnsweringAgainTest, AFailedProbeTakesTheNoteAway) {
    out.str("");
    states.OnProbed("BAR1", false);
    EXPECT_EQ(Bar().state, PrinterState::Suspended);
    EXPECT_EQ(TrayTip(0, states), "KELT Print Server\n1 printer(s) not printing");
    EXPECT_EQ(out.str(), "[22:05:09] Printer 'BAR1' suspended\n");
}

TEST_F(AnsweringAgainTest, ResumeTakesTheNoteAwayAndANewSuspensionStartsWithout) {
    out.str("");
    states.OnResumed("BAR1");
    states.OnSuspended("BAR1");
    EXPECT_EQ(out.str(),
              "[22:05:09] Printer 'BAR1' printing\n"
              "[22:05:09] Printer 'BAR1' suspended\n");
}

TEST_F(PrinterStatesTest, WaitingItemsStandbyAndUnroutableNotifyOnlyOnChange) {
    struct Counter final : PrinterStatesListener {
        void Changed(const PrinterStatus&) override {}
        void Changed() override { ++changes; }
        int changes = 0;
    } counter;
    states.SetListener(&counter);
    states.SetWaitingItems({{"KITCHEN1", 2}, {"BAR1", 1}});
    states.SetWaitingItems({{"KITCHEN1", 2}, {"BAR1", 1}});
    states.SetWaitingItems({{"KITCHEN1", 3}});
    EXPECT_EQ(states.Printers().at(0).waitingItems, 0);  // BAR1 came first, by name
    EXPECT_EQ(states.Printers().at(1).waitingItems, 3);
    states.SetStandby(true);
    states.SetStandby(true);
    states.SetUnroutable(4);
    states.SetUnroutable(4);
    EXPECT_TRUE(states.Standby());
    EXPECT_EQ(states.Unroutable(), 4);
    EXPECT_EQ(counter.changes, 4);
}

}  // namespace
}  // namespace kps::test
