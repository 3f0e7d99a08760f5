#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "dialogs/TRDIVET.h"
#include "dialogs/qt/DivertDialogQt.h"
#include "sending/LaneJobRunner.h"
#include "support/Fakes.h"
#include "support/InlinePrinterLanes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

using ::testing::ElementsAre;

class DivertDialogQtTest : public ::testing::Test {
  protected:
    DivertDialogQtTest() {
        codes.CodeCentre = "<C>";
        codes.CodeFeedCut = "<CUT>";
        divert.DivertLabelText = " Error Sending item to Printer 'K1'";
        divert.DivertBanner = "*Divert From K1";
        pinger.reachable = {"127.0.0.2"};
        dialog.List1 = {"L1\r\n"};
        dialog.OPrinterName = "K2";
        dialog.oIPAddress = "127.0.0.2";
        dialog.OriPrinter = "K1";
    }

    // Hands the divert prints' outcomes to the dialog, as the tick does.
    void Settle() {
        for (const JobReport& report : lanes.TakeReports()) {
            dialog.OnDivertReport(report);
            if (dialog.Closed) {
                view.Hide(dialog);
            } else {
                view.KeepAsking(dialog);
            }
        }
    }

    TempFolder folder;
    FakeClock clock;
    PrintLog log{folder.Path(), clock};
    FakeOperator op;
    FakePosPrinter printer;
    FakePinger pinger;
    FakeWaitPause pause;
    LaneJobRunner runner{printer, pinger, pause, log};
    InlinePrinterLanes lanes{runner, runner};
    PrinterCodes codes;
    DivertState divert;
    TRDIVET dialog{lanes, log, op, codes, divert};
    DivertDialogQt view;
};

TEST_F(DivertDialogQtTest, ShowsOnTopWithoutHoldingAnythingUpAndClosesAfterTheDivert) {
    view.Show(dialog);
    EXPECT_TRUE(view.isVisible());
    EXPECT_FALSE(view.isModal());
    EXPECT_TRUE(view.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(view.Label1()->text(), " Error Sending item to Printer 'K1'");
    EXPECT_EQ(view.Command1()->text(), "DIVERT/RETRY TO 'K2'");
    EXPECT_EQ(view.Command2()->text(), "CANCEL PRINTING");
    EXPECT_EQ(view.OriPrinter()->text(), "K1");

    QTest::mouseClick(view.Command1(), Qt::LeftButton);
    EXPECT_FALSE(view.Command1()->isEnabled());  // until the divert printer reports
    EXPECT_FALSE(view.Command2()->isEnabled());
    Settle();
    EXPECT_FALSE(view.isVisible());
    EXPECT_TRUE(divert.DivertSucceeded);
    EXPECT_THAT(printer.Printed(), ElementsAre("<C>*Divert From K1\r\n", "L1\r\n", "<CUT>"));
}

TEST_F(DivertDialogQtTest, CountsFailuresReadsEditedFieldsAndCancels) {
    pinger.reachable.clear();
    view.Show(dialog);
    QTest::mouseClick(view.Command1(), Qt::LeftButton);
    Settle();
    EXPECT_EQ(view.Label1()->text(), "ERROR Open Printer 'K2' 1 time(s)");
    view.OPrinterName()->setText("K3");
    view.OIPAddress()->setText("127.0.0.3");
    QTest::mouseClick(view.Command1(), Qt::LeftButton);
    Settle();
    EXPECT_EQ(view.Label1()->text(), "ERROR Open Printer 'K3' 2 time(s)");
    EXPECT_TRUE(view.isVisible());
    EXPECT_TRUE(view.Command1()->isEnabled());
    view.OriPrinter()->setText("K1B");
    QTest::mouseClick(view.Command2(), Qt::LeftButton);

    EXPECT_THAT(pinger.pinged, ElementsAre("127.0.0.2", "127.0.0.3"));
    EXPECT_FALSE(view.isVisible());
    EXPECT_FALSE(divert.DivertSucceeded);
    EXPECT_EQ(divert.CancelledPrinters, std::set<std::string>{"K1B"});
}

TEST_F(DivertDialogQtTest, Image1AsksAndClosingTheWindowEndsWithoutCancelling) {
    op.answer = MessageAnswer::No;
    view.Show(dialog);
    QTest::mouseDClick(view.Image1(), Qt::LeftButton);
    EXPECT_FALSE(view.isVisible());
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "Stop divert ?");
    EXPECT_EQ(dialog.StopDivertAnswer, "7");

    view.Show(dialog);
    view.close();
    EXPECT_TRUE(dialog.Closed);
    EXPECT_FALSE(divert.DivertSucceeded);
    EXPECT_TRUE(divert.CancelledPrinters.empty());
}

}  // namespace
}  // namespace kps::test
