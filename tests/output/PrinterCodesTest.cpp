#include <gtest/gtest.h>

#include "output/PrinterCodes.h"

namespace kps::test {
namespace {

const std::string kEsc = "\x1b";

std::string Mode(char byte) {
    return kEsc + "!" + std::string(1, byte);
}

TEST(PrinterCodesTest, DirectPortTakesEscPosAndEveryOtherTypeOposSequences) {
    const std::string escPos[] = {Mode('\x00'), Mode('\x10'),   Mode('\x20'),
                                  Mode('\x30'), kEsc + "r\x01", kEsc + "r" + std::string(1, '\0')};
    const std::string opos[] = {kEsc + "|1C", kEsc + "|2C", kEsc + "|3C",
                                kEsc + "|4C", kEsc + "|rC", "\x0b"};
    PrinterCodes codes;
    // Each call sets every code afresh, so the types run on one object.
    for (const std::string type : {"D", "O", "W", "", "d", "D"}) {
        PR_LoadOposSetting(codes, type);
        const auto& want = type == "D" ? escPos : opos;
        EXPECT_EQ(codes.FontCode1, want[0]) << type;
        EXPECT_EQ(codes.FontCode2, want[1]) << type;
        EXPECT_EQ(codes.FontCode3, want[2]) << type;
        EXPECT_EQ(codes.FontCode4, want[3]) << type;
        EXPECT_EQ(codes.CodeColourOn, want[4]) << type;
        EXPECT_EQ(codes.CodeColourOff, want[5]) << type;
        // The direct codes, centre and cut are the same whatever the type.
        EXPECT_EQ(codes.DirectFontCode1, escPos[0]) << type;
        EXPECT_EQ(codes.DirectFontCode2, escPos[1]) << type;
        EXPECT_EQ(codes.DirectFontCode3, escPos[2]) << type;
        EXPECT_EQ(codes.DirectFontCode4, escPos[3]) << type;
        EXPECT_EQ(codes.DirectColourOn, escPos[4]) << type;
        EXPECT_EQ(codes.DirectColourOff, escPos[5]) << type;
        EXPECT_EQ(codes.CodeCentre, kEsc + "|cA") << type;
        EXPECT_EQ(codes.CodeFeedCut, kEsc + "|fP") << type;
    }
}

TEST(PrinterCodesTest, SlotsOutsideOneToFourGiveSlotOne) {
    PrinterCodes codes;
    PR_LoadOposSetting(codes, "O");
    EXPECT_EQ(codes.FontCode(4), codes.FontCode4);
    EXPECT_EQ(codes.FontCode(0), codes.FontCode1);
    EXPECT_EQ(codes.FontCode(7), codes.FontCode1);
    EXPECT_EQ(codes.DirectFontCode(2), codes.DirectFontCode2);
    EXPECT_EQ(codes.DirectFontCode(9), codes.DirectFontCode1);
}

}  // namespace
}  // namespace kps::test
