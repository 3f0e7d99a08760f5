#include "sending/TicketSendingStep.h"

#include <utility>

#include "database/Recordset.h"
#include "reprint/ReprintLabel.h"
#include "sending/TicketReprinter.h"
#include "text/KpsError.h"
#include "text/Text.h"
#include "tickets/ComposedJob.h"

namespace kps {
namespace {

// An ID as the exact number it is; anything else names no row.
Value ExactId(const std::string& text) {
    const auto id = ExactInteger(Value::Text(text));
    return id ? Value::Integer(*id) : Value::Null();
}

}  // namespace

TicketSendingStep::TicketSendingStep(PrintContext& context, PrinterLanes& lanes,
                                     TicketsInFlight& inFlight, TRDIVET& dialog,
                                     DivertDialogHost& host)
    : context_(context), lanes_(lanes), inFlight_(inFlight), dialog_(dialog), host_(host) {}

void TicketSendingStep::SendTicket() {
    context_.divert.DivertBanner.clear();
    TicketBuffers& ticket = context_.ticket;
    const std::string& type = ticket.PrintingType;
    if (type == "O" || type == "D") {
        PrintJob job = ComposedJob(context_, JobKind::Ticket);
        job.device = ticket.DeviceName;
        job.itemIds = std::move(ticket.List1);
        job.billIds = std::move(ticket.List2);
        inFlight_.HoldItems(job.itemIds);
        lanes_.Submit(std::move(job));
    } else if (type == "W") {
        if (context_.systemPrinter.EndJob()) {
            if (MarkTicketPrinted(ticket.List1, ticket.List2)) {
                Printed(ticket.DeviceName);
            }
        } else {
            context_.log.WriteLog("Error Printing at '" + ticket.DeviceName + "'");
            NotPrinting(ticket.DeviceName, PrintFault::Failed);
        }
    }
    // Any other type has no path to print on: nothing may be marked printed.
    ForgetItems();
}

void TicketSendingStep::SendNotice(const std::string& noticeId) {
    PrintJob job = ComposedJob(context_, JobKind::Notice);
    job.noticeId = noticeId;
    job.itemIds = {NoticeCopyKey(noticeId, job.device)};
    inFlight_.HoldNotice(noticeId, job.device);
    lanes_.Submit(std::move(job));
}

void TicketSendingStep::SettleReports() {
    RetryMarkings();
    for (const JobReport& report : lanes_.TakeReports()) {
        Settle(report);
    }
    // The operator may have answered the question shown since the last tick.
    if (questionShown_ && dialog_.Closed) {
        EndQuestion();
    }
    AskNextQuestion();
}

bool TicketSendingStep::FinishSending(std::chrono::milliseconds limit) {
    const bool finished = lanes_.Finish(limit);
    RetryMarkings();
    for (const JobReport& report : lanes_.TakeReports()) {
        Settle(report);
    }
    return finished;
}

void TicketSendingStep::Settle(const JobReport& report) {
    if (report.fault == PrintFault::NotLeased) {
        // Nothing was sent; the server that holds the outlet prints it.
        inFlight_.ReleaseItems(report.job.itemIds);
        if (report.job.kind == JobKind::Notice) {
            inFlight_.ReleaseNotice(report.job.noticeId, report.job.device);
        }
        return;
    }
    for (const RoutineFault& fault : report.faults) {
        context_.op.ShowErrorReport(fault.where, fault.number, fault.description, fault.routine);
    }
    switch (report.job.kind) {
        case JobKind::Ticket:
            SettleTicket(report);
            break;
        case JobKind::Notice:
            SettleNotice(report);
            break;
        case JobKind::Divert:
            SettleDivert(report);
            break;
        case JobKind::Reprint:
            SettleReprint(report);
            break;
        case JobKind::Probe:
            context_.states.OnProbed(report.job.device, report.opened);
            break;
    }
}

void TicketSendingStep::SettleTicket(const JobReport& report) {
    const PrintJob& job = report.job;
    if (report.printed) {
        SettleMarking({job.itemIds, job.billIds});
        if (reprints_ != nullptr) {
            reprints_->Remember(job.device, KeptTicket(job, context_.clock.Now()));
        }
        Printed(job.device);
        return;
    }
    NotPrinting(job.device, report.fault);
    Unprinted(report);
    if (job.printingType == "D") {
        // The rows stay waiting; the operator hears once, not every tick.
        inFlight_.ReleaseItems(job.itemIds);
        if (outages_.Failed(job.device)) {
            context_.log.WriteLog("Error Open direct Port " + job.directPort);
            context_.op.Notify("Printer Error !!!", "Message", MessageIcon::Critical);
        }
        return;
    }
    const bool canAsk = !report.opened && !inFlight_.Questioned(job.device) &&
                        !context_.divert.CancelledPrinters.contains(job.device);
    if (!canAsk) {
        // A print that failed after the open is composed and sent again by a
        // later pass; so is a ticket whose printer already has its question.
        inFlight_.ReleaseItems(job.itemIds);
        return;
    }
    context_.log.WriteLog("Error Open Printer '" + job.device + "'");
    inFlight_.SetQuestioned(job.device, true);
    context_.states.OnQuestionOpened(job.device);
    questions_.push_back(job);
}

void TicketSendingStep::Unprinted(const JobReport& report) {
    // Bytes that left may have come out: the next copy says it may be one.
    if (report.bytesLeft) {
        inFlight_.SuspectItems(report.job.itemIds);
    } else {
        context_.journal.JobUnsent(report.job.number);
    }
}

void TicketSendingStep::SettleNotice(const JobReport& report) {
    const PrintJob& job = report.job;
    inFlight_.ReleaseNotice(job.noticeId, job.device);
    if (report.printed) {
        inFlight_.MarkDelivered(job.noticeId, job.device);
        context_.journal.NoticeDelivered(job.noticeId, job.device);
        inFlight_.ClearSuspects(job.itemIds);
        context_.journal.ItemsMarked(job.itemIds);
        Printed(job.device);
        if (inFlight_.AllDelivered(job.noticeId)) {
            MarkNoticePrinted(job.noticeId);
        }
        return;
    }
    NotPrinting(job.device, report.fault);
    Unprinted(report);
    if (outages_.Failed(job.device)) {
        context_.log.WriteLog("Error Print Notice " + job.noticeId + " at '" + job.device + "'");
    }
}

void TicketSendingStep::SettleDivert(const JobReport& report) {
    if (!questionShown_ || report.job.question != dialog_.Question) {
        return;  // the question it belonged to has ended
    }
    if (report.printed) {
        Printed(report.job.device);
    } else {
        Unprinted(report);
    }
    dialog_.OnDivertReport(report);
    if (dialog_.Closed || !host_.KeepAsking(dialog_)) {
        EndQuestion();
    }
}

void TicketSendingStep::SettleReprint(const JobReport& report) {
    if (report.printed) {
        Printed(report.job.device);
        return;
    }
    NotPrinting(report.job.device, report.fault);
    context_.log.WriteLog("Error Reprint at '" + report.job.device + "'");
}

void TicketSendingStep::Printed(const std::string& device) {
    if (outages_.Recovered(device)) {
        context_.log.WriteLog("Printer '" + device + "' is back");
    }
    const LocalDateTime now = context_.clock.Now();
    context_.states.OnPrinted(device, now);
    context_.window.ShowStatus("Last Printed on " + FormatGeneralDate(now));
}

void TicketSendingStep::NotPrinting(const std::string& device, PrintFault fault) {
    context_.states.OnFailed(device, fault == PrintFault::None ? PrintFault::Failed : fault);
    context_.window.ShowStatus("Printer '" + device + "' not printing");
}

void TicketSendingStep::SettleMarking(const Marking& marking) {
    if (MarkTicketPrinted(marking.itemIds, marking.billIds)) {
        inFlight_.ReleaseItems(marking.itemIds);
        inFlight_.ClearSuspects(marking.itemIds);
        context_.journal.ItemsMarked(marking.itemIds);
    } else {
        failedMarkings_.push_back(marking);
    }
}

void TicketSendingStep::RetryMarkings() {
    for (const Marking& marking : std::exchange(failedMarkings_, {})) {
        SettleMarking(marking);
    }
}

bool TicketSendingStep::MarkTicketPrinted(const std::vector<std::string>& itemIds,
                                          const std::vector<std::string>& billIds) {
    Connection& db = context_.db;
    try {
        if (!markItem_) {
            markItem_ = db.Prepare("Update Kelt_trs_PrintingDetails Set PrintStatus=1 Where ID=?");
            markBill_ = db.Prepare("Update Kelt_trs_BillDetails Set KitchenStatus=1 Where ID=?");
        }
        db.BeginTransaction();
        for (std::size_t i = 0; i < itemIds.size(); ++i) {
            // The lists are parallel by construction; a missing bill ID names no row.
            const std::string billId = i < billIds.size() ? billIds[i] : std::string();
            markItem_->Bind(1, ExactId(itemIds[i]));
            markItem_->Execute();
            markBill_->Bind(1, ExactId(billId));
            markBill_->Execute();
        }
        db.CommitTransaction();
        return true;
    } catch (const KpsError&) {
        db.RollbackTransaction();
        context_.log.WriteLog("Error Update Transaction");
        return false;
    }
}

void TicketSendingStep::MarkNoticePrinted(const std::string& noticeId) {
    context_.db.Execute("Update Kelt_trs_PrintKitchen Set PrintStatus=1 Where ID=" + noticeId);
    inFlight_.ForgetNotice(noticeId);
    context_.journal.NoticeDone(noticeId);
}

void TicketSendingStep::AskNextQuestion() {
    if (questionShown_ || questions_.empty()) {
        return;
    }
    const PrintJob& job = questions_.front();
    DivertState& divert = context_.divert;
    const std::string& name = job.device;
    divert.DivertLabelText = " Error Sending item to Printer '" + name + "'";
    std::string address;
    const std::string divertName = LoadDivertDevice(std::to_string(job.optionPrinter1), address);

    dialog_.List1 = job.lines;
    dialog_.List2 = job.itemIds;
    dialog_.List3 = job.billIds;
    divert.DivertBanner = "*Divert From " + name;
    dialog_.OPrinterName = divertName;
    dialog_.oIPAddress = address;
    dialog_.OriPrinter = name;
    dialog_.Question = ++questionsAsked_;
    questionShown_ = true;
    host_.Show(dialog_);
}

void TicketSendingStep::EndQuestion() {
    PrintJob job = std::move(questions_.front());
    questions_.pop_front();
    questionShown_ = false;
    host_.Hide(dialog_);
    dialog_.Unload();
    inFlight_.SetQuestioned(job.device, false);
    context_.states.OnQuestionClosed(job.device);
    if (context_.divert.CancelledPrinters.contains(job.device)) {
        context_.states.OnSuspended(job.device);
    }
    if (context_.divert.DivertSucceeded) {
        SettleMarking({job.itemIds, job.billIds});
    } else {
        inFlight_.ReleaseItems(job.itemIds);
    }
}

std::string TicketSendingStep::LoadDivertDevice(const std::string& deviceCode,
                                                std::string& address) {
    std::string name;
    address.clear();
    auto devices = context_.db.OpenRecordset("Select * from kelt_mt_device WHERE Devicecode='" +
                                             SqlQuote(deviceCode) + "'");
    devices->Requery();
    if (!devices->IsEOF()) {
        const Value& deviceName = devices->Field("DeviceName");
        if (!deviceName.IsNull()) {
            name = deviceName.AsText();
        }
        const Value& found = devices->Field("LDNName");
        if (!found.IsNull()) {
            address = found.AsText();
        }
    }
    devices->Close();
    return name;
}

void TicketSendingStep::ForgetItems() {
    context_.ticket.List1.clear();
    context_.ticket.List2.clear();
}

}  // namespace kps
