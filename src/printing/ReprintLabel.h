#pragma once

#include <string>

#include "output/PrinterCodes.h"

namespace kps {

inline constexpr const char* kReprintLabel = "*** REPRINT ***";

// The label's line, centred like the divert banner: with CodeCentre, or on a
// direct port ("D"), which knows no OPOS code, between ESC a 1 and ESC a 0.
std::string ReprintLabelLine(const std::string& printingType, const PrinterCodes& codes);

}  // namespace kps
