#include <gtest/gtest.h>

#include <filesystem>

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

}  // namespace
}  // namespace kps::test
