#pragma once

#include <string>

namespace kps {

// The printer control codes put in front of ticket lines: OPOS escape
// sequences for an OPOS printer, raw ESC/POS for a direct port. Rebuilt for
// every device by PR_LoadOposSetting.
struct PrinterCodes {
    std::string FontCode1, FontCode2, FontCode3, FontCode4;
    std::string DirectFontCode1, DirectFontCode2, DirectFontCode3, DirectFontCode4;
    std::string CodeCentre;
    std::string CodeFeedCut;
    std::string CodeColourOn, CodeColourOff;
    std::string DirectColourOn, DirectColourOff;

    // Slot 1..4; any other slot gives slot 1.
    const std::string& FontCode(int slot) const;
    const std::string& DirectFontCode(int slot) const;
};

// Sets every code afresh: the direct-port values for printing type "D"
// (exactly), the OPOS values for every other type.
void PR_LoadOposSetting(PrinterCodes& codes, const std::string& printingType);

}  // namespace kps
