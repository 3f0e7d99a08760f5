#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "database/Statement.h"
#include "reprint/ReprintStore.h"
#include "sending/DivertQuestion.h"
#include "sending/OutageLog.h"
#include "sending/PrintContext.h"
#include "sending/PrintJournalTable.h"
#include "sending/PrinterLanes.h"
#include "sending/ReprintSender.h"
#include "sending/TicketSender.h"

namespace kps {

// Puts each ticket composition has built on its way as a ticket record (a
// system printer's job is ended at once), and settles what the lanes report
// on the tick thread: marks printed tickets, asks the divert question about
// tickets whose printer did not open and carries out the answers, hands a
// ticket its device could not print to the next device of its group, and
// reports printers that fail and come back once per outage. Nothing here
// waits for a printer or for the operator.
class TicketSendingStep final : public TicketSender, public ReprintSender, public DivertAnswers {
  public:
    TicketSendingStep(PrintContext& context, PrinterLanes& lanes, DivertQuestionHost& questions);

    // Keeps every kitchen ticket a lane printed in `store`, for a reprint.
    void KeepPrintedTickets(ReprintStore* store) { reprints_ = store; }

    // The lanes record their jobs in `table` as server run `writer`: a
    // ticket's rows go in the transaction that marks it printed, a job's
    // when no byte of it left.
    void UseJournalTable(PrintJournalTable* table, std::string writer) {
        table_ = table;
        writer_ = std::move(writer);
    }

    // The kitchen ticket in the ticket buffers, for the device loaded last.
    void SendTicket() override;

    // The table exchange ticket in the ticket buffers, of notice `noticeId`,
    // for the device loaded last.
    void SendNotice(const std::string& noticeId);

    void SendReprint(PrintJob job) override;

    // Runs after every pass's dispatch: acts on every lane report, marks
    // every ticket printed since (with those whose marking failed before),
    // then shows the next divert question.
    void SettleReports();

    // Shut-down: lets the lanes print what they hold for at most `limit`,
    // and settles their reports. False when a lane was still busy.
    bool FinishSending(std::chrono::milliseconds limit);

    // Marks notice `noticeId` printed and forgets where it went.
    void MarkNoticePrinted(const std::string& noticeId);

    // The name of the device with this code ("" when none); its address in
    // `address`.
    std::string LoadDivertDevice(const std::string& deviceCode, std::string& address);

    void Divert(unsigned long question, const std::string& device, const std::string& address,
                bool forEveryTicket) override;
    void Cancel(unsigned long question, const std::string& printer) override;
    void GiveUp(unsigned long question) override;
    void Close(unsigned long question) override;

  private:
    // A cancelled network printer, looked at now and then to tell the
    // operator when it answers again.
    struct Probe {
        std::string address;
        long long next = 0;        // SecondsOf the next probe
        unsigned long record = 0;  // the probe on its way, if any
    };

    struct DivertTarget {
        std::string device;
        std::string address;
    };

    TicketRecord& Submit(PrintJob job);
    void Settle(const JobReport& report);
    void SettleTicket(TicketRecord& record, const JobReport& report);
    void NotOpened(TicketRecord& record);
    void SettleNotice(TicketRecord& record, const JobReport& report);
    void SettleDivert(TicketRecord& record, const JobReport& report);
    void SettleReprint(TicketRecord& record, const JobReport& report);
    // A copy that did not come out: whether any of it may be on paper.
    void Unprinted(TicketRecord& record, const JobReport& report);
    // No byte of the job left: nothing of it needs remembering.
    void Unsent(const PrintJob& job);
    // Drops journal table rows outside a marking; a failure is logged, as a
    // row left behind only labels a later copy.
    void ClearJournalRows(const std::function<void(PrintJournalTable&)>& clear);
    void SendDivert(TicketRecord& record, const DivertTarget& target);
    // The next device of the ticket's group takes it, or it waits.
    void PassOn(TicketRecord& record);
    void Printed(const std::string& device);
    // The printer prints again: a question about it that no divert print
    // answers yet ends, and its ticket waits for that printer, so that
    // neither holds the printer up.
    void WithdrawQuestions(const std::string& device);
    void NotPrinting(const std::string& device, PrintFault fault);
    // Marks every printed ticket: all in one transaction, or, when that
    // fails, each in its own; a ticket that fails stays Printed for the next
    // pass. Then the journal and the kept tickets are written, once.
    void MarkPrintedTickets();
    // One transaction: all of their items or none. A failure is rolled back,
    // and logged ("Error Update Transaction") when `logFailure`.
    bool MarkTicketsPrinted(const std::vector<const TicketRecord*>& records, bool logFailure);
    void AskNextQuestion();
    DivertQuestion QuestionAbout(const TicketRecord& record);
    void EndQuestion(TicketRecord& record);
    // The record of an open question the operator may answer, or null.
    TicketRecord* OpenQuestion(unsigned long question);
    void ForgetItems();
    void ProbeCancelledPrinters();

    PrintContext& context_;
    PrinterLanes& lanes_;
    DivertQuestionHost& questions_;
    OutageLog outages_;
    ReprintStore* reprints_ = nullptr;
    PrintJournalTable* table_ = nullptr;
    std::string writer_;
    std::deque<unsigned long> asking_;  // records with a question, the front one shown when shown_
    bool shown_ = false;
    std::map<std::string, DivertTarget> divertAll_;  // printer, where all its tickets go
    std::map<std::string, Probe> probes_;            // cancelled printer, its probing
    std::vector<std::string> marked_;                // items marked this pass, for the journal
    std::unique_ptr<Statement> markItem_;
    std::unique_ptr<Statement> markBill_;
};

}  // namespace kps
