#pragma once

#include <string>

#include "output/EscPosTranslator.h"
#include "output/LineRasterizer.h"
#include "output/PosPrinterRegistry.h"
#include "sending/PrintJob.h"

namespace kps {

// Gives a direct-port job the encoding and paper its device's section of
// the printer registry names; a port without one (or without a registry)
// keeps the plain code page bytes it has always had.
void SetDirectPortEncoding(PrintJob& job, const PosPrinterRegistry* printers);

// The bytes a direct-port job writes: its text in its encoding, lines drawn
// by `rasterizer` where the encoding asks for images (as text without one).
std::string DirectJobBytes(const PrintJob& job, LineRasterizer* rasterizer,
                           TranslatorReport report = {});

}  // namespace kps
