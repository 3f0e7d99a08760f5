#include "sending/TicketReprinter.h"

#include <algorithm>

#include "database/Recordset.h"
#include "reprint/ReprintLabel.h"
#include "reprint/ReprintRequest.h"
#include "sending/DirectPortEncoding.h"
#include "startup/IsoDateTime.h"
#include "text/Text.h"

namespace kps {

TicketReprinter::TicketReprinter(Connection& db, const PrintLog& log, const ReprintStore& store,
                                 ReprintSender& sender, int codePage,
                                 const PosPrinterRegistry* printers)
    : db_(db),
      log_(log),
      store_(store),
      sender_(sender),
      codePage_(codePage),
      printers_(printers) {}

bool TicketReprinter::Reprint(const std::string& device, int n) {
    const std::optional<StoredTicket> ticket = store_.Recent(device, n);
    if (!ticket) {
        log_.WriteLog("No ticket " + std::to_string(n) + " of '" + device + "' to reprint");
        return false;
    }
    std::optional<PrintJob> job = JobFor(device, JobKind::Reprint);
    if (!job) {
        return false;
    }
    log_.WriteLog("Reprint '" + device + "' on request");
    std::vector<std::string> lines = LabelledReprint(*ticket, job->codes, job->printingType);
    Send(std::move(*job), std::move(lines));
    return true;
}

bool TicketReprinter::TestPrint(const std::string& device, LocalDateTime now) {
    std::optional<PrintJob> job = JobFor(device, JobKind::Reprint);
    if (!job) {
        return false;
    }
    std::vector<std::string> lines = TestTicketLines(*job, now, codePage_);
    Send(std::move(*job), std::move(lines));
    return true;
}

std::optional<PrintJob> TicketReprinter::JobFor(const std::string& device, JobKind kind) {
    auto devices = db_.OpenRecordset(
        "Select PrinterType, LDNName, DirectPort from kelt_mt_Device where DeviceName='" +
        SqlQuote(device) + "'");
    PrintJob job;
    if (!devices->IsEOF()) {
        job.printingType = devices->Field("PrinterType").Or("");
        job.address = devices->Field("LDNName").Or("");
        job.directPort = devices->Field("DirectPort").Or("LPT1");
    }
    devices->Close();
    if (job.printingType != "O" && job.printingType != "D") {
        log_.WriteLog("Cannot reprint on '" + device + "'");
        return std::nullopt;
    }
    job.kind = kind;
    job.device = device;
    job.codePage = codePage_;
    SetDirectPortEncoding(job, printers_);
    PR_LoadOposSetting(job.codes, job.printingType);
    return job;
}

void TicketReprinter::Send(PrintJob job, std::vector<std::string> lines) {
    job.lines = std::move(lines);
    for (const std::string& line : job.lines) {
        job.text += line;
    }
    sender_.SendReprint(std::move(job));
}

void TicketReprinter::TakeRequests(const std::string& stateFolder) {
    for (const ReprintRequestEntry& request : TakeReprintRequests(stateFolder, log_)) {
        Reprint(request.device, request.n);
    }
}

StoredTicket KeptTicket(const PrintJob& job, LocalDateTime printed) {
    if (job.printingType != "D") {
        return {job.lines, job.headerEnd, job.itemIds, printed, job.key, job.columns};
    }
    const std::size_t cut = std::min(job.headerEndInText, job.text.size());
    return {{job.text.substr(0, cut), job.text.substr(cut)},
            1,
            job.itemIds,
            printed,
            job.key,
            job.columns};
}

std::vector<std::string> TestTicketLines(const PrintJob& job, LocalDateTime now, int codePage) {
    constexpr std::size_t kPerLine = 32;
    std::vector<std::string> lines{
        job.codes.CodeCentre + "TEST PRINT\r\n", "Printer: " + job.device + "\r\n",
        "Address: " + (job.printingType == "D" ? job.directPort : job.address) + "\r\n",
        FormatIsoDateTime(now) + "\r\n", "Code page " + std::to_string(codePage) + ":\r\n"};
    // Every character the page has, so a wrong page on the printer shows.
    std::string characters;
    for (int byte = 0x21; byte <= 0xFF; ++byte) {
        const std::string character =
            FromCodePage(std::string(1, static_cast<char>(byte)), codePage);
        // A byte the page leaves undefined comes back as a control character.
        const bool control = character.empty() || static_cast<unsigned char>(character[0]) < 0x20 ||
                             character == "\x7f" ||
                             (character.size() == 2 && character[0] == '\xC2' &&
                              static_cast<unsigned char>(character[1]) < 0xA0);
        if (control) {
            continue;
        }
        characters += character;
        if (CharCount(characters) == kPerLine) {
            lines.push_back(characters + "\r\n");
            characters.clear();
        }
    }
    if (!characters.empty()) {
        lines.push_back(characters + "\r\n");
    }
    lines.push_back(job.codes.CodeFeedCut);
    return lines;
}

std::vector<std::string> LabelledReprint(const StoredTicket& ticket, const PrinterCodes& codes,
                                         const std::string& printingType) {
    return WithReprintLabel(ticket.lines, ticket.headerEnd, printingType, codes);
}

}  // namespace kps
