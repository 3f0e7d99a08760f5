#pragma once

#include <string>

#include "output/LineRasterizer.h"
#include "output/PosPrinterRegistry.h"
#include "sending/PrintJob.h"

namespace kps {

// The bytes a job puts on the wire when it prints: for a direct port the
// ticket text as DirectTicketBytes frames it, for a network receipt printer
// with a cutter each line as the ESC/POS translator renders it, then the cut.
std::string SentTicketBytes(const PrintJob& job);

// The same for a printer of its own encoding (a network receipt printer's
// `printer`, a direct port's in the job), its lines drawn by `rasterizer`
// where the encoding asks for images (as text without one).
std::string SentTicketBytes(const PrintJob& job, const PosDevice& printer,
                            LineRasterizer* rasterizer);

}  // namespace kps
