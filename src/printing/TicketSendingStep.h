#pragma once

#include <string>

#include "dialogs/DivertDialogHost.h"
#include "dialogs/TRDIVET.h"
#include "printing/PrintContext.h"
#include "printing/TicketSender.h"

namespace kps {

// Sends the ticket composition has just built by its printer's path and marks
// its items printed once the output has succeeded. An OPOS printer that cannot
// be opened leads to the divert and retry dialog.
class TicketSendingStep final : public TicketSender {
  public:
    TicketSendingStep(PrintContext& context, TRDIVET& dialog, DivertDialogHost& host);

    void SendTicket() override;

    // Marks every item of List1/List2 printed and empties both lists. A failed
    // update is logged ("Error Update Transaction") and stops the marking with
    // both lists kept whole, so the next successful marking of the same tick
    // executes them again (the updates are idempotent). The polling tick
    // clears the lists before it dispatches; rows whose marking was lost that
    // way still wait and are printed again by a later pass.
    void MarkTicketPrinted();

    // The name of the device with this code ("" when none), and its address
    // in the ticket's DivertAddress.
    std::string LoadDivertDevice(const std::string& deviceCode);

  private:
    void SendOpos();
    void Divert();
    void SendDirect();
    void SendSystem();
    void ForgetItems();

    PrintContext& context_;
    TRDIVET& dialog_;
    DivertDialogHost& host_;
};

}  // namespace kps
