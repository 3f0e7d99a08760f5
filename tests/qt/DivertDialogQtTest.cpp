#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include "dialogs/TRDIVET.h"
#include "dialogs/qt/DivertDialogQt.h"
#include "support/Fakes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

using ::testing::ElementsAre;

// Lets a test look at the window while the printer control pauses before it
// closes, that is, in the middle of the held ticket's print.
class ProbePause final : public WaitPause {
  public:
    void Pause() override {
        if (probe) {
            probe();
        }
    }
    std::function<void()> probe;
};

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
        // Never leave a test hanging in the modal loop.
        QTimer::singleShot(10000, &view, [this] { view.reject(); });
    }
    // Runs `step` once the dialog is up, then shows it modally.
    void ShowAndThen(std::function<void()> step) {
        QTimer::singleShot(0, &view, std::move(step));
        view.ShowModal(dialog);
    }

    TempFolder folder;
    FakeClock clock;
    PrintLog log{folder.Path(), clock};
    FakeOperator op;
    FakePosPrinter printer;
    FakePinger pinger;
    ProbePause pause;
    PrinterCodes codes;
    DivertState divert;
    TRDIVET dialog{printer, pinger, pause, log, op, codes, divert};
    DivertDialogQt view;
};

TEST_F(DivertDialogQtTest, ShowsModallyOnTopAndClosesAfterTheDivert) {
    bool shown = false;
    bool buttonsOffDuringPrint = false;
    pause.probe = [&] {
        buttonsOffDuringPrint = !view.Command1()->isEnabled() && !view.Command2()->isEnabled();
    };
    ShowAndThen([&] {
        shown = view.isVisible() && view.isModal() &&
                view.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        EXPECT_EQ(view.Label1()->text(), " Error Sending item to Printer 'K1'");
        EXPECT_EQ(view.Command1()->text(), "DIVERT/RETRY TO 'K2'");
        EXPECT_EQ(view.Command2()->text(), "CANCEL PRINTING");
        EXPECT_EQ(view.OriPrinter()->text(), "K1");
        QTest::mouseClick(view.Command1(), Qt::LeftButton);
    });
    EXPECT_TRUE(shown);
    EXPECT_TRUE(buttonsOffDuringPrint);
    EXPECT_FALSE(view.isVisible());
    EXPECT_EQ(view.result(), QDialog::Accepted);
    EXPECT_TRUE(divert.DivertSucceeded);
    EXPECT_THAT(printer.Printed(), ElementsAre("<C>*Divert From K1\r\n", "L1\r\n", "<CUT>"));
}

TEST_F(DivertDialogQtTest, CountsFailuresReadsEditedFieldsAndCancels) {
    pinger.reachable.clear();
    ShowAndThen([&] {
        QTest::mouseClick(view.Command1(), Qt::LeftButton);
        EXPECT_EQ(view.Label1()->text(), "ERROR Open Printer 'K2' 1 time(s)");
        view.OPrinterName()->setText("K3");
        view.OIPAddress()->setText("127.0.0.3");
        QTest::mouseClick(view.Command1(), Qt::LeftButton);
        EXPECT_EQ(view.Label1()->text(), "ERROR Open Printer 'K3' 2 time(s)");
        EXPECT_TRUE(view.isVisible());
        EXPECT_TRUE(view.Command1()->isEnabled());
        view.OriPrinter()->setText("K1B");
        QTest::mouseClick(view.Command2(), Qt::LeftButton);
    });
    EXPECT_THAT(pinger.pinged, ElementsAre("127.0.0.2", "127.0.0.3"));
    EXPECT_FALSE(view.isVisible());
    EXPECT_FALSE(divert.DivertSucceeded);
    EXPECT_EQ(divert.CancelledPrinters, std::set<std::string>{"K1B"});
}

TEST_F(DivertDialogQtTest, Image1DoubleClickAsksAndCloses) {
    op.answer = MessageAnswer::No;
    ShowAndThen([&] { QTest::mouseDClick(view.Image1(), Qt::LeftButton); });
    EXPECT_FALSE(view.isVisible());
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "Stop divert ?");
    EXPECT_EQ(dialog.StopDivertAnswer, "7");
    EXPECT_FALSE(divert.DivertSucceeded);
}

}  // namespace
}  // namespace kps::test
