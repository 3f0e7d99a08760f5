#include "reprint/ReprintStore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

#include "reprint/ReprintRequest.h"
#include "startup/StateRecord.h"
#include "support/Fakes.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

StoredTicket Ticket(int number) {
    const std::string n = std::to_string(number);
    return {{"\x1b|cA" + n, "Table " + n, "1 Rice\r\nline"},
            2,
            {n, "9" + n},
            {2026, 12, 7, 22, 5, number % 60},
            "T" + n,
            32 + number % 17};
}

class ReprintStoreTest : public ::testing::Test {
  protected:
    std::string LogText() const { return ReadBytes(log.TodayFile()); }

    TempFolder folder;
    FakeClock clock;
    PrintLog log{folder.Path(), clock};
    std::string state = folder.File("state");
};

TEST_F(ReprintStoreTest, TicketsSurviveARestartAndOnlyTheLastFiftyAreKept) {
    {
        ReprintStore store(state, log);
        for (int i = 1; i <= 52; ++i) {
            store.Remember("BAR 1/A", Ticket(i));
        }
        store.Remember("KITCHEN1", Ticket(7));
        store.Save();
    }
    ReprintStore reloaded(state, log);
    EXPECT_EQ(reloaded.Recent("BAR 1/A", 1), Ticket(52));
    EXPECT_EQ(reloaded.Recent("BAR 1/A", 50), Ticket(3));
    EXPECT_EQ(reloaded.Recent("BAR 1/A", 51), std::nullopt);
    EXPECT_EQ(reloaded.Recent("BAR 1/A", 0), std::nullopt);
    EXPECT_EQ(reloaded.Recent("KITCHEN1", 1), Ticket(7));
    EXPECT_EQ(reloaded.Recent("BAR2", 1), std::nullopt);
    const auto everything = reloaded.Everything();
    ASSERT_EQ(everything.at("BAR 1/A").size(), 50u);
    EXPECT_EQ(everything.at("BAR 1/A").front(), Ticket(52));
    EXPECT_EQ(everything.at("KITCHEN1"), std::vector<StoredTicket>{Ticket(7)});
    EXPECT_EQ(LogText(), "");
}

TEST_F(ReprintStoreTest, AFileWrittenBeforeTicketsKeptTheirKeyStillLoads) {
    StateRecordWriter record("kitchen-print-server reprint 1");
    record.Add("BAR1");
    record.Add(1LL);
    record.Add("2026-12-07 22:05:09");
    record.Add(1LL);
    record.Add(2LL);
    record.Add("HEAD");
    record.Add("1 Rice");
    record.Add(1LL);
    record.Add("17");
    std::filesystem::create_directories(state);
    WriteBytes(state + "/reprint-BAR1.tickets", record.Finish());

    ReprintStore store(state, log);
    EXPECT_EQ(store.Recent("BAR1", 1),
              (StoredTicket{{"HEAD", "1 Rice"}, 1, {"17"}, {2026, 12, 7, 22, 5, 9}, "", 40}));
}

TEST_F(ReprintStoreTest, TornOrChangedFileIsSetAsideWithOneLogLine) {
    {
        ReprintStore store(state, log);
        store.Remember("BAR1", Ticket(1));
        store.Remember("GRILL", Ticket(3));
        store.Remember("KITCHEN1", Ticket(2));
        store.Save();
    }
    const std::string torn = state + "/reprint-BAR1.tickets";
    WriteBytes(torn, ReadBytes(torn).substr(0, ReadBytes(torn).size() / 2));
    const std::string changed = state + "/reprint-GRILL.tickets";
    std::string bytes = ReadBytes(changed);
    bytes[bytes.find("Table 3")] = 'X';  // same length, one letter changed
    WriteBytes(changed, bytes);

    ReprintStore reloaded(state, log);
    EXPECT_EQ(reloaded.Recent("BAR1", 1), std::nullopt);
    EXPECT_EQ(reloaded.Recent("GRILL", 1), std::nullopt);
    EXPECT_EQ(reloaded.Recent("KITCHEN1", 1), Ticket(2));
    EXPECT_TRUE(std::filesystem::exists(torn + ".damaged"));
    EXPECT_TRUE(std::filesystem::exists(changed + ".damaged"));
    const std::string logged = LogText();
    EXPECT_NE(logged.find("reprint-BAR1.tickets' is damaged; set aside"), std::string::npos);
    EXPECT_NE(logged.find("reprint-GRILL.tickets' is damaged; set aside"), std::string::npos);

    ReprintStore again(state, log);
    EXPECT_EQ(LogText(), logged);
}

TEST_F(ReprintStoreTest, FolderThatCannotBeWrittenIsLoggedOnceAndTicketsAreStillKept) {
    WriteBytes(state, "a file where the folder should be");
    ReprintStore store(state, log);
    store.Remember("BAR1", Ticket(1));
    store.Save();
    store.Remember("BAR1", Ticket(2));
    store.Save();
    EXPECT_EQ(store.Recent("BAR1", 2), Ticket(1));
    const std::string text = LogText();
    const auto first = text.find("State folder cannot be written");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(text.find("State folder cannot be written", first + 1), std::string::npos);
}

TEST_F(ReprintStoreTest, RequestsAreTakenOnceInTheOrderWrittenAndATornOneIsSetAside) {
    WriteReprintRequest(state, "BAR1", 1);
    WriteReprintRequest(state, "KITCHEN 2", 3);
    const std::string torn = state + "/reprint-request-0-torn.request";
    WriteBytes(torn, "kitchen-print-server reprint req");
    EXPECT_EQ(TakeReprintRequests(state, log),
              (std::vector<ReprintRequestEntry>{{"BAR1", 1}, {"KITCHEN 2", 3}}));
    EXPECT_TRUE(TakeReprintRequests(state, log).empty());
    EXPECT_EQ(ReadBytes(torn + ".damaged"), "kitchen-print-server reprint req");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(state),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_NE(LogText().find("set aside as '" + torn + ".damaged'"), std::string::npos);
}

TEST_F(ReprintStoreTest, ARequestNobodyTookIsWithdrawnOnce) {
    const std::string request = WriteReprintRequest(state, "BAR1", 1);
    EXPECT_TRUE(WithdrawReprintRequest(request));
    EXPECT_FALSE(WithdrawReprintRequest(request)) << "gone: as if a server had taken it";
    EXPECT_TRUE(TakeReprintRequests(state, log).empty());
}

}  // namespace
}  // namespace kps::test
