#include "status/TicketPaper.h"

#include <memory>

#include "output/EncodingResources.h"
#include "output/EscPosTranslator.h"
#include "output/LineRasterizer.h"

namespace kps {

std::vector<PaperLine> KeptTicketPaper(const StoredTicket& ticket, const std::string& device,
                                       int codePage, const PosPrinterRegistry* printers) {
    PosDevice printer;
    printer.encoding = PrinterEncoding::OfCodePage(codePage);
    if (printers != nullptr) {
        printer = printers->Resolve(device, "");
    }
    // Made for this page alone: the status server answers on several threads.
    std::unique_ptr<LineRasterizer> rasterizer;
    if (printers != nullptr && DrawsLines(printer.encoding)) {
        rasterizer = std::make_unique<LineRasterizer>(printers->RasterFont());
    }
    EscPosTranslator translator(printer.encoding, rasterizer.get(), printer.paperDots, {});
    std::string bytes = translator.JobStart();
    for (const std::string& line : ticket.lines) {
        bytes += translator.Translate(line);
    }
    return ReadEscPosPaper(bytes, ticket.columns, DoubleByteSetOf(printer.encoding));
}

}  // namespace kps
