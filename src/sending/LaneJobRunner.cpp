#include "sending/LaneJobRunner.h"

#include "output/DirectPort.h"
#include "sending/DirectPortEncoding.h"
#include "text/KpsError.h"

namespace kps {
namespace {

constexpr const char* kCrLf = "\r\n";

OposRoutineOptions DivertDialogOptions() {
    OposRoutineOptions options;
    options.claimTimeoutMs = 50;
    options.pauseOnBadResult = false;
    options.owner = "TRDIVET";
    return options;
}

}  // namespace

LaneJobRunner::LaneJobRunner(PosPrinter& printer, Pinger& pinger, WaitPause& pause,
                             const PrintLog& log, JobJournal* journal, const LeaseFence* fence,
                             EncodingResources* text, SecondsHistogram* latency)
    : printer_(printer),
      log_(log),
      journal_(journal),
      fence_(fence),
      text_(text),
      latency_(latency),
      main_(printer, pinger, pause, log, faults_),
      divert_(printer, pinger, pause, log, faults_, DivertDialogOptions()) {}

JobReport LaneJobRunner::Run(const PrintJob& job) {
    JobReport report;
    report.job = job;
    faults_.faults.clear();
    // A fault the routines do not trap must not end the lane's thread: the
    // device is given up and the operator hears of it.
    auto giveUp = [&](long number, const std::string& description) {
        faults_.faults.push_back({job.kind == JobKind::Divert ? "TRDIVET" : "MDIForm1", number,
                                  description, "PrintHeldTicket"});
        report.printed = false;
        report.bytesLeft = true;
        report.fault = PrintFault::Failed;
        try {
            printer_.Close();
        } catch (const std::exception&) {
            // already reported above
        }
    };
    try {
        if (job.kind == JobKind::Probe) {
            RunProbe(job, report);
        } else if (job.printingType == "D") {
            RunDirect(job, report);
        } else if (job.kind == JobKind::Divert) {
            RunDivert(job, report);
        } else {
            RunTicket(job, report);
        }
    } catch (const KpsError& error) {
        giveUp(error.Number(), error.Description());
    } catch (const std::exception& error) {
        giveUp(kErrPrinter, error.what());
    }
    report.faults = std::move(faults_.faults);
    return report;
}

bool LaneJobRunner::MayStart(const PrintJob& job, JobReport& report) {
    if (journal_ != nullptr && !journal_->Starting(job)) {
        report.fault = PrintFault::NotRecorded;
        return false;
    }
    if (fence_ != nullptr && !fence_->Open()) {
        report.fault = PrintFault::NotLeased;
        return false;
    }
    if (latency_ != nullptr && job.kind == JobKind::Ticket &&
        job.found != std::chrono::steady_clock::time_point{}) {
        latency_->Record(std::chrono::steady_clock::now() - job.found);
    }
    return true;
}

void LaneJobRunner::RunTicket(const PrintJob& job, JobReport& report) {
    if (!main_.OpenOpsLDN(job.device, job.address)) {
        report.fault = main_.LastFault();
        return;
    }
    report.opened = true;
    TicketBuffers ticket;
    ticket.RTF = job.text;
    ticket.List3 = job.lines;
    bool refused = false;
    main_.PrintOposTicket(ticket, job.codes, [&] {
        refused = !MayStart(job, report);
        return !refused;
    });
    report.bytesLeft = main_.SentTicket();
    report.printed = !ticket.PrintFailed;
    if (!refused) {
        report.fault = report.printed ? PrintFault::None : main_.LastFault();
    }
}

void LaneJobRunner::RunProbe(const PrintJob& job, JobReport& report) {
    // Opened as a ticket would be, so that "answers" means a ticket would
    // open now; no print data is sent and nothing is journalled.
    report.opened = main_.OpenOpsLDN(job.device, job.address);
    if (!report.opened) {
        report.fault = main_.LastFault();
        return;
    }
    // Nothing was sent, so there is no release to wait for: a printer's
    // fixed pause after a ticket must not hold a probe.
    printer_.SetDeviceEnabled(false);
    printer_.Close();
}

void LaneJobRunner::RunDivert(const PrintJob& job, JobReport& report) {
    if (!divert_.OpenOpsLDN(job.device, job.address)) {
        report.fault = divert_.LastFault();
        return;
    }
    report.opened = true;
    report.fault = PrintFault::Failed;
    if (job.lines.empty()) {
        divert_.CloseOpsLDN();
        report.failureText = "ERROR Printing at '" + job.device + "'";
        return;
    }
    if (printer_.CheckHealth(OPOS_CH_INTERNAL) != 0 || printer_.CoverOpen()) {
        report.fault = printer_.CoverOpen() ? PrintFault::CoverOpen : printer_.Fault();
        report.failureText = "ERROR Open Printer '" + job.device + "'";
        divert_.CloseOpsLDN();
        return;
    }
    const bool canCut = printer_.CapRecPapercut();
    if (!MayStart(job, report)) {
        divert_.CloseOpsLDN();
        return;
    }
    report.bytesLeft = true;
    if (!job.banner.empty()) {
        const std::string centre = canCut ? job.codes.CodeCentre : std::string();
        printer_.PrintNormal(PTR_S_RECEIPT, centre + job.banner + kCrLf);
    }
    for (const auto& line : job.lines) {
        printer_.PrintNormal(PTR_S_RECEIPT, line);
    }
    printer_.PrintNormal(PTR_S_RECEIPT, canCut ? job.codes.CodeFeedCut : std::string(kCrLf));
    report.printed = printer_.ResultCode() == OPOS_SUCCESS;
    if (report.printed) {
        report.fault = PrintFault::None;
        log_.WriteLog("Printing Success divert to '" + job.device + "'");
    } else {
        report.fault = printer_.Fault();
        report.failureText = "ERROR Printing at '" + job.device + "'";
    }
    divert_.CloseOpsLDN();
}

void LaneJobRunner::RunDirect(const PrintJob& job, JobReport& report) {
    report.opened = true;
    // Drawn before the fence is looked at, which must be the last thing
    // before the first byte.
    const std::string bytes =
        job.encoding && text_ != nullptr
            ? DirectJobBytes(job, text_->RasterizerFor(*job.encoding), text_->ReportFor(job.device))
            : DirectJobBytes(job, nullptr);
    if (!MayStart(job, report)) {
        return;
    }
    report.fault = WriteDirectPort(job.directPort, bytes, kDirectPortLimit, &report.bytesLeft);
    report.printed = report.fault == PrintFault::None;
}

}  // namespace kps
