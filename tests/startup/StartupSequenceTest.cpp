#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>

#include "startup/EncryptText.h"
#include "startup/StartupSequence.h"
#include "support/Fakes.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"
#include "support/TestDatabase.h"
#include "text/KpsError.h"

namespace kps::test {
namespace {

using Outcome = StartupResult::Outcome;

class StartupSequenceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::mt19937 rng(42);
        WriteBytes(ini_,
                   "[GeneralSetup]\r\nServerName=local\r\nDatabaseName=orders.db\r\nUserID=kps\r\n"
                   "Password=" +
                       EncryptText("s3cret", rng) + "\r\nDrivePath=" + db_.Folder() +
                       "\r\n[COMPANYSETTINGS]\r\nsystemtype=HQ\r\nOutletCode=OUT1\r\n"
                       "[PrintServer]\r\nDatabase=SQLite\r\n");
        db_.Exec("INSERT INTO Kelt_mt_Outlet (OutletCode, RefOutlet) VALUES ('OUT0', 'X')");
        db_.Exec("INSERT INTO Kelt_mt_Outlet (OutletCode, RefOutlet) VALUES ('OUT1', 'XOX')");
        WriteBytes(db_.Folder() + "/Grill.ini", "");
        int code = 0;
        for (const std::string name : {"Grill", "Bar"}) {
            db_.Exec("INSERT INTO Kelt_mt_Device (DeviceCode, DeviceName, WP_FileName) VALUES (" +
                     std::to_string(++code) + ", '" + name + "', '" + db_.Folder() + "/" + name +
                     ".ini')");
        }
        AddGroup("'HOT', 'OX'");
    }

    void AddGroup(const std::string& values) {
        db_.Exec("INSERT INTO Kelt_mt_PrinterGroup (PrinterGroupCode, RefPrinterGroup) VALUES (" +
                 values + ")");
    }

    TestDatabase db_;
    std::string ini_ = db_.Folder() + "/GSetup.ini";
    std::string state_ = db_.Folder() + "/LOG";  // no StateFolder: beside the print log
    FakeOperator op_;
};

TEST_F(StartupSequenceTest, GoodSettingsAndLayoutsLeaveTheServerRunning) {
    StartupResult result = RunStartup(ini_, op_);

    EXPECT_TRUE(op_.messages.empty());
    ASSERT_EQ(result.outcome, Outcome::Running);
    EXPECT_EQ(result.exitStatus, kExitNormal);
    ASSERT_NE(result.db, nullptr);
    EXPECT_EQ(result.db->Query("SELECT OutletCode FROM Kelt_mt_Outlet").rows.size(), 2u);
    EXPECT_EQ(result.RefOutlet, "XOX");
    EXPECT_EQ(result.setup.Password, "s3cret");
    EXPECT_EQ(result.setup.DrivePath, db_.Folder());
    ASSERT_NE(result.lock, nullptr);
    EXPECT_EQ(SingleInstance::TryAcquire(state_), nullptr);
    // Nothing is logged while starting; the state folder holds only the lock.
    for (const auto& entry : std::filesystem::directory_iterator(state_)) {
        EXPECT_EQ(entry.path().string(), result.lock->LockFile());
    }
}

TEST_F(StartupSequenceTest, SecondCopyOnlySaysItIsAlreadyStarted) {
    std::filesystem::create_directory(state_);
    auto running = SingleInstance::TryAcquire(state_);
    ASSERT_NE(running, nullptr);

    StartupResult result = RunStartup(ini_, op_, std::cerr, std::chrono::milliseconds(0));

    ASSERT_EQ(op_.messages.size(), 1u);
    EXPECT_EQ(op_.messages[0].text, "Print Server Already Started.");
    EXPECT_EQ(op_.messages[0].caption, "Message");
    EXPECT_EQ(op_.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(op_.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(result.outcome, Outcome::AlreadyRunning);
    EXPECT_EQ(result.exitStatus, kExitAlreadyRunning);
    EXPECT_EQ(result.db, nullptr);
}

TEST_F(StartupSequenceTest, MissingLayoutFileEndsStartUpNamingTheDeviceAndTheFolders) {
    AddGroup("'BAR', 'XO'");

    std::ostringstream diagnostics;
    StartupResult result = RunStartup(ini_, op_, diagnostics);

    ASSERT_EQ(op_.messages.size(), 1u);
    EXPECT_EQ(op_.messages[0].text, "No Kitchen Files Select for Device : Bar,");
    EXPECT_EQ(op_.messages[0].caption, "Print Server Message");
    EXPECT_EQ(op_.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(result.outcome, Outcome::MissingLayouts);
    EXPECT_EQ(result.exitStatus, kExitMissingLayouts);
    EXPECT_EQ(result.db, nullptr);
    EXPECT_NE(SingleInstance::TryAcquire(state_), nullptr);  // the ended copy holds no lock
    EXPECT_EQ(diagnostics.str(), "<3>Layout files were looked for in the current folder (" +
                                     std::filesystem::current_path().string() + ") and then in " +
                                     db_.Folder() + ".\n");
}

TEST_F(StartupSequenceTest, ErrorsEndStartUpWithTheFatalErrorReport) {
    AddGroup("'VOID', NULL");

    StartupResult result = RunStartup(ini_, op_);

    ASSERT_EQ(op_.messages.size(), 1u);
    EXPECT_EQ(op_.messages[0].icon, MessageIcon::Critical);
    EXPECT_NE(op_.messages[0].text.find("Run-time error '94'"), std::string::npos);
    EXPECT_NE(op_.messages[0].text.find("'VOID'"), std::string::npos);
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(result.exitStatus, kExitFatalError);
    EXPECT_EQ(result.db, nullptr);
    EXPECT_EQ(result.lock, nullptr);
}

TEST_F(StartupSequenceTest, NoSettingsFileShowsNoIniThenTheFailedConnection) {
    // Empty settings name no server at all, so the driver refuses at once.
    TempFolder folder;
    StartupResult result = RunStartup(folder.File("GSetup.ini"), op_);

    ASSERT_EQ(op_.messages.size(), 2u);
    EXPECT_EQ(op_.messages[0].text, "No Ini !!");
    EXPECT_EQ(op_.messages[1].icon, MessageIcon::Critical);
    EXPECT_EQ(op_.messages[1].text.rfind("Run-time error '" + std::to_string(kErrDatabaseOpen), 0),
              0u)
        << op_.messages[1].text;
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(result.exitStatus, kExitFatalError);
}

}  // namespace
}  // namespace kps::test
