#include "status/TicketPaper.h"

#include "output/EncodingResources.h"
#include "output/EscPosTranslator.h"

namespace kps {

KeptTicketReader::KeptTicketReader(const std::string& device, int codePage,
                                   const PosPrinterRegistry* printers) {
    printer_.encoding = PrinterEncoding::OfCodePage(codePage);
    if (printers != nullptr) {
        printer_ = printers->Resolve(device, "");
        if (DrawsLines(printer_.encoding)) {
            rasterizer_ = std::make_unique<LineRasterizer>(printers->RasterFont());
        }
    }
}

KeptTicketReader::~KeptTicketReader() = default;

std::vector<PaperLine> KeptTicketReader::Paper(const StoredTicket& ticket) {
    EscPosTranslator translator(printer_.encoding, rasterizer_.get(), printer_.paperDots, {});
    std::string bytes = translator.JobStart();
    for (const std::string& line : ticket.lines) {
        bytes += translator.Translate(line);
    }
    return ReadEscPosPaper(bytes, ticket.columns, DoubleByteSetOf(printer_.encoding));
}

}  // namespace kps
