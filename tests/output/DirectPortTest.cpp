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

// The whole framing is checked end to end; here the conversion and the
// replacement of an earlier ticket.
TEST_F(DirectPortTest, ReplacesTheFileAndConvertsTextButNotControlBytes) {
    const auto port = folder_.File("LPT1");
    WriteBytes(port, std::string(100, 'z'));
    ticket_.RTF = std::string("\x1b!\x00", 3) + "Caf\xc3\xa9\r\n";
    ticket_.PrintFailed = true;
    PrintDirectTicket(ticket_, port, 1252, log_, op_);

    const std::string body = std::string("\x1b!\x00", 3) + "Caf\xe9\r\n\r\n";
    EXPECT_EQ(ReadBytes(port), "\x1b@\r\n\x1b!0\r\n" + body + std::string("\x1dVB\x00", 4));
    EXPECT_FALSE(ticket_.PrintFailed);
    EXPECT_TRUE(op_.messages.empty());
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
