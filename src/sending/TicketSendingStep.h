#pragma once

#include <chrono>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "database/Statement.h"
#include "dialogs/DivertDialogHost.h"
#include "dialogs/TRDIVET.h"
#include "reprint/ReprintStore.h"
#include "sending/PrintContext.h"
#include "sending/PrinterLanes.h"
#include "sending/PrinterOutages.h"
#include "sending/TicketSender.h"
#include "sending/TicketsInFlight.h"

namespace kps {

// Hands the ticket composition has just built to its printer's lane (a
// system printer's job is ended at once), and settles what the lanes report
// on the tick thread: marks printed tickets, offers failed ones to the divert
// printer through the divert question, reports printers that fail and come
// back. Nothing here waits for a printer or for the operator.
class TicketSendingStep final : public TicketSender {
  public:
    TicketSendingStep(PrintContext& context, PrinterLanes& lanes, TicketsInFlight& inFlight,
                      TRDIVET& dialog, DivertDialogHost& host);

    // Keeps every kitchen ticket a lane printed in `store`, for a reprint.
    void KeepPrintedTickets(ReprintStore* store) { reprints_ = store; }

    // The kitchen ticket in the ticket buffers, for the device loaded last.
    void SendTicket() override;

    // The table exchange ticket in the ticket buffers, of notice `noticeId`,
    // for the device loaded last.
    void SendNotice(const std::string& noticeId);

    // Runs at the start of every tick: retries failed markings, then acts on
    // every lane report, then shows the next divert question.
    void SettleReports();

    // Shut-down: lets the lanes print what they hold for at most `limit`,
    // and settles their reports. False when a lane was still busy.
    bool FinishSending(std::chrono::milliseconds limit);

    // Marks the items printed in one transaction: all of them or none. A
    // failure is rolled back and logged ("Error Update Transaction"); the
    // items then stay held and the marking is retried before the next
    // composition.
    bool MarkTicketPrinted(const std::vector<std::string>& itemIds,
                           const std::vector<std::string>& billIds);

    // Marks notice `noticeId` printed and forgets where it went.
    void MarkNoticePrinted(const std::string& noticeId);

    // The name of the device with this code ("" when none); its address in
    // `address`.
    std::string LoadDivertDevice(const std::string& deviceCode, std::string& address);

  private:
    struct Marking {
        std::vector<std::string> itemIds;
        std::vector<std::string> billIds;
    };

    void Settle(const JobReport& report);
    void SettleTicket(const JobReport& report);
    void SettleNotice(const JobReport& report);
    // A ticket or divert print that did not come out.
    void Unprinted(const JobReport& report);
    void SettleDivert(const JobReport& report);
    void SettleReprint(const JobReport& report);
    void Printed(const std::string& device);
    void NotPrinting(const std::string& device, PrintFault fault);
    void SettleMarking(const Marking& marking);
    void RetryMarkings();
    void AskNextQuestion();
    void EndQuestion();
    void ForgetItems();

    PrintContext& context_;
    PrinterLanes& lanes_;
    TicketsInFlight& inFlight_;
    TRDIVET& dialog_;
    DivertDialogHost& host_;
    PrinterOutages outages_;
    ReprintStore* reprints_ = nullptr;
    std::deque<PrintJob> questions_;  // the front one is shown when questionShown_
    bool questionShown_ = false;
    unsigned long questionsAsked_ = 0;
    std::vector<Marking> failedMarkings_;
    std::unique_ptr<Statement> markItem_;
    std::unique_ptr<Statement> markBill_;
};

}  // namespace kps
