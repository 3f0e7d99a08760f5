#include "output/PrinterCodes.h"

namespace kps {
namespace {

const std::string kEsc = "\x1b";

// ESC "!" with one print-mode byte (0x00 normal, 0x10 double height,
// 0x20 double width, 0x30 both).
std::string PrintMode(char mode) {
    return kEsc + "!" + std::string(1, mode);
}

std::string ColourSelect(char colour) {
    return kEsc + "r" + std::string(1, colour);
}

const std::string& PickSlot(int slot, const std::string& one, const std::string& two,
                            const std::string& three, const std::string& four) {
    switch (slot) {
        case 2:
            return two;
        case 3:
            return three;
        case 4:
            return four;
        default:
            return one;
    }
}

}  // namespace

const std::string& PrinterCodes::FontCode(int slot) const {
    return PickSlot(slot, FontCode1, FontCode2, FontCode3, FontCode4);
}

const std::string& PrinterCodes::DirectFontCode(int slot) const {
    return PickSlot(slot, DirectFontCode1, DirectFontCode2, DirectFontCode3, DirectFontCode4);
}

void PR_LoadOposSetting(PrinterCodes& codes, const std::string& printingType) {
    codes.DirectFontCode1 = PrintMode('\x00');
    codes.DirectFontCode2 = PrintMode('\x10');
    codes.DirectFontCode3 = PrintMode('\x20');
    codes.DirectFontCode4 = PrintMode('\x30');
    codes.DirectColourOn = ColourSelect('\x01');
    codes.DirectColourOff = ColourSelect('\x00');
    codes.CodeCentre = kEsc + "|cA";
    codes.CodeFeedCut = kEsc + "|fP";

    codes.FontCode1 = kEsc + "|1C";
    codes.FontCode2 = kEsc + "|2C";
    codes.FontCode3 = kEsc + "|3C";
    codes.FontCode4 = kEsc + "|4C";
    codes.CodeColourOn = kEsc + "|rC";
    // Built, not assigned from a one-character literal: GCC 12 at -O3 warns
    // falsely (-Wrestrict) about that assignment.
    codes.CodeColourOff = std::string(1, '\x0b');

    if (printingType == "D") {
        codes.FontCode1 = codes.DirectFontCode1;
        codes.FontCode2 = codes.DirectFontCode2;
        codes.FontCode3 = codes.DirectFontCode3;
        codes.FontCode4 = codes.DirectFontCode4;
        codes.CodeColourOn = codes.DirectColourOn;
        codes.CodeColourOff = codes.DirectColourOff;
    }
}

}  // namespace kps
