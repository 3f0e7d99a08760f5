#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "DivertDialogFixture.h"

namespace kps::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

using DivertDialog = DivertDialogFixture;

TEST_F(DivertDialog, EveryQuestionStartsAfreshAndADivertNamesItsPrinterAndChoice) {
    Ask(1);
    dialog.Command1();
    dialog.DivertFailed({1, "K1", "K2", "", ""}, JobReport{});
    dialog.Command2();
    ASSERT_EQ(dialog.RetryCount, 1);

    Ask(2);
    EXPECT_EQ(dialog.RetryCount, 0);
    EXPECT_FALSE(dialog.Closed);
    EXPECT_FALSE(dialog.ForEveryTicket);
    EXPECT_EQ(dialog.Label1, " Error Sending item to Printer 'K1'");
    EXPECT_EQ(dialog.Command1Caption, "DIVERT/RETRY TO 'K2'");
    EXPECT_EQ(dialog.ForEveryTicketCaption, "for every ticket of 'K1' until it prints again");

    dialog.ForEveryTicket = true;
    dialog.Command1();
    EXPECT_TRUE(view.sawButtonsDisabled);
    EXPECT_EQ(answers.calls.back(), "Divert 2 K2 127.0.0.2 every");
}

TEST_F(DivertDialog, AFailedDivertCountsAndGivesTheButtonsBack) {
    Ask();
    dialog.Command1();
    JobReport refused;
    EXPECT_TRUE(dialog.DivertFailed({1, "K1", "K2", "", ""}, refused));
    EXPECT_EQ(dialog.Label1, "ERROR Open Printer 'K2' 1 time(s)");
    EXPECT_TRUE(dialog.Command1Enabled);
    EXPECT_TRUE(dialog.Command2Enabled);

    JobReport badResult;
    badResult.opened = true;
    badResult.failureText = "ERROR Printing at 'K2'";
    dialog.DivertFailed({1, "K1", "K2", "", ""}, badResult);
    EXPECT_EQ(dialog.Label1, "ERROR Printing at 'K2'");

    // The outcome of another question's divert leaves this one alone.
    EXPECT_FALSE(dialog.DivertFailed({9, "K9", "K2", "", ""}, refused));
    EXPECT_EQ(dialog.RetryCount, 1);
}

TEST_F(DivertDialog, CancelNamesTheOwnPrinterAndLogsTheDivertPrinter) {
    Ask();
    dialog.Command2();
    EXPECT_THAT(answers.calls, ElementsAre("Cancel 1 K1"));
    EXPECT_TRUE(dialog.Closed);
    EXPECT_EQ(view.hidden, 1);
    EXPECT_THAT(LogText(), HasSubstr("Cancel Printing at printer 'K2'\r\n"));
}

TEST_F(DivertDialog, Image1ClosesTheQuestionItAskedAboutWhateverHappenedUnderTheBox) {
    for (const auto answer : {MessageAnswer::Yes, MessageAnswer::No}) {
        Ask();
        op.answer = answer;
        dialog.Image1DoubleClick();
        EXPECT_TRUE(dialog.Closed);
        EXPECT_EQ(dialog.StopDivertAnswer, answer == MessageAnswer::Yes ? "6" : "7");
        EXPECT_EQ(answers.calls.back(), "Close 1");
    }
    ASSERT_EQ(op.messages.size(), 2u);
    EXPECT_EQ(op.messages[0].text, "Stop divert ?");
    EXPECT_EQ(op.messages[0].caption, "Exit");
    EXPECT_EQ(op.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(op.messages[0].buttons, MessageButtons::YesNo);

    // The divert printed under the box, ending the question, and the next
    // printer's question came up: the answer must not close that one.
    Ask(1);
    op.whileShown = [&] {
        dialog.End(1);
        Ask(2);
    };
    dialog.Image1DoubleClick();
    EXPECT_EQ(answers.calls.back(), "Close 1");
    EXPECT_EQ(dialog.Question, 2u);
    EXPECT_FALSE(dialog.Closed);
}

}  // namespace
}  // namespace kps::test
