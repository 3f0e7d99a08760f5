#include "reprint/ReprintLabel.h"

#include <algorithm>

namespace kps {

std::string ReprintLabelLine(const std::string& printingType, const PrinterCodes& codes) {
    const std::string line = std::string(kReprintLabel) + "\r\n";
    if (printingType == "D") {
        return std::string(
                   "\x1b"
                   "a\x01") +
               line +
               std::string(
                   "\x1b"
                   "a\x00",
                   3);
    }
    return codes.CodeCentre + line;
}

std::vector<std::string> WithReprintLabel(std::vector<std::string> lines, std::size_t headerEnd,
                                          const std::string& printingType,
                                          const PrinterCodes& codes) {
    const bool labelled = std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find(kReprintLabel) != std::string::npos;
    });
    if (!labelled) {
        const auto at = lines.begin() + static_cast<long>(std::min(headerEnd, lines.size()));
        lines.insert(at, ReprintLabelLine(printingType, codes));
    }
    return lines;
}

std::string NoticeCopyKey(const std::string& noticeId, const std::string& device) {
    return "notice " + noticeId + " " + device;
}

}  // namespace kps
