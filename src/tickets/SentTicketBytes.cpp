#include "tickets/SentTicketBytes.h"

#include "output/EscPosTranslator.h"
#include "sending/DirectPortEncoding.h"

namespace kps {

namespace {

std::string TranslatedTicket(const PrintJob& job, EscPosTranslator& translator) {
    std::string bytes = translator.JobStart();
    for (const std::string& line : job.lines) {
        bytes += translator.Translate(line);
    }
    return bytes + translator.Translate(job.codes.CodeFeedCut);
}

}  // namespace

std::string SentTicketBytes(const PrintJob& job) {
    PosDevice printer;
    printer.codePage = job.codePage;
    printer.encoding = PrinterEncoding::OfCodePage(job.codePage);
    return SentTicketBytes(job, printer, nullptr);
}

std::string SentTicketBytes(const PrintJob& job, const PosDevice& printer,
                            LineRasterizer* rasterizer) {
    if (job.printingType == "D") {
        return DirectJobBytes(job, rasterizer);
    }
    EscPosTranslator translator(printer.encoding, rasterizer, printer.paperDots, {});
    return TranslatedTicket(job, translator);
}

}  // namespace kps
