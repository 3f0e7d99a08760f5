#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "startup/LoadGeneralSetup.h"
#include "support/AsNobody.h"
#include "support/Fakes.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"
#include "text/KpsError.h"

namespace kps::test {
namespace {

class LoadGeneralSetupTest : public ::testing::Test {
  protected:
    TempFolder folder_;
    std::string ini_ = folder_.File("GSetup.ini");
    FakeOperator op_;
};

TEST_F(LoadGeneralSetupTest, MissingFileShowsNoIniNamesThePathAndLeavesSettingsEmpty) {
    std::ostringstream diagnostics;
    GeneralSetup setup = LoadGeneralSetup(ini_, op_, diagnostics);

    EXPECT_EQ(diagnostics.str(),
              "<3>No settings file at " + ini_ + "; --settings FILE names another one.\n");
    ASSERT_EQ(op_.messages.size(), 1u);
    EXPECT_EQ(op_.messages[0].text, "No Ini !!");
    EXPECT_EQ(op_.messages[0].caption, "Kitchen Print Server");
    EXPECT_EQ(op_.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(op_.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(setup.IniPath, ini_);
    EXPECT_EQ(setup.ServerName + setup.DatabaseName + setup.UserID + setup.Password +
                  setup.systemtype + setup.OutletCode + setup.DrivePath,
              "");
    EXPECT_EQ(setup.Database, "ODBC");
    EXPECT_EQ(setup.CodePage, 1252);
}

TEST_F(LoadGeneralSetupTest, AFileThatCannotBeReadIsNamedBeforeAnythingElse) {
    if (!CanActAsAnotherUser()) {
        GTEST_SKIP() << "needs root to run a child as nobody";
    }
    OpenToEveryone(folder_.Path());
    WriteBytes(ini_, "[GeneralSetup]\r\nServerName=db1\r\n");
    ::chmod(ini_.c_str(), 0600);
    const int status = ExitStatusAsNobody([&] {
        try {
            LoadGeneralSetup(ini_, op_);
        } catch (const KpsError& error) {
            return error.Description().starts_with("Cannot read the settings file " + ini_ + ": ")
                       ? 0
                       : 1;
        }
        return 2;
    });
    EXPECT_EQ(status, 0) << "1: another message, 2: read as empty settings";
}

TEST_F(LoadGeneralSetupTest, ReadsEverySettingIntoItsField) {
    WriteBytes(ini_,
               "[GeneralSetup]\r\nServerName=SRV\\SQL\r\nDatabaseName=Outlet\r\nUserID=sa\r\n"
               "Password=\"!#%abc&\"\r\nDrivePath=C:\\Data\r\nLogFilePath=C:\\Logs\r\n"
               "[COMPANYSETTINGS]\r\nsystemtype=hq\r\nOutletCode=OUT01\r\n"
               "[PrintServer]\r\nDatabase=SQLite\r\nOdbcDriver=FreeTDS\r\n"
               "OdbcOptions=TDS_Version=7.4\r\nCodePage=850\r\nStateFolder=/var/lib/"
               "kps\r\nLogKeepDays=0\r\nLease=no\r\nStatusAddress=0.0.0.0:9000\r\n"
               "AlertAfterSeconds=0\r\nAlertCommand= page-the-manager --urgent \r\n");

    GeneralSetup setup = LoadGeneralSetup(ini_, op_);

    EXPECT_TRUE(op_.messages.empty());
    EXPECT_EQ(setup.ServerName, "SRV\\SQL");
    EXPECT_EQ(setup.DatabaseName, "Outlet");
    EXPECT_EQ(setup.UserID, "sa");
    EXPECT_EQ(setup.Password, "!#%abc&");
    EXPECT_EQ(setup.systemtype, "hq");  // kept as written: only "HQ" counts later
    EXPECT_EQ(setup.OutletCode, "OUT01");
    EXPECT_EQ(setup.DrivePath, "C:\\Data");
    EXPECT_EQ(setup.Database, "SQLite");
    EXPECT_EQ(setup.OdbcDriver, "FreeTDS");
    EXPECT_EQ(setup.OdbcOptions, "TDS_Version=7.4");
    EXPECT_EQ(setup.CodePage, 850);
    EXPECT_EQ(setup.StateFolder, "/var/lib/kps");
    EXPECT_EQ(setup.LogKeepDays, 0);
    EXPECT_FALSE(setup.Lease);
    EXPECT_EQ(setup.StatusAddress, "0.0.0.0:9000");
    EXPECT_EQ(setup.AlertAfterSeconds, 0);
    EXPECT_EQ(setup.AlertCommand, "page-the-manager --urgent");
}

TEST_F(LoadGeneralSetupTest, EmptyDrivePathIsTheSettingsFolderLogsAreKept90DaysAndLeaseIsOn) {
    WriteBytes(ini_, "[GeneralSetup]\r\nDrivePath=\r\n");
    GeneralSetup setup = LoadGeneralSetup(ini_, op_);
    EXPECT_EQ(setup.DrivePath, folder_.Path());
    EXPECT_EQ(setup.LogKeepDays, 90);
    EXPECT_TRUE(setup.Lease);
    EXPECT_EQ(setup.StatusAddress, "127.0.0.1:8631");
    EXPECT_EQ(setup.AlertAfterSeconds, 120);

    for (const char* bad : {"LogKeepDays=-3", "Lease=off", "AlertAfterSeconds=2m"}) {
        WriteBytes(ini_, std::string("[PrintServer]\r\n") + bad + "\r\n");
        EXPECT_THROW(LoadGeneralSetup(ini_, op_), KpsError) << bad;
    }
}

TEST_F(LoadGeneralSetupTest, AnEmptyStatusAddressTurnsTheStatusPageOff) {
    WriteBytes(ini_, "[PrintServer]\r\nStatusAddress=\r\n");
    EXPECT_EQ(LoadGeneralSetup(ini_, op_).StatusAddress, "");
}

TEST_F(LoadGeneralSetupTest, ReadsTheSuiteKeysInTheConfiguredCodePageIfSupported) {
    // 0x82 is é in code page 850 and a low quotation mark in 1252.
    WriteBytes(ini_, "[GeneralSetup]\nUserID=Ren\x82\n[PrintServer]\nCodePage=850\n");
    EXPECT_EQ(LoadGeneralSetup(ini_, op_).UserID, "Ren\xC3\xA9");

    WriteBytes(ini_, "[GeneralSetup]\nUserID=Ren\x82\n");
    EXPECT_EQ(LoadGeneralSetup(ini_, op_).UserID, "Ren\xE2\x80\x9A");

    for (const char* value : {"1251", "12x", "-1"}) {
        WriteBytes(ini_, std::string("[PrintServer]\nCodePage=") + value + "\n");
        try {
            LoadGeneralSetup(ini_, op_);
            ADD_FAILURE() << "accepted code page " << value;
        } catch (const KpsError& error) {
            EXPECT_EQ(error.Number(), kErrSettings);
            EXPECT_NE(error.Description().find(value), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace kps::test
