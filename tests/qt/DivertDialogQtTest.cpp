#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "dialogs/TRDIVET.h"
#include "dialogs/qt/DivertDialogQt.h"
#include "support/Fakes.h"
#include "support/RecordingDivertAnswers.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

using ::testing::ElementsAre;

class DivertDialogQtTest : public ::testing::Test {
  protected:
    DivertDialogQtTest() { answers.host = &dialog; }

    void Ask(unsigned long id = 1) {
        dialog.Ask({id, "K1", "K2", "127.0.0.2", " Error Sending item to Printer 'K1'"});
    }

    TempFolder folder;
    FakeClock clock;
    PrintLog log{folder.Path(), clock};
    FakeOperator op;
    RecordingDivertAnswers answers;
    DivertDialogQt view;
    TRDIVET dialog{answers, view, log, op};
};

TEST_F(DivertDialogQtTest, ShowsOnTopWithoutHoldingAnythingUpAndForwardsTheDivert) {
    Ask();
    EXPECT_TRUE(view.isVisible());
    EXPECT_FALSE(view.isModal());
    EXPECT_TRUE(view.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(view.Label1()->text(), " Error Sending item to Printer 'K1'");
    EXPECT_EQ(view.Command1()->text(), "DIVERT/RETRY TO 'K2'");
    EXPECT_EQ(view.Command2()->text(), "CANCEL PRINTING");
    EXPECT_EQ(view.OriPrinter()->text(), "K1");
    EXPECT_EQ(view.ForEveryTicket()->text(), "for every ticket of 'K1' until it prints again");
    EXPECT_FALSE(view.ForEveryTicket()->isChecked());

    view.ForEveryTicket()->setChecked(true);
    QTest::mouseClick(view.Command1(), Qt::LeftButton);
    EXPECT_FALSE(view.Command1()->isEnabled());  // until the divert printer reports
    EXPECT_FALSE(view.Command2()->isEnabled());
    EXPECT_THAT(answers.calls, ElementsAre("Divert 1 K2 127.0.0.2 every"));
    dialog.End(1);
    EXPECT_FALSE(view.isVisible());
}

TEST_F(DivertDialogQtTest, CountsFailuresReadsEditedFieldsAndCancels) {
    Ask();
    QTest::mouseClick(view.Command1(), Qt::LeftButton);
    dialog.DivertFailed({1, "K1", "K2", "", ""}, JobReport{});
    EXPECT_EQ(view.Label1()->text(), "ERROR Open Printer 'K2' 1 time(s)");
    view.OPrinterName()->setText("K3");
    view.OIPAddress()->setText("127.0.0.3");
    QTest::mouseClick(view.Command1(), Qt::LeftButton);
    dialog.DivertFailed({1, "K1", "K3", "", ""}, JobReport{});
    EXPECT_EQ(view.Label1()->text(), "ERROR Open Printer 'K3' 2 time(s)");
    EXPECT_TRUE(view.isVisible());
    EXPECT_TRUE(view.Command1()->isEnabled());
    view.OriPrinter()->setText("K1B");
    QTest::mouseClick(view.Command2(), Qt::LeftButton);

    EXPECT_THAT(answers.calls,
                ElementsAre("Divert 1 K2 127.0.0.2", "Divert 1 K3 127.0.0.3", "Cancel 1 K1B"));
    EXPECT_FALSE(view.isVisible());
}

TEST_F(DivertDialogQtTest, Image1AsksAndClosingTheWindowEndsWithoutCancelling) {
    op.answer = MessageAnswer::No;
    Ask(1);
    QTest::mouseDClick(view.Image1(), Qt::LeftButton);
    EXPECT_FALSE(view.isVisible());
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "Stop divert ?");
    EXPECT_EQ(dialog.StopDivertAnswer, "7");

    // The question ends under the box: the dialog is let go of meanwhile.
    Ask(2);
    op.whileShown = [&] { dialog.End(2); };
    QTest::mouseDClick(view.Image1(), Qt::LeftButton);
    EXPECT_FALSE(view.isVisible());

    op.whileShown = nullptr;
    Ask(3);
    view.close();
    EXPECT_TRUE(dialog.Closed);
    EXPECT_THAT(answers.calls, ElementsAre("Close 1", "Close 2", "Close 3"));
}

}  // namespace
}  // namespace kps::test
