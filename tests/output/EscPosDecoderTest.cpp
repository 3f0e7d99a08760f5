#include <gtest/gtest.h>

#include <string>

#include "output/EscPosDecoder.h"

namespace kps::test {
namespace {

using namespace std::string_literals;

TEST(EscPosDecoderTest, ShowsEveryCommandAsAMarkAndTextAsLines) {
    const std::pair<std::string, std::string> cases[] = {
        // What the direct port writes for a ticket "AB".
        {"\x1b\x40\r\n\x1b\x21\x30\r\nAB\r\n\x1d\x56\x42\x00"s, "[init]\n[size 2x2]\nAB\n[cut]"},
        {"\x1b!\x00\x1b!\x10\x1b!\x20\x1b!\x30"s, "[size 1x1][size 2h][size 2w][size 2x2]"},
        // Bits other than the size (font B, emphasis) do not change the size.
        {"\x1b!\x39", "[size 2x2]"},
        {"\x1d!\x21\x1d!\x10", "[size 3x2][size 2w]"},
        {"\x1b"
         "a\x01"
         "A\x1b"
         "a\x00"
         "B"s,
         "[centre]A[left]B"},
        {"\x1b"
         "a1\x1b"
         "a0\x1b"
         "a2",
         "[centre][left][right]"},
        {"\x1br\x01Hot\x1br\x00"s, "[red]Hot[black]"},
        {"\x1dV\x00\x1dV\x01"s, "[cut][cut]"},
        {"\x1dV\x42\x00X"s, "[cut]X"},  // the feed byte is not text
        {"Caf\xe9 \x80", "Café €"},
        // Table 0 is code page 437, where 0x82 is é.
        {"\x1bt\x00\x82"s, "[codepage 0]é"},
        {"\x1bt\x10", "[codepage 16]"},
        {"A\r\nB\nC\rD\r\n", "A\nB\nC\nD\n"},
        {"\x10\x04\x01", "[status?]"},
        {"\x1dr\x01", "[transmit status 1?]"},
        {"\x1d(H\x06\x00\x30\x30"
         "1234"s,
         "[process id 1234]"},
        {"\x1b"
         "E\x01"
         "X\x0b",
         "[1B 45 01]X[0B]"},
        {"A\x1b!", "A[incomplete 1B 21]"},
        {"\x1d(H\x06\x00\x30"s, "[incomplete 1D 28 48 06 00 30]"},
        {"\x10", "[incomplete 10]"},
    };
    for (const auto& [bytes, shown] : cases) {
        EXPECT_EQ(DecodeEscPos(bytes), shown) << shown;
    }
}

}  // namespace
}  // namespace kps::test
