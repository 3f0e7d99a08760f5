#include "sending/TicketSendingStep.h"

#include <algorithm>
#include <utility>

#include "database/Recordset.h"
#include "reprint/ReprintLabel.h"
#include "sending/ComposedJob.h"
#include "sending/TicketReprinter.h"
#include "text/KpsError.h"
#include "text/Text.h"

namespace kps {
namespace {

// A device that could not print is tried again by later tickets after this.
constexpr int kDownSeconds = 30;

// An ID as the exact number it is; anything else names no row.
Value ExactId(const std::string& text) {
    const auto id = ExactInteger(Value::Text(text));
    return id ? Value::Integer(*id) : Value::Null();
}

}  // namespace

TicketSendingStep::TicketSendingStep(PrintContext& context, PrinterLanes& lanes,
                                     DivertQuestionHost& questions)
    : context_(context), lanes_(lanes), questions_(questions), outages_(context.log) {}

TicketRecord& TicketSendingStep::Submit(PrintJob job) {
    TicketRecord& record = context_.records.Compose(std::move(job));
    lanes_.Submit(record.job);
    return record;
}

void TicketSendingStep::SendTicket() {
    TicketBuffers& ticket = context_.ticket;
    const std::string& type = ticket.PrintingType;
    // Any other type has no path to print on: nothing may be marked printed.
    if (type == "O" || type == "D" || type == "W") {
        PrintJob job = ComposedJob(context_, JobKind::Ticket);
        job.itemIds = std::move(ticket.List1);
        job.billIds = std::move(ticket.List2);
        Submit(std::move(job));
    }
    ForgetItems();
}

void TicketSendingStep::SendNotice(const std::string& noticeId) {
    PrintJob job = ComposedJob(context_, JobKind::Notice);
    job.noticeId = noticeId;
    job.itemIds = {NoticeCopyKey(noticeId, job.device)};
    Submit(std::move(job));
}

void TicketSendingStep::SendReprint(PrintJob job) {
    job.kind = JobKind::Reprint;
    job.itemIds.clear();
    job.billIds.clear();
    Submit(std::move(job));
}

void TicketSendingStep::SettleReports() {
    for (const JobReport& report : lanes_.TakeReports()) {
        Settle(report);
    }
    MarkPrintedTickets();
    ProbeCancelledPrinters();
    AskNextQuestion();
}

void TicketSendingStep::ProbeCancelledPrinters() {
    const long long now = SecondsOf(context_.clock.Now());
    std::erase_if(probes_, [&](const auto& entry) {
        return !context_.divert.CancelledPrinters.contains(entry.first);
    });
    for (auto& [device, probe] : probes_) {
        const bool inFlight = probe.record != 0 && context_.records.Find(probe.record) != nullptr;
        // A clock set back (the end of summer time) must not hold it for an hour.
        const bool due = now >= probe.next || now < probe.next - kDownSeconds;
        if (inFlight || !due) {
            continue;
        }
        PrintJob job;
        job.kind = JobKind::Probe;
        job.device = device;
        // Not a one-letter literal: GCC 12 warns falsely (-Wrestrict) on it at -O3.
        job.printingType = std::string(1, 'O');
        job.address = probe.address;
        probe.record = Submit(std::move(job)).id;
        probe.next = now + kDownSeconds;
    }
}

bool TicketSendingStep::FinishSending(std::chrono::milliseconds limit) {
    const bool finished = lanes_.Finish(limit);
    for (const JobReport& report : lanes_.TakeReports()) {
        Settle(report);
    }
    MarkPrintedTickets();
    return finished;
}

void TicketSendingStep::Settle(const JobReport& report) {
    TicketRecord* record = context_.records.Find(report.job.record);
    if (record == nullptr) {
        // Every job is submitted with its record, which lives until its
        // last report: a report without one means the state is not to be
        // trusted any more.
        throw KpsError(kErrPrinter,
                       "No ticket record for job " + std::to_string(report.job.number));
    }
    if (report.fault == PrintFault::NotLeased || report.fault == PrintFault::NotRecorded) {
        // Nothing was sent: the server that holds the outlet prints it, or
        // a later pass once its record can be written.
        Unsent(report.job);
        context_.records.DeviceFailed(report.job.device, context_.clock.Now());
        if (report.job.kind == JobKind::Reprint) {
            // Asked for by hand and never sent again: the operator must hear.
            context_.log.WriteLog("Error Reprint at '" + report.job.device +
                                  "': this server does not print for the outlet now");
        }
        if (record->asking) {
            EndQuestion(*record);
        }
        context_.records.Released(record->id);
        return;
    }
    if (report.job.kind == JobKind::Probe) {
        // A probe asks only whether the printer answers; its faults are the
        // outage the operator already knows of.
        context_.states.OnProbed(report.job.device, report.opened);
        context_.records.Released(record->id);
        return;
    }
    for (const RoutineFault& fault : report.faults) {
        context_.op.ShowErrorReport(fault.where, fault.number, fault.description, fault.routine);
    }
    switch (report.job.kind) {
        case JobKind::Ticket:
            SettleTicket(*record, report);
            break;
        case JobKind::Notice:
            SettleNotice(*record, report);
            break;
        case JobKind::Divert:
            SettleDivert(*record, report);
            break;
        case JobKind::Reprint:
            SettleReprint(*record, report);
            break;
        case JobKind::Probe:
            break;
    }
}

void TicketSendingStep::SettleTicket(TicketRecord& record, const JobReport& report) {
    const PrintJob& job = report.job;
    if (report.printed) {
        if (reprints_ != nullptr) {
            reprints_->Remember(job.device, KeptTicket(job, context_.clock.Now()));
        }
        Printed(job.device);
        context_.records.Printed(record);
        return;
    }
    NotPrinting(job.device, report.fault);
    Unprinted(record, report);
    if (job.printingType == "W") {
        outages_.Once(job.device, "Error Printing at '" + job.device + "'");
        PassOn(record);
        return;
    }
    if (job.printingType == "D") {
        if (outages_.Once(job.device, "Error Open direct Port " + job.directPort)) {
            context_.op.Notify("Printer Error !!!", "Message", MessageIcon::Critical);
        }
        PassOn(record);
        return;
    }
    if (report.opened) {
        // A print that failed after the open is composed and sent again by a
        // later pass, labelled when any of it left.
        context_.records.Released(record.id);
        return;
    }
    NotOpened(record);
}

void TicketSendingStep::NotOpened(TicketRecord& record) {
    const std::string device = record.job.device;
    outages_.Once(device, "Error Open Printer '" + device + "'");
    if (context_.divert.CancelledPrinters.contains(device)) {
        PassOn(record);
        return;
    }
    if (auto all = divertAll_.find(device); all != divertAll_.end()) {
        SendDivert(record, all->second);
        return;
    }
    if (context_.records.Questioned(device)) {
        // One question per printer: this ticket waits for its answer.
        context_.records.Released(record.id);
        return;
    }
    context_.records.OpenQuestion(record);
    context_.states.OnQuestionOpened(device);
    asking_.push_back(record.id);
}

void TicketSendingStep::Unprinted(TicketRecord& record, const JobReport& report) {
    if (report.bytesLeft) {
        context_.records.BytesLeft(record);
    } else if (report.opened) {
        // Only an opened printer's job was recorded: a printer that stays
        // down costs the database nothing on every try.
        Unsent(report.job);
    }
}

void TicketSendingStep::Unsent(const PrintJob& job) {
    context_.journal.JobUnsent(job.number);
    ClearJournalRows([&](PrintJournalTable& table) { table.ClearJob(writer_, job.number); });
}

void TicketSendingStep::ClearJournalRows(const std::function<void(PrintJournalTable&)>& clear) {
    if (table_ == nullptr) {
        return;
    }
    try {
        clear(*table_);
    } catch (const KpsError& error) {
        context_.log.WriteLog("Error Print Journal: " + error.Description());
    }
}

void TicketSendingStep::SettleNotice(TicketRecord& record, const JobReport& report) {
    const PrintJob& job = report.job;
    if (report.printed) {
        TicketRecords& records = context_.records;
        records.MarkDelivered(job.noticeId, job.device);
        context_.journal.NoticeDelivered(job.noticeId, job.device);
        records.Marked(record.id);
        marked_.insert(marked_.end(), job.itemIds.begin(), job.itemIds.end());
        // Its journal row stays until the notice is marked: a server taking
        // over meanwhile prints this copy again labelled.
        Printed(job.device);
        if (records.AllDelivered(job.noticeId)) {
            MarkNoticePrinted(job.noticeId);
        }
        return;
    }
    NotPrinting(job.device, report.fault);
    Unprinted(record, report);
    context_.records.Released(record.id);
    outages_.Once(job.device, "Error Print Notice " + job.noticeId + " at '" + job.device + "'");
}

void TicketSendingStep::SettleDivert(TicketRecord& record, const JobReport& report) {
    if (report.printed) {
        Printed(report.job.device);
        if (record.asking) {
            EndQuestion(record);
        }
        context_.records.Printed(record);
        return;
    }
    NotPrinting(report.job.device, report.fault);
    Unprinted(record, report);
    if (!record.asking) {
        // Diverted without a question open (every ticket of an outage, or
        // the operator closed the dialog meanwhile). A divert printer that
        // fails too ends "every ticket": the next ticket asks again rather
        // than going round between two printers that do not print.
        if (divertAll_.erase(record.job.device) > 0) {
            context_.log.WriteLog("Divert from '" + record.job.device + "' ended: '" +
                                  report.job.device + "' did not print");
        }
        PassOn(record);
        return;
    }
    context_.records.DivertFailed(record);
    if (!questions_.DivertFailed(QuestionAbout(record), report)) {
        GiveUp(record.id);
    }
}

void TicketSendingStep::SettleReprint(TicketRecord& record, const JobReport& report) {
    context_.records.Released(record.id);
    if (report.printed) {
        Printed(report.job.device);
        return;
    }
    NotPrinting(report.job.device, report.fault);
    context_.log.WriteLog("Error Reprint at '" + report.job.device + "'");
}

void TicketSendingStep::SendDivert(TicketRecord& record, const DivertTarget& target) {
    const PrintJob& own = record.job;
    PrintJob job;
    job.kind = JobKind::Divert;
    job.device = target.device;
    // Not a one-letter literal: GCC 12 warns falsely (-Wrestrict) on it at -O3.
    job.printingType = std::string(1, 'O');
    job.address = target.address;
    job.codes = own.codes;
    job.lines = record.mayBeOnPaper ? WithReprintLabel(own.lines, own.headerEnd, "O", own.codes)
                                    : own.lines;
    job.headerEnd = own.headerEnd;
    job.banner = "*Divert From " + own.device;
    job.itemIds = own.itemIds;
    job.billIds = own.billIds;
    job.owner = own.device;
    job.record = record.id;
    if (!target.device.empty()) {
        outages_.Once(own.device, "Retry Printing at '" + target.device + "'");
    }
    context_.records.QueueDivert(record, target.device);
    lanes_.Submit(std::move(job));
}

void TicketSendingStep::PassOn(TicketRecord& record) {
    const std::string device = record.job.device;
    if (record.job.kind != JobKind::Ticket || !record.job.groupContinues) {
        context_.records.Released(record.id);
        return;
    }
    context_.records.DeviceDown(device, context_.clock.Now(), kDownSeconds);
    context_.records.HandedOn(record.id);
}

void TicketSendingStep::Printed(const std::string& device) {
    if (outages_.Recovered(device)) {
        context_.log.WriteLog("Printer '" + device + "' is back");
    }
    if (divertAll_.erase(device) > 0) {
        context_.log.WriteLog("Divert from '" + device + "' ended: it prints again");
    }
    WithdrawQuestions(device);
    context_.records.DeviceUp(device);
    const LocalDateTime now = context_.clock.Now();
    context_.states.OnPrinted(device, now);
    context_.window.ShowStatus("Last Printed on " + FormatGeneralDate(now));
}

void TicketSendingStep::WithdrawQuestions(const std::string& device) {
    const std::deque<unsigned long> asking = asking_;
    for (unsigned long id : asking) {
        TicketRecord* record = context_.records.Find(id);
        if (record->job.device == device && record->state == RecordState::QuestionOpen) {
            EndQuestion(*record);
            context_.records.Released(id);
        }
    }
}

void TicketSendingStep::NotPrinting(const std::string& device, PrintFault fault) {
    context_.records.DeviceFailed(device, context_.clock.Now());
    context_.states.OnFailed(device, fault == PrintFault::None ? PrintFault::Failed : fault);
    context_.window.ShowStatus("Printer '" + device + "' not printing");
}

void TicketSendingStep::MarkPrintedTickets() {
    std::vector<const TicketRecord*> printed;
    for (const auto& [id, record] : context_.records.All()) {
        if (record.state == RecordState::Printed) {
            printed.push_back(&record);
        }
    }
    // One transaction for the pass; when it fails, each ticket alone, so
    // that a ticket whose rows fail holds up only itself.
    std::vector<unsigned long> marked;
    if (printed.size() > 1 && MarkTicketsPrinted(printed, false)) {
        for (const TicketRecord* record : printed) {
            marked.push_back(record->id);
        }
    } else {
        for (const TicketRecord* record : printed) {
            if (MarkTicketsPrinted({record}, true)) {
                marked.push_back(record->id);
            }
        }
    }
    for (unsigned long id : marked) {
        const std::vector<std::string>& items = context_.records.Find(id)->job.itemIds;
        marked_.insert(marked_.end(), items.begin(), items.end());
        context_.records.Marked(id);
    }
    // Once per pass: each is a sync, however many tickets came out.
    context_.journal.ItemsMarked(std::exchange(marked_, {}));
    if (reprints_ != nullptr) {
        reprints_->Save();
    }
}

bool TicketSendingStep::MarkTicketsPrinted(const std::vector<const TicketRecord*>& records,
                                           bool logFailure) {
    Connection& db = context_.db;
    try {
        if (!markItem_) {
            markItem_ = db.Prepare("Update Kelt_trs_PrintingDetails Set PrintStatus=1 Where ID=?");
            markBill_ = db.Prepare("Update Kelt_trs_BillDetails Set KitchenStatus=1 Where ID=?");
        }
        db.BeginTransaction();
        std::vector<std::string> items;
        for (const TicketRecord* record : records) {
            const std::vector<std::string>& itemIds = record->job.itemIds;
            const std::vector<std::string>& billIds = record->job.billIds;
            for (std::size_t i = 0; i < itemIds.size(); ++i) {
                // The lists are parallel by construction; a missing bill ID names no row.
                const std::string billId = i < billIds.size() ? billIds[i] : std::string();
                markItem_->Bind(1, ExactId(itemIds[i]));
                markItem_->Execute();
                markBill_->Bind(1, ExactId(billId));
                markBill_->Execute();
            }
            items.insert(items.end(), itemIds.begin(), itemIds.end());
        }
        if (table_ != nullptr) {
            table_->ClearItems(items);
        }
        db.CommitTransaction();
        return true;
    } catch (const KpsError&) {
        db.RollbackTransaction();
        if (logFailure) {
            context_.log.WriteLog("Error Update Transaction");
        }
        return false;
    }
}

void TicketSendingStep::MarkNoticePrinted(const std::string& noticeId) {
    context_.db.Execute("Update Kelt_trs_PrintKitchen Set PrintStatus=1 Where ID=" + noticeId);
    context_.records.ForgetNotice(noticeId);
    context_.journal.NoticeDone(noticeId);
    ClearJournalRows([&](PrintJournalTable& table) { table.ClearNotice(noticeId); });
}

DivertQuestion TicketSendingStep::QuestionAbout(const TicketRecord& record) {
    DivertQuestion question;
    question.id = record.id;
    question.device = record.job.device;
    question.divertDevice =
        LoadDivertDevice(std::to_string(record.job.optionPrinter1), question.divertAddress);
    question.label = " Error Sending item to Printer '" + question.device + "'";
    return question;
}

void TicketSendingStep::AskNextQuestion() {
    if (shown_ || asking_.empty()) {
        return;
    }
    shown_ = true;
    questions_.Ask(QuestionAbout(*context_.records.Find(asking_.front())));
}

void TicketSendingStep::EndQuestion(TicketRecord& record) {
    const bool wasShown = shown_ && !asking_.empty() && asking_.front() == record.id;
    std::erase(asking_, record.id);
    context_.records.EndAsking(record);
    if (wasShown) {
        shown_ = false;
        questions_.End(record.id);
    }
    const std::string& device = record.job.device;
    context_.states.OnQuestionClosed(device);
    if (context_.divert.CancelledPrinters.contains(device)) {
        context_.states.OnSuspended(device);
    }
}

TicketRecord* TicketSendingStep::OpenQuestion(unsigned long question) {
    TicketRecord* record = context_.records.Find(question);
    if (record == nullptr || !record->asking) {
        return nullptr;
    }
    return record;
}

void TicketSendingStep::Divert(unsigned long question, const std::string& device,
                               const std::string& address, bool forEveryTicket) {
    TicketRecord* record = OpenQuestion(question);
    if (record == nullptr || record->state != RecordState::QuestionOpen) {
        return;
    }
    if (forEveryTicket) {
        divertAll_[record->job.device] = {device, address};
    }
    SendDivert(*record, {device, address});
}

void TicketSendingStep::Cancel(unsigned long question, const std::string& printer) {
    TicketRecord* record = OpenQuestion(question);
    if (record == nullptr) {
        return;
    }
    context_.divert.CancelledPrinters.insert(printer);
    const bool own = printer == record->job.device;
    if (own && record->job.printingType == "O") {
        // Whether it answers again is worth telling, not before 30 s.
        probes_[printer] = {record->job.address, SecondsOf(context_.clock.Now()) + kDownSeconds, 0};
    }
    if (!own) {
        // The dialog's field named another printer: it is shown suspended,
        // to be resumed, but its address is not known here to probe it.
        context_.states.OnSuspended(printer);
    }
    GiveUp(question);
}

void TicketSendingStep::GiveUp(unsigned long question) {
    TicketRecord* record = OpenQuestion(question);
    if (record == nullptr) {
        return;
    }
    EndQuestion(*record);
    if (record->state == RecordState::QuestionOpen) {
        PassOn(*record);
    }
}

void TicketSendingStep::Close(unsigned long question) {
    TicketRecord* record = OpenQuestion(question);
    if (record == nullptr) {
        return;
    }
    EndQuestion(*record);
    // A divert print under way settles the ticket when it reports.
    if (record->state == RecordState::QuestionOpen) {
        context_.records.Released(record->id);
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
