#include "printing/ReprintLabel.h"

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

}  // namespace kps
