#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "reprint/ReprintJournal.h"

#include <sys/stat.h>

#include <filesystem>

#include "sending/WaitingItems.h"
#include "support/Fakes.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"
#include "support/TestDatabase.h"

namespace kps::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
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
    // An entry cut short by the kill is ignored.
    WriteBytes(file, ReadBytes(file) + "#9:1b2f");
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

// A full disk tears an entry; the next one written after it must survive,
// and the file that held the torn one is kept aside, not read again.
TEST_F(ReprintJournalTest, ATornEntryLosesOnlyItselfAndItsFileIsSetAside) {
    {
        ReprintJournal journal(file, log);
        journal.Load();
        journal.JobStarted(1, {"1"});
        journal.JobStarted(2, {"2"});
    }
    const std::string whole = ReadBytes(file);
    const std::size_t second = whole.find('#', 1);
    WriteBytes(file, whole.substr(0, second + (whole.size() - second) / 2));
    {
        ReprintJournal appending(file, log);  // appends without reading, as a live one does
        appending.JobStarted(3, {"3"});
    }
    ReprintJournal restarted(file, log);
    EXPECT_THAT(restarted.Load().items, ElementsAre("1", "3"));
    EXPECT_THAT(ReadBytes(log.TodayFile()), HasSubstr("reprint-journal' is damaged; set aside"));
    EXPECT_TRUE(std::filesystem::exists(file + ".damaged"));
    ReprintJournal again(file, log);
    EXPECT_THAT(again.Load().items, ElementsAre("1", "3"));
}

TEST_F(ReprintJournalTest, EachTurnBetweenFailingAndWorkingIsLoggedOnce) {
    const std::string state = folder.File("state");
    WriteBytes(state, "a file where the folder should be");
    ReprintJournal journal(file, log);
    journal.Load();
    journal.JobStarted(1, {"1"});  // still failing: not logged again
    std::filesystem::remove(state);
    std::filesystem::create_directory(state);
    journal.JobStarted(2, {"2"});
    journal.ItemsMarked({"1", "2"});  // starts the file afresh
    std::filesystem::remove_all(state);
    WriteBytes(state, "a file where the folder should be");
    journal.JobStarted(3, {"3"});
    journal.JobStarted(4, {"4"});
    const std::string text = ReadBytes(log.TodayFile());
    const auto count = [&](const std::string& what) {
        int n = 0;
        for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
            ++n;
        }
        return n;
    };
    EXPECT_EQ(count("Error Reprint Journal"), 2);
    EXPECT_EQ(count("is written again"), 1);
    EXPECT_LT(text.find("is written again"), text.rfind("Error Reprint Journal"));
}

TEST_F(ReprintJournalTest, AJournalStartedByItsFirstEntryIsItsOwnersAlone) {
    const std::string state = folder.File("state");
    WriteBytes(state, "a file where the folder should be");
    ReprintJournal journal(file, log);
    journal.Load();  // cannot start the file here
    std::filesystem::remove(state);
    std::filesystem::create_directory(state);
    journal.JobStarted(1, {"1"});
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
}

// An item another server marked, or that was removed, would otherwise keep
// its entry, and the file growing, for good.
TEST_F(ReprintJournalTest, CompactionDropsEntriesTheDatabaseShowsPrintedOrMissing) {
    TestDatabase database;
    database.Exec("INSERT INTO kelt_trs_printingdetails (ID, PrintStatus) VALUES (1, 1)");
    database.Exec("INSERT INTO kelt_trs_printingdetails (ID, PrintStatus) VALUES (2, 0)");
    {
        ReprintJournal journal(file, log);
        journal.SetWaitingCheck([&](const std::vector<std::string>& keys) {
            return StillWaiting(database.Db(), keys);
        });
        journal.Load();
        journal.JobStarted(1, {"1", "2", "3"});
        std::vector<std::string> others;
        for (int id = 100; id < 400; ++id) {
            others.push_back(std::to_string(id));
        }
        // Until the file shrinks: the journal compacts itself past its size.
        for (std::size_t size = 0, job = 2; ReadBytes(file).size() >= size && job < 1000; ++job) {
            size = ReadBytes(file).size();
            journal.JobStarted(job, others);
            journal.ItemsMarked(others);
        }
    }
    EXPECT_LT(ReadBytes(file).size(), 100u);
    ReprintJournal restarted(file, log);
    EXPECT_THAT(restarted.Load().items, ElementsAre("2"));
}

}  // namespace
}  // namespace kps::test
