#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <vector>

#include "fake-receipt-printer/FakeReceiptPrinter.h"
#include "output/EscPosNetworkPrinter.h"
#include "output/PosPrinterRegistry.h"
#include "sending/LaneJobRunner.h"
#include "support/NoticeTestFixture.h"

namespace kps::test {
namespace {

using ::testing::HasSubstr;

FakeReceiptPrinter::Options PrinterAt(const std::string& address) {
    FakeReceiptPrinter::Options options;
    options.address = address;
    return options;
}

// A server on a real outlet database: kitchen printer K1 is a network
// receipt printer on 127.0.0.4, BAR a direct port file; the HOT group flags
// both, and one table exchange waits for HOT.
class NoticeEndToEnd : public NoticeTestFixture, public ::testing::WithParamInterface<Backend> {
  protected:
    NoticeEndToEnd() : NoticeTestFixture(GetParam()) {
        std::ofstream(registry.File(), std::ios::binary)
            << "[K1]\r\nHost=127.0.0.4\r\nPort=" << kitchen.Port() << "\r\n";
        AddDevice(1, "K1", "O", "", "127.0.0.4");
        AddDevice(2, "BAR", "D");
        AddGroup("HOT", "OO");
        NoticeRow row{.id = 11, .group = "HOT", .from = "T1", .to = "T5"};
        row.remarks[0] = "Birthday";
        AddNotice(row);
    }

    FakeReceiptPrinter kitchen{PrinterAt("127.0.0.4")};
    PosPrinterRegistry registry{database.Folder() + "/PosPrinters.ini", 1252};
    EscPosNetworkPrinter network{registry, log};
    LaneJobRunner networkRunner{network, pinger, pause, log};
    InlinePrinterLanes serverLanes{networkRunner, networkRunner};
    TRDIVET serverDialog{serverSending, host, log, op};
    TicketSendingStep serverSending{ctx, serverLanes, serverDialog};
    KitchenNoticePass serverPass{ctx, dispatcher, serverSending};

    void ServerTick() {
        serverSending.SettleReports();
        serverPass.PrintKitchenNotices();
        clock.NextSecond();
    }
};

TEST_P(NoticeEndToEnd, NoticeReachesTheNetworkPrinterAndThePortAndIsMarkedPrinted) {
    ServerTick();

    ASSERT_TRUE(kitchen.WaitForJobs(1, std::chrono::seconds(5)));
    const std::string job = kitchen.Jobs().front().bytes;
    const std::string port = ReadBytes(PortPath("BAR.prn"));
    for (const char* text :
         {"*TABLE EXCHANGE*", "From -> T1", "To   -> T5", "Birthday", "07/12/2026 10:05:09 PM"}) {
        EXPECT_THAT(job, HasSubstr(text));
        EXPECT_THAT(port, HasSubstr(text));
    }
    ServerTick();
    EXPECT_EQ(PrintStatus(11), 1);
    EXPECT_EQ(LogText().find("Error Print Notice"), std::string::npos);

    // Printed once: the next pass finds nothing waiting.
    ServerTick();
    EXPECT_TRUE(ticket.PrtData.empty());
    EXPECT_EQ(kitchen.Jobs().size(), 1u);
    EXPECT_EQ(UpdatesOf(11), 1);
}

TEST_P(NoticeEndToEnd, PrinterThatRefusesOnceGetsTheNoticeLaterAndThePortOnlyOnce) {
    kitchen.SetRefusing(true);
    ServerTick();
    ServerTick();
    EXPECT_THAT(LogText(), HasSubstr("Error Print Notice 11 at 'K1'"));
    EXPECT_THAT(ReadBytes(PortPath("BAR.prn")), HasSubstr("From -> T1"));
    EXPECT_EQ(PrintStatus(11), 0);

    std::filesystem::remove(PortPath("BAR.prn"));
    kitchen.SetRefusing(false);
    ServerTick();
    ServerTick();
    ASSERT_EQ(kitchen.Jobs().size(), 1u);
    EXPECT_THAT(kitchen.Jobs().front().bytes, HasSubstr("From -> T1"));
    EXPECT_FALSE(std::filesystem::exists(PortPath("BAR.prn")));
    EXPECT_EQ(PrintStatus(11), 1);
}

std::vector<Backend> ReachableBackends() {
    std::vector<Backend> backends;
    for (Backend backend : {Backend::Sqlite, Backend::SqliteOdbc, Backend::Postgres}) {
        if (TestDatabase::IsAvailable(backend)) {
            backends.push_back(backend);
        }
    }
    return backends;
}

INSTANTIATE_TEST_SUITE_P(Backends, NoticeEndToEnd, ::testing::ValuesIn(ReachableBackends()),
                         [](const auto& info) { return BackendName(info.param); });

}  // namespace
}  // namespace kps::test
