#include "sending/TicketReprinter.h"

#include <algorithm>

#include "database/Recordset.h"
#include "reprint/ReprintLabel.h"
#include "reprint/ReprintRequest.h"
#include "text/Text.h"

namespace kps {

TicketReprinter::TicketReprinter(Connection& db, const PrintLog& log, const ReprintStore& store,
                                 ReprintSender& sender, int codePage)
    : db_(db), log_(log), store_(store), sender_(sender), codePage_(codePage) {}

bool TicketReprinter::Reprint(const std::string& device, int n) {
    const std::optional<StoredTicket> ticket = store_.Recent(device, n);
    if (!ticket) {
        log_.WriteLog("No ticket " + std::to_string(n) + " of '" + device + "' to reprint");
        return false;
    }
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
        return false;
    }
    job.kind = JobKind::Reprint;
    job.device = device;
    job.codePage = codePage_;
    PR_LoadOposSetting(job.codes, job.printingType);
    job.lines = LabelledReprint(*ticket, job.codes, job.printingType);
    for (const std::string& line : job.lines) {
        job.text += line;
    }
    log_.WriteLog("Reprint '" + device + "' on request");
    sender_.SendReprint(std::move(job));
    return true;
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

std::vector<std::string> LabelledReprint(const StoredTicket& ticket, const PrinterCodes& codes,
                                         const std::string& printingType) {
    return WithReprintLabel(ticket.lines, ticket.headerEnd, printingType, codes);
}

}  // namespace kps
