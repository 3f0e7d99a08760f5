#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>

#include "output/DirectPort.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

// The whole framing is checked end to end; here the conversion and the
// replacement of an earlier ticket.
TEST(DirectPortTest, ReplacesTheFileAndConvertsTextButNotControlBytes) {
    TempFolder folder;
    const auto port = folder.File("LPT1");
    WriteBytes(port, std::string(100, 'z'));
    const std::string text = std::string("\x1b!\x00", 3) + "Caf\xc3\xa9\r\n";
    EXPECT_EQ(WriteDirectPort(port, DirectTicketBytes(text, 1252)), PrintFault::None);

    const std::string body = std::string("\x1b!\x00", 3) + "Caf\xe9\r\n\r\n";
    EXPECT_EQ(ReadBytes(port), "\x1b@\r\n\x1b!0\r\n" + body + std::string("\x1dVB\x00", 4));
}

TEST(DirectPortTest, ANewPortFileIsForTheServerAndItsGroupOnly) {
    TempFolder folder;
    const auto port = folder.File("kitchen.prn");
    const mode_t umask = ::umask(0);  // so the mode is the one the server asks for
    const PrintFault fault = WriteDirectPort(port, "AB");
    ::umask(umask);
    ASSERT_EQ(fault, PrintFault::None);
    struct stat info {};
    ASSERT_EQ(::stat(port.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0660u);
}

TEST(DirectPortTest, MissingPortAndAPipeNobodyReadsFailWithinTheLimit) {
    TempFolder folder;
    EXPECT_EQ(WriteDirectPort(folder.File("no-such-folder/LPT9"), "AB"),
              PrintFault::PortNotWritable);
    EXPECT_FALSE(std::filesystem::exists(folder.File("no-such-folder/LPT9")));

    // A named pipe without a reader would block an ordinary open for ever.
    const auto pipe = folder.File("lp0");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(WriteDirectPort(pipe, "AB", std::chrono::milliseconds(100)),
              PrintFault::PortNotWritable);
}

}  // namespace
}  // namespace kps::test
