#include "sending/ComposedJob.h"

#include "sending/DirectPortEncoding.h"

namespace kps {

PrintJob ComposedJob(const PrintContext& ctx, JobKind kind) {
    const TicketBuffers& ticket = ctx.ticket;
    const PrintDeviceSetting& device = ctx.device;
    PrintJob job;
    job.kind = kind;
    job.device = device.DeviceName;
    job.printingType = device.PrintingType;
    job.address = device.LDNName;
    job.directPort = device.DirectPort;
    job.codePage = ctx.codePage;
    job.codes = ctx.codes;
    SetDirectPortEncoding(job, ctx.printers);
    job.text = ticket.RTF;
    job.lines = ticket.List3;
    job.headerEnd = ticket.HeaderEnd;
    job.headerEndInText = ticket.HeaderEndInRTF;
    job.key = ticket.TicketKey;
    job.columns = ticket.RowPerLine;
    job.optionPrinter1 = ticket.OptionPrinter1;
    job.groupContinues = device.GroupContinues;
    if (kind == JobKind::Ticket) {
        job.found = ctx.itemsFound;
    }
    if (job.printingType == "W") {
        job.page = ticket.Page;
        job.systemPrinterName = device.DeviceName;
    }
    return job;
}

}  // namespace kps
