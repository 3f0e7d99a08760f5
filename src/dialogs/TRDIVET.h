#pragma once

#include <string>
#include <vector>

#include "dialogs/DivertDialogView.h"
#include "output/PrinterCodes.h"
#include "sending/DivertState.h"
#include "sending/PrinterLanes.h"
#include "startup/Operator.h"
#include "startup/PrintLog.h"

namespace kps {

// The divert and retry dialog: offers a ticket that its own printer could not
// take to the divert printer, as often as the operator asks, or cancels
// printing on the failing printer. Plain state and handlers; a view shows it.
class TRDIVET {
  public:
    // The held ticket is printed through the divert printer's lane, which
    // opens it with a 50 ms claim and without a pause after a bad result code.
    TRDIVET(PrinterLanes& lanes, const PrintLog& log, Operator& op, const PrinterCodes& codes,
            DivertState& divert);

    // Loads and activates the dialog on `view`, which must outlive it until
    // Unload.
    void Open(DivertDialogView& view);

    void Load();
    void Activate();

    // Retry or divert: hands the held ticket to the divert printer's lane;
    // both buttons wait for its outcome.
    void Command1();

    // The outcome of the divert print that Command1 asked for.
    void OnDivertReport(const JobReport& report);

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

    unsigned long Question = 0;  // which divert question the dialog shows
    int RetryCount = 0;
    bool Closed = false;
    std::string StopDivertAnswer;  // the last answer to "Stop divert ?", as its number

    // Ends the question: the dialog closes (the view hides it).
    void Close();

  private:
    void ShowFailure(const std::string& message);
    void Repaint();

    PrinterLanes& lanes_;
    const PrintLog& log_;
    Operator& operator_;
    const PrinterCodes& codes_;
    DivertState& divert_;
    DivertDialogView* view_ = nullptr;
};

}  // namespace kps
