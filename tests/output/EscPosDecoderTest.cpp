#include <gtest/gtest.h>

#include <string>

#include "fake-receipt-printer/EscPosDecoder.h"

namespace kps::test {
namespace {

using namespace std::string_literals;

TEST(EscPosDecoderTest, ShowsTheDirectPortTicketAsMarkedLines) {
    // What the direct port writes for a ticket "AB".
    EXPECT_EQ(DecodeEscPos("\x1b\x40\r\n\x1b\x21\x30\r\nAB\r\n\x1d\x56\x42\x00"s),
              "[init]\n[size 2x2]\nAB\n[cut]");
}

TEST(EscPosDecoderTest, MarksEveryPrintModeSize) {
    EXPECT_EQ(DecodeEscPos("\x1b!\x00"s), "[size 1x1]");
    EXPECT_EQ(DecodeEscPos("\x1b!\x10"), "[size 2h]");
    EXPECT_EQ(DecodeEscPos("\x1b!\x20"), "[size 2w]");
    EXPECT_EQ(DecodeEscPos("\x1b!\x30"), "[size 2x2]");
    // Bits other than the size (font B, emphasis) do not change the size.
    EXPECT_EQ(DecodeEscPos("\x1b!\x39"), "[size 2x2]");
    EXPECT_EQ(DecodeEscPos("\x1d!\x21"), "[size 3x2]");
    EXPECT_EQ(DecodeEscPos("\x1d!\x10"), "[size 2w]");
}

TEST(EscPosDecoderTest, MarksAlignmentColourAndCodePage) {
    EXPECT_EQ(DecodeEscPos("\x1b"
                           "a\x01"
                           "A\x1b"
                           "a\x00"
                           "B"s),
              "[centre]A[left]B");
    EXPECT_EQ(DecodeEscPos("\x1b"
                           "a1\x1b"
                           "a0\x1b"
                           "a2"),
              "[centre][left][right]");
    EXPECT_EQ(DecodeEscPos("\x1br\x01Hot\x1br\x00"s), "[red]Hot[black]");
    EXPECT_EQ(DecodeEscPos("\x1bt\x10"), "[codepage 16]");
}

TEST(EscPosDecoderTest, MarksEveryCutForm) {
    EXPECT_EQ(DecodeEscPos("\x1dV\x00"s), "[cut]");
    EXPECT_EQ(DecodeEscPos("\x1dV\x01"), "[cut]");
    EXPECT_EQ(DecodeEscPos("\x1dV\x42\x00X"s), "[cut]X");  // the feed byte is not text
}

TEST(EscPosDecoderTest, ConvertsTextFromTheSelectedCodePage) {
    EXPECT_EQ(DecodeEscPos("Caf\xe9 \x80"), "Café €");
    // Table 0 is code page 437, where 0x82 is é.
    EXPECT_EQ(DecodeEscPos("\x1bt\x00\x82"s), "[codepage 0]é");
}

TEST(EscPosDecoderTest, CountsCrLfAsOneLineEnd) {
    EXPECT_EQ(DecodeEscPos("A\r\nB\nC\rD"), "A\nB\nC\nD");
    EXPECT_EQ(DecodeEscPos("\r\n\r\n"), "\n\n");
}

TEST(EscPosDecoderTest, ShowsQueriesAndUnknownBytes) {
    EXPECT_EQ(DecodeEscPos("\x10\x04\x01"), "[status?]");
    EXPECT_EQ(DecodeEscPos("\x1d(H\x06\x00\x30\x30"
                           "1234"s),
              "[process id 1234]");
    EXPECT_EQ(DecodeEscPos("\x1b"
                           "E\x01"
                           "X"),
              "[1B 45 01]X");
    EXPECT_EQ(DecodeEscPos("\x0b"), "[0B]");
}

TEST(EscPosDecoderTest, ShowsACommandCutOffAtTheEnd) {
    EXPECT_EQ(DecodeEscPos("A\x1b!"), "A[incomplete 1B 21]");
    EXPECT_EQ(DecodeEscPos("\x1d(H\x06\x00\x30"s), "[incomplete 1D 28 48 06 00 30]");
    EXPECT_EQ(DecodeEscPos("\x10"), "[incomplete 10]");
}

}  // namespace
}  // namespace kps::test
