#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "reprint/ReprintJournal.h"
#include "support/Fakes.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ReprintJournalTest : public ::testing::Test {
  protected:
    TempFolder folder;
    FakeClock clock;
    PrintLog log{folder.Path(), clock};
    std::string file = folder.File("state/reprint-journal");
};

TEST_F(ReprintJournalTest, WhatWasSentButNotMarkedSurvivesAKillUntilItIsMarked) {
    {
        ReprintJournal journal(file, log);
        journal.Load();
        journal.JobStarted(1, {"1", "2"});
        journal.JobStarted(2, {"3"});
        journal.JobStarted(3, {"4"});
        journal.JobUnsent(2);  // nothing of it left
        journal.ItemsMarked({"4"});
        journal.NoticeDelivered("7", "BAR1");
        // Killed here: nothing is closed or flushed beyond what was synced.
    }
    // A line cut short by the kill is ignored.
    WriteBytes(file, ReadBytes(file) + "S\t9\t99");
    ReprintJournal restarted(file, log);
    const auto left = restarted.Load();
    EXPECT_THAT(left.items, ElementsAre("1", "2"));
    EXPECT_THAT(left.deliveries,
                ElementsAre(std::make_pair(std::string("7"), std::string("BAR1"))));

    restarted.ItemsMarked({"1", "2"});
    restarted.NoticeDone("7");
    ReprintJournal again(file, log);
    const auto none = again.Load();
    EXPECT_THAT(none.items, IsEmpty());
    EXPECT_THAT(none.deliveries, IsEmpty());
}

TEST_F(ReprintJournalTest, ADeviceNameWithTheJournalsSeparatorsSurvivesARestart) {
    const std::string device = "BAR\t1\nA%09,B";
    const std::string copy = "notice 7 " + device;
    {
        ReprintJournal journal(file, log);
        journal.Load();
        journal.JobStarted(1, {copy});
        journal.NoticeDelivered("7", device);
    }
    ReprintJournal restarted(file, log);
    const auto left = restarted.Load();
    EXPECT_THAT(left.items, ElementsAre(copy));
    EXPECT_THAT(left.deliveries, ElementsAre(std::make_pair(std::string("7"), device)));
}

TEST_F(ReprintJournalTest, AJournalThatCannotBeWrittenIsLoggedOnce) {
    WriteBytes(folder.File("blocker"), "");
    ReprintJournal journal(folder.File("blocker/reprint-journal"), log);
    journal.Load();
    journal.JobStarted(1, {"1"});
    journal.JobStarted(2, {"2"});
    const std::string logText = ReadBytes(log.TodayFile());
    EXPECT_NE(logText.find("Error Reprint Journal"), std::string::npos);
    EXPECT_EQ(logText.find("Error Reprint Journal"), logText.rfind("Error Reprint Journal"));
}

}  // namespace
}  // namespace kps::test
