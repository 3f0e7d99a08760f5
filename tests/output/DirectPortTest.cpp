#include <gtest/gtest.h>

#include <filesystem>

#include "output/DirectPort.h"
#include "support/Fakes.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

class DirectPortTest : public ::testing::Test {
  protected:
    TempFolder folder_;
    FakeClock clock_;
    PrintLog log_{folder_.Path(), clock_};
    FakeOperator op_;
    TicketBuffers ticket_;
};

TEST_F(DirectPortTest, WritesInitialiseModeTextAndCut) {
    const auto port = folder_.File("LPT1");
    WriteBytes(port, std::string(100, 'z'));  // an earlier, longer ticket is replaced
    ticket_.RTF = "AB";
    ticket_.PrintFailed = true;
    PrintDirectTicket(ticket_, port, 1252, log_, op_);

    const std::string expected(
        "\x1b\x40\x0d\x0a\x1b\x21\x30\x0d\x0a\x41\x42\x0d\x0a\x1d\x56\x42\x00", 17);
    EXPECT_EQ(ReadBytes(port), expected);
    EXPECT_FALSE(ticket_.PrintFailed);
    EXPECT_TRUE(op_.messages.empty());
}

TEST_F(DirectPortTest, ConvertsTextToTheCodePageAndKeepsControlBytes) {
    const auto port = folder_.File("port.bin");
    ticket_.RTF = std::string("\x1b!\x00", 3) + "Caf\xc3\xa9\r\n";
    PrintDirectTicket(ticket_, port, 1252, log_, op_);

    const std::string bytes = ReadBytes(port);
    const std::string body = std::string("\x1b!\x00", 3) + "Caf\xe9\r\n\r\n";
    ASSERT_GE(bytes.size(), 9 + body.size());
    EXPECT_EQ(bytes.substr(9, body.size()), body);
    EXPECT_FALSE(ticket_.PrintFailed);
}

TEST_F(DirectPortTest, UnwritablePortFailsLogsAndTellsTheOperator) {
    const auto port = folder_.File("no-such-folder/LPT9");
    ticket_.RTF = "AB";
    PrintDirectTicket(ticket_, port, 1252, log_, op_);

    EXPECT_TRUE(ticket_.PrintFailed);
    EXPECT_FALSE(std::filesystem::exists(port));
    ASSERT_EQ(op_.messages.size(), 1u);
    EXPECT_EQ(op_.messages[0].text, "Printer Error !!!");
    EXPECT_EQ(op_.messages[0].caption, "Message");
    EXPECT_EQ(op_.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(op_.messages[0].buttons, MessageButtons::Ok);
    const std::string logged = ReadBytes(log_.TodayFile());
    EXPECT_NE(logged.find("Error Open direct Port " + port), std::string::npos) << logged;
}

}  // namespace
}  // namespace kps::test
