#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "DivertDialogFixture.h"
#include "FailAfterPrintPrinter.h"

namespace kps::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

using DivertDialogLoad = DivertDialogFixture;

TEST_F(DivertDialogLoad, StartsEveryDialogAfreshWithoutAnEarlierSuccess) {
    pinger.reachable.clear();
    OpenHeldTicket();
    Retry();
    dialog.Command2();
    ASSERT_EQ(dialog.RetryCount, 1);

    divert.DivertSucceeded = true;  // left over from an earlier divert
    OpenHeldTicket();
    EXPECT_EQ(dialog.RetryCount, 0);
    EXPECT_FALSE(divert.DivertSucceeded);
    EXPECT_FALSE(dialog.Closed);
    EXPECT_EQ(dialog.Label1, " Error Sending item to Printer 'K1'");
}

using DivertDialogPrint = DivertDialogFixture;

TEST_F(DivertDialogPrint, PrintsBannerCentredAndCutsOnACuttingPrinter) {
    OpenHeldTicket();
    Retry();
    EXPECT_THAT(printer.Printed(),
                ElementsAre("<C>*Divert From K1\r\n", "L1\r\n", "L2\r\n", "<CUT>"));
    EXPECT_EQ(printer.calls.front(), "Open K2");
    EXPECT_THAT(printer.calls, ::testing::Contains("ClaimDevice 50"));
    EXPECT_EQ(printer.calls.back(), "Close");
    EXPECT_TRUE(view.sawButtonsDisabled);
    EXPECT_TRUE(divert.DivertSucceeded);
    EXPECT_TRUE(dialog.Closed);
    EXPECT_EQ(printer.releases, 1);
    EXPECT_THAT(LogText(), HasSubstr("Printing Success divert to 'K2'\r\n"));
}

TEST_F(DivertDialogPrint, NoCutterEndsWithALineEndAndAnEmptyBannerIsLeftOut) {
    printer.canCut = false;
    divert.DivertBanner.clear();
    OpenHeldTicket();
    Retry();
    EXPECT_THAT(printer.Printed(), ElementsAre("L1\r\n", "L2\r\n", "\r\n"));
    EXPECT_TRUE(divert.DivertSucceeded);
}

// A held ticket that did not come out must not mark its items printed.
using DivertDialogFailedPrint = DivertDialogFixture;

TEST_F(DivertDialogFailedPrint, RefusedTicketKeepsTheDialogOpenWithButtons) {
    printer.coverOpen = true;
    OpenHeldTicket();
    Retry();
    EXPECT_TRUE(printer.Printed().empty());
    EXPECT_EQ(printer.calls.back(), "Close");
    EXPECT_EQ(dialog.Label1, "ERROR Open Printer 'K2'");
    EXPECT_TRUE(view.sawButtonsDisabled);
    EXPECT_TRUE(dialog.Command1Enabled);
    EXPECT_TRUE(dialog.Command2Enabled);
    EXPECT_FALSE(dialog.Closed);
    EXPECT_FALSE(divert.DivertSucceeded);
    EXPECT_THAT(LogText(), Not(HasSubstr("Printing Success")));
}

TEST_F(DivertDialogFailedPrint, BadResultAfterPrintingIsNoSuccess) {
    FailAfterPrintPrinter failing(printer);
    LaneJobRunner failingRunner(failing, pinger, pause, log);
    InlinePrinterLanes failingLanes(failingRunner, failingRunner);
    TRDIVET other(failingLanes, log, op, codes, divert);
    RecordingDivertView otherView(other);
    other.List1 = {"L1\r\n"};
    other.OPrinterName = "K2";
    other.oIPAddress = "127.0.0.2";
    other.Open(otherView);
    Retry(other, failingLanes);
    EXPECT_EQ(printer.Printed().size(), 3u);
    EXPECT_FALSE(other.Closed);
    EXPECT_TRUE(other.Command1Enabled);
    EXPECT_FALSE(divert.DivertSucceeded);
    EXPECT_EQ(other.Label1, "ERROR Printing at 'K2'");
    EXPECT_THAT(LogText(), Not(HasSubstr("Printing Success")));
}

TEST_F(DivertDialogFailedPrint, EmptyHeldTicketIsNoSuccess) {
    OpenHeldTicket({});
    Retry();
    EXPECT_TRUE(printer.Printed().empty());
    EXPECT_EQ(printer.calls.back(), "Close");
    EXPECT_FALSE(dialog.Closed);
    EXPECT_FALSE(divert.DivertSucceeded);
}

using DivertDialogLeave = DivertDialogFixture;

TEST_F(DivertDialogLeave, CancelNamesTheOwnPrinterNotTheDivertPrinter) {
    OpenHeldTicket();
    divert.DivertSucceeded = true;
    dialog.Command2();
    EXPECT_EQ(divert.CancelledPrinters, std::set<std::string>{"K1"});
    EXPECT_FALSE(divert.DivertSucceeded);
    EXPECT_TRUE(dialog.Closed);
    EXPECT_TRUE(printer.calls.empty());
    EXPECT_THAT(LogText(), HasSubstr("Cancel Printing at printer 'K2'\r\n"));
}

TEST_F(DivertDialogLeave, Image1AsksAndClosesWhateverTheAnswer) {
    for (const auto answer : {MessageAnswer::Yes, MessageAnswer::No}) {
        OpenHeldTicket();
        divert.DivertSucceeded = true;
        op.answer = answer;
        dialog.Image1DoubleClick();
        EXPECT_TRUE(dialog.Closed);
        EXPECT_TRUE(divert.DivertSucceeded);  // not touched on this path
        EXPECT_EQ(dialog.StopDivertAnswer, answer == MessageAnswer::Yes ? "6" : "7");
        EXPECT_TRUE(divert.CancelledPrinters.empty());
    }
    ASSERT_EQ(op.messages.size(), 2u);
    EXPECT_EQ(op.messages[0].text, "Stop divert ?");
    EXPECT_EQ(op.messages[0].caption, "Exit");
    EXPECT_EQ(op.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(op.messages[0].buttons, MessageButtons::YesNo);
}

}  // namespace
}  // namespace kps::test
