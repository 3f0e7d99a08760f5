#pragma once

#include <string>

#include "dialogs/DivertDialogHost.h"
#include "dialogs/DivertDialogView.h"
#include "sending/DivertQuestion.h"
#include "startup/Operator.h"
#include "startup/PrintLog.h"

namespace kps {

// The divert and retry dialog: asks where a ticket that its own printer
// could not take should go: to the divert printer, as often as the operator
// asks, or nowhere, cancelling printing on the failing printer. Plain state
// and handlers; a host shows it, and the sending step carries out the
// answers on the ticket's record.
class TRDIVET final : public DivertQuestionHost {
  public:
    TRDIVET(DivertAnswers& answers, DivertDialogHost& host, const PrintLog& log, Operator& op);

    void Ask(const DivertQuestion& question) override;
    bool DivertFailed(const DivertQuestion& question, const JobReport& report) override;
    void End(unsigned long question) override;

    // Loads and activates the dialog on `view`, which must outlive it until
    // the question ends.
    void Open(DivertDialogView& view);

    void Load();
    void Activate();

    // Retry or divert: the ticket goes to the divert printer (and, with
    // ForEveryTicket, every later ticket of its printer until it prints
    // again); both buttons wait for its outcome.
    void Command1();

    // Cancel printing on the ticket's own printer.
    void Command2();

    // Asks "Stop divert ?" and closes whatever the answer.
    void Image1DoubleClick();

    // Nobody will answer: the ticket goes on without the divert printer.
    void GiveUp();

    // The dialog is closed without an answer.
    void Close();

    std::string Label1;
    std::string Command1Caption = "RETRY";
    std::string Command2Caption = "CANCEL PRINTING";
    std::string ForEveryTicketCaption;
    bool Command1Enabled = true;
    bool Command2Enabled = true;
    bool ForEveryTicket = false;

    std::string OPrinterName;  // the divert printer's logical device name
    std::string oIPAddress;    // the divert printer's address
    std::string OriPrinter;    // the ticket's own printer

    unsigned long Question = 0;  // the question shown; 0 when none
    int RetryCount = 0;
    bool Closed = true;            // no question is shown
    std::string StopDivertAnswer;  // the last answer to "Stop divert ?", as its number

  private:
    void ShowFailure(const std::string& message);
    void Repaint();

    DivertAnswers& answers_;
    DivertDialogHost& host_;
    const PrintLog& log_;
    Operator& operator_;
    DivertQuestion question_;
    DivertDialogView* view_ = nullptr;
};

}  // namespace kps
