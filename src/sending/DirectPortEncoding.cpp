#include "sending/DirectPortEncoding.h"

#include <utility>

#include "output/DirectPort.h"

namespace kps {

void SetDirectPortEncoding(PrintJob& job, const PosPrinterRegistry* printers) {
    if (job.printingType != "D" || printers == nullptr) {
        return;
    }
    const PosDevice device = printers->Resolve(job.device, "");
    if (device.ownText) {
        job.encoding = device.encoding;
        job.paperDots = device.paperDots;
    }
}

std::string DirectJobBytes(const PrintJob& job, LineRasterizer* rasterizer,
                           TranslatorReport report) {
    if (!job.encoding) {
        return DirectTicketBytes(job.text, job.codePage);
    }
    EscPosTranslator translator(*job.encoding, rasterizer, job.paperDots, std::move(report));
    return DirectTicketBytes(job.text, translator);
}

}  // namespace kps
