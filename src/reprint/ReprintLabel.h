#pragma once

#include <string>

#include "output/PrinterCodes.h"

namespace kps {

inline constexpr const char* kReprintLabel = "*** REPRINT ***";

// The label's line, centred like the divert banner: with CodeCentre, or on a
// direct port ("D"), which knows no OPOS code, between ESC a 1 and ESC a 0.
std::string ReprintLabelLine(const std::string& printingType, const PrinterCodes& codes);

// How a notice's copy on one device is named among possibly printed items
// (the reprint journal, the suspects of TicketsInFlight).
std::string NoticeCopyKey(const std::string& noticeId, const std::string& device);

}  // namespace kps
