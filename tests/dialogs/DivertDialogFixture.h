#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/DivertDialogView.h"
#include "dialogs/TRDIVET.h"
#include "sending/LaneJobRunner.h"
#include "support/Fakes.h"
#include "support/InlinePrinterLanes.h"
#include "support/TempFolder.h"

namespace kps::test {

// Records whether the buttons were ever off while the dialog repainted.
class RecordingDivertView final : public DivertDialogView {
  public:
    explicit RecordingDivertView(const TRDIVET& dialog) : dialog_(dialog) {}

    int SetWindowTopmost(bool topmost) override { return topmost ? 1 : 0; }
    void Repaint() override;

    bool sawButtonsDisabled = false;

  private:
    const TRDIVET& dialog_;
};

// A divert dialog for printer K1 whose divert printer K2 answers at
// 127.0.0.2, holding a ticket of two lines.
class DivertDialogFixture : public ::testing::Test {
  protected:
    DivertDialogFixture();

    // Fills the fields as sending does and opens the dialog on the view.
    void OpenHeldTicket(std::vector<std::string> lines = {"L1\r\n", "L2\r\n"});
    std::string LogText() const;
    // Presses "DIVERT/RETRY" on `on` and hands it the outcome of its print.
    static void Retry(TRDIVET& on, PrinterLanes& through);
    void Retry() { Retry(dialog, lanes); }

    TempFolder folder;
    FakeClock clock;
    PrintLog log;
    FakeOperator op;
    FakePosPrinter printer;
    FakePinger pinger;
    FakeWaitPause pause;
    PrinterCodes codes;
    DivertState divert;
    LaneJobRunner runner{printer, pinger, pause, log};
    InlinePrinterLanes lanes{runner, runner};
    TRDIVET dialog{lanes, log, op, codes, divert};
    RecordingDivertView view{dialog};
};

}  // namespace kps::test
