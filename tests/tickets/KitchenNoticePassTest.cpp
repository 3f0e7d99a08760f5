#include <gtest/gtest.h>

#include <set>

#include <algorithm>
#include <filesystem>

#include "support/NoticeTestFixture.h"

namespace kps::test {
namespace {

class KitchenNoticePassTest : public NoticeTestFixture {
  protected:
    long OpensOf(const std::string& name) const {
        return std::count(posPrinter.calls.begin(), posPrinter.calls.end(), "Open " + name);
    }
    bool LogHas(const std::string& text) const { return LogText().find(text) != std::string::npos; }
};

TEST_F(KitchenNoticePassTest, WithoutNoticesTheGridIsEmptiedAndNothingHappens) {
    AddDevice(1, "KITCHEN1", "O");
    ticket.PrtData.assign(3, std::vector<std::string>(15, "old"));

    pass.PrintKitchenNotices();

    EXPECT_TRUE(ticket.PrtData.empty());
    EXPECT_TRUE(posPrinter.calls.empty());
    EXPECT_TRUE(db.executed.empty());
    EXPECT_TRUE(window.captions.empty());
}

TEST_F(KitchenNoticePassTest, NoticeGoesToEveryFlaggedDeviceInCodeOrderAndIsMarkedOnce) {
    AddDevice(1, "KITCHEN1", "O", "", "127.0.0.1");
    AddDevice(2, "KITCHEN2", "O", "", "127.0.0.2");
    AddDevice(3, "KITCHEN3", "O", "", "127.0.0.3");
    AddGroup("HOT", "OXO");
    AddNotice({.id = 7, .group = "HOT"});

    Tick();
    EXPECT_EQ(PrintStatus(7), 0);  // until the lanes report
    Tick();

    EXPECT_EQ(OpensOf("KITCHEN1"), 1);
    EXPECT_EQ(OpensOf("KITCHEN2"), 0);
    EXPECT_EQ(OpensOf("KITCHEN3"), 1);
    EXPECT_EQ(pinger.pinged, (std::vector<std::string>{"127.0.0.1", "127.0.0.3"}));
    const std::vector<std::string> captions = {
        "Sending to Printer 'KITCHEN1'", "Sending to Printer 'KITCHEN3'",
        "Last Printed on 07/12/2026 22:05:09", "Last Printed on 07/12/2026 22:05:09"};
    EXPECT_EQ(window.captions, captions);
    EXPECT_EQ(device.PrinterGroupCode, "HOT");
    EXPECT_EQ(UpdatesOf(7), 1);
    EXPECT_EQ(db.executed.size(), 1u);
    EXPECT_EQ(PrintStatus(7), 1);
}

TEST_F(KitchenNoticePassTest, NoticesNoDeviceCanTakeWaitAndAreLoggedOnce) {
    AddDevice(1, "KITCHEN1", "O");
    AddDevice(2, "LOWER", "w");  // no printing type of ours: it refuses the notice
    AddGroup("COLD", "oXO");     // and position 3 names no device row
    AddGroupWithNullFlags("NONE");
    AddGroup("ODD", "-O");
    AddNotice({.id = 1, .group = "COLD"});
    AddNotice({.id = 2, .group = "NONE"});
    AddNotice({.id = 3, .group = "MISSING"});
    AddNotice({.id = 4, .group = "ODD"});

    Tick();
    Tick();

    EXPECT_TRUE(posPrinter.calls.empty());
    EXPECT_TRUE(window.captions.empty());
    const std::string logText = LogText();
    for (long id : {1, 2, 4}) {
        EXPECT_EQ(UpdatesOf(id), 0) << id;
        const std::string line = "Notice " + std::to_string(id) + " has no printer\r\n";
        EXPECT_NE(logText.find(line), std::string::npos) << id;
        EXPECT_EQ(logText.find(line), logText.rfind(line)) << id;
    }
    EXPECT_EQ(PrintStatus(3), 0);
    EXPECT_EQ(logText.find("Notice 3 has no printer group"),
              logText.rfind("Notice 3 has no printer group"));
    EXPECT_NE(logText.find("Notice 3 has no printer group"), std::string::npos);
}

TEST_F(KitchenNoticePassTest, GridRowHoldsTheFormattedNotice) {
    AddGroup("HOT", "");
    NoticeRow row{.id = 4, .group = "HOT", .from = "T1", .to = ""};
    row.remarks[0] = "Birthday";
    row.remarks[2] = "Cake later";
    row.date = "2026-01-02";
    row.time = "00:07:08";
    AddNotice(row);

    pass.PrintKitchenNotices();

    ASSERT_EQ(ticket.PrtData.size(), 1u);
    std::vector<std::string> expected(15);
    expected[1] = "Birthday";
    expected[3] = "Cake later";
    expected[6] = "T1";
    expected[8] = "02/01/2026";
    expected[9] = "12:07:08 AM";
    EXPECT_EQ(ticket.PrtData[0], expected);
}

TEST_F(KitchenNoticePassTest, TwoNoticesUseRowsZeroAndOneAndTheNextPassStartsAgain) {
    AddDevice(1, "KITCHEN1", "O");
    AddGroup("HOT", "O");
    AddNotice({.id = 1, .group = "HOT", .from = "A1", .to = "A2"});
    AddNotice({.id = 2, .group = "HOT", .from = "B1", .to = "B2", .time = "12:30:00"});

    Tick();

    ASSERT_EQ(ticket.PrtData.size(), 2u);
    EXPECT_EQ(ticket.PrtData[0][6], "A1");
    EXPECT_EQ(ticket.PrtData[1][6], "B1");
    EXPECT_EQ(ticket.PrtData[1][9], "12:30:00 PM");
    // Each ticket was composed from its own row.
    const auto printed = posPrinter.Printed();
    EXPECT_EQ(std::count(printed.begin(), printed.end(), "\x1b|4CFrom -> A1\r\n"), 1);
    EXPECT_EQ(std::count(printed.begin(), printed.end(), "\x1b|4CFrom -> B1\r\n"), 1);

    AddNotice({.id = 3, .group = "HOT", .from = "C1", .to = "C2"});
    posPrinter.calls.clear();
    Tick();

    EXPECT_EQ(PrintStatus(1), 1);
    EXPECT_EQ(PrintStatus(2), 1);
    ASSERT_EQ(ticket.PrtData.size(), 1u);
    EXPECT_EQ(ticket.PrtData[0][6], "C1");
    EXPECT_EQ(OpensOf("KITCHEN1"), 1);
    EXPECT_EQ(UpdatesOf(1), 1);
    Tick();
    EXPECT_EQ(UpdatesOf(3), 1);
}

TEST_F(KitchenNoticePassTest, CancelledPrinterStillReceivesNotices) {
    AddDevice(1, "KITCHEN1", "O");
    AddGroup("HOT", "O");
    AddNotice({.id = 1, .group = "HOT"});
    divert.CancelledPrinters = {"KITCHEN1"};

    Tick();
    Tick();

    EXPECT_EQ(OpensOf("KITCHEN1"), 1);
    EXPECT_FALSE(posPrinter.Printed().empty());
    EXPECT_EQ(PrintStatus(1), 1);
    EXPECT_EQ(divert.CancelledPrinters, std::set<std::string>{"KITCHEN1"});
}

TEST_F(KitchenNoticePassTest, NoticeWaitsForEveryDeviceAndNoDeviceGetsItTwice) {
    AddDevice(1, "KITCHEN1", "O", "", "127.0.0.7");
    AddDevice(2, "BAR", "D", database.Folder() + "/no/such/folder/port");
    AddDevice(3, "PASS", "W");
    AddDevice(4, "GOOD", "D");
    systemPrinter.names = {"PASS"};
    systemPrinter.endSucceeds = false;
    pinger.reachable = {"127.0.0.1"};
    AddGroup("HOT", "OOOO");
    AddNotice({.id = 9, .group = "HOT"});

    Tick();
    Tick();

    EXPECT_TRUE(LogHas("Error Print Notice 9 at 'KITCHEN1'"));
    EXPECT_TRUE(LogHas("Error Print Notice 9 at 'BAR'"));
    EXPECT_TRUE(LogHas("Error Print Notice 9 at 'PASS'"));
    EXPECT_FALSE(LogHas("at 'GOOD'"));
    EXPECT_NE(ReadBytes(PortPath("GOOD.prn")).find("*TABLE EXCHANGE*"), std::string::npos);
    EXPECT_EQ(PrintStatus(9), 0);

    // The printers come back: each one that missed it gets it, once.
    std::filesystem::remove(PortPath("GOOD.prn"));
    pinger.reachable = {"127.0.0.7"};
    systemPrinter.endSucceeds = true;
    clock.Set({2026, 12, 7, 22, 10, 0});  // past the failed system printer's back-off
    UpdateDevicePort(2, PortPath("BAR.prn"));
    Tick();
    Tick();
    EXPECT_EQ(PrintStatus(9), 1);
    EXPECT_EQ(UpdatesOf(9), 1);
    EXPECT_EQ(OpensOf("KITCHEN1"), 1);  // unreachable before: never opened
    EXPECT_FALSE(std::filesystem::exists(PortPath("GOOD.prn")));
    EXPECT_NE(ReadBytes(PortPath("BAR.prn")).find("*TABLE EXCHANGE*"), std::string::npos);
}

}  // namespace
}  // namespace kps::test
