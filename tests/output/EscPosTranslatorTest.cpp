#include <gtest/gtest.h>

#include <string>

#include "output/EscPosTranslator.h"

namespace kps::test {
namespace {

using namespace std::string_literals;

TEST(EscPosTranslatorTest, JobStartSelectsTheCharacterTableOfTheCodePage) {
    EXPECT_EQ(EscPosTranslator(1252).JobStart(), "\x1b@\x1bt\x10"s);
    EXPECT_EQ(EscPosTranslator(437).JobStart(), "\x1b@\x1bt\x00"s);
    EXPECT_EQ(EscPosTranslator(850).JobStart(), "\x1b@\x1bt\x02"s);
}

TEST(EscPosTranslatorTest, OposSizesColoursAndCutBecomeEscPos) {
    EscPosTranslator t(1252);
    EXPECT_EQ(t.Translate("\x1b|1Ca\x1b|2Cb\x1b|3Cc\x1b|4Cd"),
              "\x1b!\x00"s
              "a\x1b!\x20"s
              "b\x1b!\x10"s
              "c\x1b!\x30"s
              "d");
    EXPECT_EQ(t.Translate("\x1b|rCNo salt\x0b\r\n"), "\x1br\x01No salt\x1br\x00\r\n"s);
    EXPECT_FALSE(t.LastCut());
    EXPECT_EQ(t.Translate("\x1b|fP"), "\x1dV\x42\x00"s);
    EXPECT_TRUE(t.LastCut());
    EXPECT_EQ(t.Translate("x"), "x");
    EXPECT_FALSE(t.LastCut());
}

TEST(EscPosTranslatorTest, CentringHoldsToTheEndOfItsLineAcrossPieces) {
    EscPosTranslator t(1252);
    EXPECT_EQ(t.Translate("\x1b|cA\x1b|4CTABLE 5\r\nnext\r\n"),
              "\x1b"
              "a\x01\x1b!\x30TABLE 5\r\n\x1b"
              "a\x00next\r\n"s);
    EXPECT_EQ(t.Translate("\x1b|cATitle"),
              "\x1b"
              "a\x01Title"s);
    EXPECT_EQ(t.Translate("\r\n"),
              "\r\n\x1b"
              "a\x00"s);
    EXPECT_EQ(t.Translate("plain\r\n"), "plain\r\n");
}

TEST(EscPosTranslatorTest, TextGoesOutInTheCodePage) {
    EXPECT_EQ(EscPosTranslator(1252).Translate("Caf\xc3\xa9 \xe2\x82\xac"), "Caf\xe9 \x80");
    EXPECT_EQ(EscPosTranslator(437).Translate("Caf\xc3\xa9 \xe2\x82\xac"), "Caf\x82 ?");
}

// Overlong ESC and '@' would reset the printer mid-ticket.
TEST(EscPosTranslatorTest, MalformedUtf8NeverBecomesACommand) {
    EXPECT_EQ(EscPosTranslator(1252).Translate("A\xC0\x9B\xC1\x80"
                                               "B\xE0\x80\x8A"
                                               "C\xED\xA0\x80"
                                               "D\xE2\x82"),
              "A??B?C?D?");
}

TEST(EscPosTranslatorTest, RawCommandsPassWithTheirParameters) {
    EscPosTranslator t(1252);
    // The parameter 0x0B of ESC ! is not the colour-off code, and 0xB8 is not text.
    EXPECT_EQ(t.Translate("\x1b!\x0bX\x1b"
                          "E\x01"s),
              "\x1b!\x0bX\x1b"
              "E\x01"s);
    EXPECT_EQ(t.Translate("\x1dV\x42\x10\x1b@"s), "\x1dV\x42\x10\x1b@"s);
    EXPECT_EQ(t.Translate("\x1b"
                          "a\x01"
                          "C\r\n"s),
              "\x1b"
              "a\x01"
              "C\r\n"s);
}

TEST(EscPosTranslatorTest, UnknownOrBrokenOposSequencesPrintNothingOfThemselves) {
    EscPosTranslator t(1252);
    EXPECT_EQ(t.Translate("a\x1b|9Cb\x1b|zzQc"), "abc");
    EXPECT_EQ(t.Translate("a\x1b|"), "a|");
    EXPECT_EQ(t.Translate("\x1b|bCbold\x1b|!bC"),
              "\x1b"
              "E\x01"
              "bold\x1b"
              "E\x00"s);
}

}  // namespace
}  // namespace kps::test
