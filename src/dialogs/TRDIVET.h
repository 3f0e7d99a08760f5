#pragma once

#include <string>
#include <vector>

#include "dialogs/DivertDialogView.h"
#include "output/OposPrinterRoutines.h"
#include "output/PrinterCodes.h"
#include "printing/DivertState.h"
#include "startup/Operator.h"
#include "startup/PrintLog.h"

namespace kps {

// The divert and retry dialog: offers a ticket that its own printer could not
// take to the divert printer, as often as the operator asks, or cancels
// printing on the failing printer. Plain state and handlers; a view shows it.
class TRDIVET {
  public:
    // `printer` is the dialog's own printer control; it is opened with a
    // 50 ms claim and without a pause after a bad result code.
    TRDIVET(PosPrinter& printer, Pinger& pinger, WaitPause& pause, const PrintLog& log,
            Operator& op, const PrinterCodes& codes, DivertState& divert);

    // Loads and activates the dialog on `view`, which must outlive it until
    // Unload.
    void Open(DivertDialogView& view);

    void Load();
    void Activate();

    // Retry or divert: opens the divert printer and prints the held ticket.
    void Command1();

    // Cancel printing on the ticket's own printer.
    void Command2();

    // Asks "Stop divert ?" and closes whatever the answer.
    void Image1DoubleClick();

    // Forgets the held ticket and the view.
    void Unload();

    std::string Label1;
    std::string Command1Caption = "RETRY";
    std::string Command2Caption = "CANCEL PRINTING";
    bool Command1Enabled = true;
    bool Command2Enabled = true;

    std::string OPrinterName;  // the divert printer's logical device name
    std::string oIPAddress;    // the divert printer's address
    std::string OriPrinter;    // the ticket's own printer

    std::vector<std::string> List1;  // the held ticket's lines
    std::vector<std::string> List2;  // printing-detail IDs, kept for the sender
    std::vector<std::string> List3;  // bill-detail IDs, kept for the sender

    int RetryCount = 0;
    bool Closed = false;
    std::string StopDivertAnswer;  // the last answer to "Stop divert ?", as its number

  private:
    bool PrintHeldTicket();
    void ShowFailure(const std::string& message);
    void Repaint();
    void Close();

    OposPrinterRoutines routines_;
    const PrintLog& log_;
    Operator& operator_;
    const PrinterCodes& codes_;
    DivertState& divert_;
    DivertDialogView* view_ = nullptr;
};

}  // namespace kps
