#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "startup/PrintLog.h"
#include "support/Fakes.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

namespace fs = std::filesystem;

class PrintLogTest : public ::testing::Test {
  protected:
    TempFolder folder_;
    FakeClock clock_;  // 7 December 2026, 22:05:09
    PrintLog log_{folder_.Path(), clock_};
    fs::path file_ = folder_.File("LOG/Prt_07122026.Log");
};

TEST_F(PrintLogTest, FirstLineCreatesFolderAndDayFileAndANewDayStartsANewFile) {
    log_.WriteLog("Error Open 'KITCHEN1'");
    EXPECT_EQ(log_.TodayFile(), file_.string());
    clock_.Set({2026, 12, 7, 23, 59, 59});
    log_.WriteLog("Retry Printing at 'KITCHEN1'");
    clock_.Set({2027, 1, 8, 0, 0, 1});
    log_.WriteLog("Shut Down Print Server");

    EXPECT_EQ(ReadBytes(file_.string()),
              "07/12/26 22:05:09 Error Open 'KITCHEN1'\r\n"
              "07/12/26 23:59:59 Retry Printing at 'KITCHEN1'\r\n");
    EXPECT_EQ(ReadBytes(folder_.File("LOG/Prt_08012027.Log")),
              "08/01/27 00:00:01 Shut Down Print Server\r\n");
}

TEST_F(PrintLogTest, EmptyMessageMayCreateTheFolderButWritesNoFile) {
    log_.WriteLog("");
    EXPECT_TRUE(fs::is_directory(folder_.File("LOG")));
    EXPECT_TRUE(fs::is_empty(folder_.File("LOG")));
}

TEST_F(PrintLogTest, MessageIsWrittenInTheCodePage) {
    PrintLog log850(folder_.Path(), clock_, 850);
    log850.WriteLog("Error Open Printer 'Caf\xC3\xA9'");
    EXPECT_EQ(ReadBytes(file_.string()), "07/12/26 22:05:09 Error Open Printer 'Caf\x82'\r\n");
}

TEST_F(PrintLogTest, ControlCharactersCannotBreakALineOrForgeOne) {
    std::ostringstream journal;
    PrintLog log(folder_.Path(), clock_, 1252, &journal);
    log.WriteLog("Reprint 'K1\n<0>forged\x1b' on request");
    EXPECT_EQ(ReadBytes(file_.string()),
              "07/12/26 22:05:09 Reprint 'K1\\x0A<0>forged\\x1B' on request\r\n");
    EXPECT_EQ(journal.str(), "<5>Reprint 'K1\\x0A<0>forged\\x1B' on request\n");
}

TEST_F(PrintLogTest, FailuresAreSwallowed) {
    const fs::path missing = folder_.File("missing");
    PrintLog lost(missing.string(), clock_);
    EXPECT_NO_THROW(lost.WriteLog("Error Update Transaction"));
    EXPECT_FALSE(fs::exists(missing));

    // A folder where the day's file should be: the line is lost quietly.
    fs::create_directories(file_);
    EXPECT_NO_THROW(log_.WriteLog("Error Update Transaction"));
    EXPECT_TRUE(fs::is_directory(file_));
}

// Every line reaches the journal with its priority, also when the log folder
// cannot be written; that is said once.
TEST_F(PrintLogTest, LinesGoToTheJournalWithTheirPriorityWhenTheFileCannotBeWritten) {
    std::ostringstream journal;
    PrintLog lost(folder_.File("missing"), clock_, 1252, &journal);
    for (const char* message :
         {"Error Open 'BAR1'", "Retry Printing at 'BAR1'", "Printing Success divert to 'BAR2'",
          "Cancel Printing at printer 'BAR1'", "Warning: no journal table",
          "Shut Down Print Server"}) {
        lost.WriteLog(message);
    }
    EXPECT_EQ(journal.str(), "<3>The print log cannot be written in " + folder_.File("missing") +
                                 "/LOG (No such file or directory); its lines go only here.\n"
                                 "<3>Error Open 'BAR1'\n"
                                 "<4>Retry Printing at 'BAR1'\n"
                                 "<4>Printing Success divert to 'BAR2'\n"
                                 "<4>Cancel Printing at printer 'BAR1'\n"
                                 "<4>Warning: no journal table\n"
                                 "<5>Shut Down Print Server\n");
}

// Day files older than the kept days go, judged by the name; nothing else.
TEST_F(PrintLogTest, OldDayFilesAreRemovedByTheDateInTheirName) {
    fs::create_directories(folder_.File("LOG"));
    for (const char* name : {"Prt_07092026.Log", "Prt_08092026.Log", "Prt_31122025.Log",
                             "Prt_01012020.txt", "notes.Log", "Prt_99992020.Log"}) {
        WriteBytes(folder_.File(std::string("LOG/") + name), "");
    }
    PrintLog keep90(folder_.Path(), clock_, 1252, nullptr, 90);
    keep90.WriteLog("Shut Down Print Server");

    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder_.File("LOG"))) {
        left.push_back(entry.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left,
              (std::vector<std::string>{"Prt_01012020.txt", "Prt_07122026.Log", "Prt_08092026.Log",
                                        "Prt_99992020.Log", "notes.Log"}));

    PrintLog keepAll(folder_.Path(), clock_, 1252, nullptr, 0);
    clock_.Set({2030, 1, 1, 0, 0, 0});
    keepAll.RemoveOldFiles();
    EXPECT_TRUE(fs::exists(folder_.File("LOG/Prt_08092026.Log")));
}

}  // namespace
}  // namespace kps::test
