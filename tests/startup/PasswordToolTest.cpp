#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "database/SqliteConnection.h"
#include "startup/DecryptText.h"
#include "startup/ExitStatus.h"
#include "startup/IniValueWriter.h"
#include "startup/LoadGeneralSetup.h"
#include "startup/OpenConnection.h"
#include "startup/PasswordTool.h"
#include "support/Fakes.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"
#include "text/Text.h"

namespace kps::test {
namespace {

TEST(IniValueWriterTest, ReplacesTheFirstSectionsKeyOrAddsItKeepingEveryOtherByte) {
    const std::string file =
        "; comment=1\r\n[Other]\r\nPassword=keep\r\n[generalsetup]\r\n"
        "ServerName = SRV\r\n  password = old\xE9 \r\n\r\n[GeneralSetup]\r\nPassword=2nd\r\n";
    EXPECT_EQ(WithIniValue(file, "GeneralSetup", "Password", "n\xE9w"),
              "; comment=1\r\n[Other]\r\nPassword=keep\r\n[generalsetup]\r\n"
              "ServerName = SRV\r\n  password =n\xE9w\r\n\r\n[GeneralSetup]\r\nPassword=2nd\r\n");
    EXPECT_EQ(WithIniValue("[GeneralSetup]\nUserID=sa\n\n[X]\n", "GeneralSetup", "Password", "p"),
              "[GeneralSetup]\nUserID=sa\nPassword=p\n\n[X]\n");
    EXPECT_EQ(WithIniValue("[X]\r\na=1", "GeneralSetup", "Password", "p"),
              "[X]\r\na=1\r\n[GeneralSetup]\r\nPassword=p\r\n");
}

// The stored form goes into the file in its code page; start-up reads it
// back to the same password.
TEST(PasswordToolTest, WritesTheScrambledPasswordIntoTheSettingsForStartUp) {
    TempFolder folder;
    const std::string ini = folder.File("GSetup.ini");
    const std::string before = "[GeneralSetup]\r\nUserID=Ren\x82\r\nPassword=\r\n";
    const std::string after =
        "DatabaseName=orders.db\r\n[PrintServer]\r\nDatabase=SQLite\r\nCodePage=850\r\n";
    WriteBytes(ini, before + after);
    std::istringstream in("s\xC3\xA9same\r\n");  // é is 0x82 in code page 850
    std::ostringstream out;
    std::ostringstream err;
    std::mt19937 rng(7);

    ASSERT_EQ(EncryptPasswordCommand(in, out, err, ini, rng), kExitNormal) << err.str();
    const std::string written = ReadBytes(ini);
    EXPECT_EQ(written.substr(0, before.size() - 2), before.substr(0, before.size() - 2));
    EXPECT_EQ(written.substr(written.size() - after.size() - 2), "\r\n" + after);
    EXPECT_EQ(out.str(), "");

    SqliteConnection(folder.File("orders.db"), true);
    FakeOperator op;
    GeneralSetup setup = LoadGeneralSetup(ini, op);
    OpenConnection(setup);
    EXPECT_EQ(setup.Password, "s\xC3\xA9same");
}

TEST(PasswordToolTest, PrintsTheStoredFormAsUtf8OrRefusesAMissingFile) {
    // § (0xA7) plus any key is a byte above 127, which a terminal shows only as UTF-8.
    std::istringstream in("p\xC2\xA7ss\n");
    std::ostringstream out;
    std::ostringstream err;
    std::mt19937 rng(3);
    ASSERT_EQ(EncryptPasswordCommand(in, out, err, "", rng), kExitNormal) << err.str();
    const std::string printed = out.str().substr(0, out.str().size() - 1);
    EXPECT_EQ(PlainPassword(ToCodePage(printed, 1252)), "p\xA7ss");

    TempFolder folder;
    std::istringstream again("x\n");
    EXPECT_EQ(EncryptPasswordCommand(again, out, err, folder.File("none.ini"), rng),
              kExitCommandLine);
    EXPECT_NE(err.str().find("No settings file at " + folder.File("none.ini")), std::string::npos);
}

}  // namespace
}  // namespace kps::test
