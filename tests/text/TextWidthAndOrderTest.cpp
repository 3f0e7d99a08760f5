#include <gtest/gtest.h>

#include <string>

#include "text/Text.h"

namespace kps::test {
namespace {

using namespace std::string_literals;

TEST(DisplayWidthTest, WideCharactersTakeTwoColumnsAndMarksNone) {
    EXPECT_EQ(DisplayWidth("Soup 2"), 6u);
    EXPECT_EQ(DisplayWidth("麻婆豆腐"), 8u);
    EXPECT_EQ(DisplayWidth("불고기"), 6u);
    EXPECT_EQ(DisplayWidth("Ａ"), 2u);
    EXPECT_EQ(DisplayWidth("ｶﾚｰ"), 3u);  // half-width katakana
    EXPECT_EQ(DisplayWidth("e\u0301"), 1u);
    EXPECT_EQ(DisplayWidth("ต้มยำ"), 4u);  // the tone mark sits on its consonant
}

TEST(CodePageTest, PagesComeFromTheLibraryAndWindowsUndefinedBytesStay) {
    EXPECT_EQ(ToCodePage("Борщ", 866), "\x81\xAE\xE0\xE9");
    EXPECT_EQ(FromCodePage("\x81\xAE\xE0\xE9", 866), "Борщ");
    EXPECT_EQ(ToCodePage("Żurek", 852), "\xBDurek");
    EXPECT_EQ(ToCodePage("\u0081\u008D\u008F\u0090\u009D", 1252), "\x81\x8D\x8F\x90\x9D");
    EXPECT_EQ(FromCodePage("\x81\x8D\x8F\x90\x9D", 1252), "\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(ToCodePage("€ é 麻", 1252), "\x80 \xE9 ?");
    EXPECT_EQ(FromCharset("\xC2\xE9\xC6\xC5"s, "GB18030"), "麻婆");
}

TEST(VisualOrderTest, RightToLeftRunsTurnAroundTheirNumbersAndTheLineStaysLeftToRight) {
    // "2 שניצל 150": the number belongs to the Hebrew run it follows.
    EXPECT_EQ(VisualOrder("2 \u05E9\u05E0\u05D9\u05E6\u05DC 150"),
              "2 150 \u05DC\u05E6\u05D9\u05E0\u05E9");
    // "1 شاي 20"
    EXPECT_EQ(VisualOrder("1 \u0634\u0627\u064A 20"), "1 20 \u064A\u0627\u0634");
    EXPECT_EQ(VisualOrder("Soup (2)"), "Soup (2)");
    EXPECT_TRUE(HasRightToLeft("\u05E9"));
    EXPECT_FALSE(HasRightToLeft("麻婆 é"));
}

}  // namespace
}  // namespace kps::test
