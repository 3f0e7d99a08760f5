#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "output/PrinterCodes.h"

namespace kps {

inline constexpr const char* kReprintLabel = "*** REPRINT ***";

// The label's line, centred like the divert banner: with CodeCentre, or on a
// direct port ("D"), which knows no OPOS code, between ESC a 1 and ESC a 0.
std::string ReprintLabelLine(const std::string& printingType, const PrinterCodes& codes);

// `lines` with the label's line after the first `headerEnd` lines, unless
// they carry it already.
std::vector<std::string> WithReprintLabel(std::vector<std::string> lines, std::size_t headerEnd,
                                          const std::string& printingType,
                                          const PrinterCodes& codes);

// How a notice's copy on one device is named among possibly printed items
// (the reprint journal, the ticket records).
std::string NoticeCopyKey(const std::string& noticeId, const std::string& device);

}  // namespace kps
