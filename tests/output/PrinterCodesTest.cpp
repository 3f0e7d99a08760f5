#include <gtest/gtest.h>

#include "output/PrinterCodes.h"

namespace kps::test {
namespace {

const std::string kEsc = "\x1b";

std::string Mode(char byte) {
    return kEsc + "!" + std::string(1, byte);
}

TEST(PrinterCodesTest, DirectPortTakesEscPosPrintModesAndColours) {
    PrinterCodes codes;
    PR_LoadOposSetting(codes, "D");
    EXPECT_EQ(codes.FontCode1, Mode('\x00'));
    EXPECT_EQ(codes.FontCode1.size(), 3u);
    EXPECT_EQ(codes.FontCode2, Mode('\x10'));
    EXPECT_EQ(codes.FontCode3, Mode('\x20'));
    EXPECT_EQ(codes.FontCode4, Mode('\x30'));
    EXPECT_EQ(codes.CodeColourOn, kEsc + "r\x01");
    EXPECT_EQ(codes.CodeColourOff, kEsc + "r" + std::string(1, '\0'));
    // Centre and cut stay OPOS sequences whatever the printing type.
    EXPECT_EQ(codes.CodeCentre, kEsc + "|cA");
    EXPECT_EQ(codes.CodeFeedCut, kEsc + "|fP");
}

TEST(PrinterCodesTest, EveryOtherTypeTakesOposSequencesIncludingLowerCaseD) {
    for (const std::string type : {"O", "W", "", "d"}) {
        PrinterCodes codes;
        PR_LoadOposSetting(codes, type);
        EXPECT_EQ(codes.FontCode1, kEsc + "|1C") << type;
        EXPECT_EQ(codes.FontCode2, kEsc + "|2C") << type;
        EXPECT_EQ(codes.FontCode3, kEsc + "|3C") << type;
        EXPECT_EQ(codes.FontCode4, kEsc + "|4C") << type;
        EXPECT_EQ(codes.CodeColourOn, kEsc + "|rC") << type;
        EXPECT_EQ(codes.CodeColourOff, std::string("\x0b")) << type;
    }
}

TEST(PrinterCodesTest, DirectCodesAreTheSameForEveryType) {
    for (const std::string type : {"O", "D"}) {
        PrinterCodes codes;
        PR_LoadOposSetting(codes, type);
        EXPECT_EQ(codes.DirectFontCode1, Mode('\x00')) << type;
        EXPECT_EQ(codes.DirectFontCode2, Mode('\x10')) << type;
        EXPECT_EQ(codes.DirectFontCode3, Mode('\x20')) << type;
        EXPECT_EQ(codes.DirectFontCode4, Mode('\x30')) << type;
        EXPECT_EQ(codes.DirectColourOn, kEsc + "r\x01") << type;
        EXPECT_EQ(codes.DirectColourOff, kEsc + "r" + std::string(1, '\0')) << type;
    }
}

TEST(PrinterCodesTest, EveryCallSetsEveryCodeAfresh) {
    PrinterCodes codes;
    PR_LoadOposSetting(codes, "D");
    PR_LoadOposSetting(codes, "O");
    EXPECT_EQ(codes.FontCode2, kEsc + "|2C");
    EXPECT_EQ(codes.CodeColourOff, "\x0b");
    PR_LoadOposSetting(codes, "D");
    EXPECT_EQ(codes.FontCode2, Mode('\x10'));
}

TEST(PrinterCodesTest, SlotsOutsideOneToFourGiveSlotOne) {
    PrinterCodes codes;
    PR_LoadOposSetting(codes, "O");
    EXPECT_EQ(codes.FontCode(3), codes.FontCode3);
    EXPECT_EQ(codes.FontCode(4), codes.FontCode4);
    EXPECT_EQ(codes.FontCode(0), codes.FontCode1);
    EXPECT_EQ(codes.FontCode(7), codes.FontCode1);
    EXPECT_EQ(codes.DirectFontCode(2), codes.DirectFontCode2);
    EXPECT_EQ(codes.DirectFontCode(9), codes.DirectFontCode1);
}

}  // namespace
}  // namespace kps::test
