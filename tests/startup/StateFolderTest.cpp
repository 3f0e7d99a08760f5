#include "startup/StateFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/AsNobody.h"
#include "support/Fakes.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"
#include "text/KpsError.h"

namespace kps::test {
namespace {

TEST(StateFolderTest, TheSettingWinsThenTheSystemdFolderThenTheLogFolder) {
    GeneralSetup setup;
    setup.IniPath = "/etc/kps/GSetup.ini";
    setup.DrivePath = "/srv/outlet";
    EXPECT_EQ(ResolveStateFolder(setup, std::nullopt), "/srv/outlet/LOG");
    EXPECT_EQ(ResolveStateFolder(setup, "/var/lib/kitchen:/var/lib/other"), "/var/lib/kitchen");
    setup.StateFolder = "state";
    EXPECT_EQ(ResolveStateFolder(setup, std::nullopt), "/etc/kps/state");
    setup.StateFolder = "/var/lib/kps";
    EXPECT_EQ(ResolveStateFolder(setup, "/var/lib/kitchen"), "/var/lib/kps");
}

TEST(StateFolderTest, AtomicWriteReplacesTheWholeFileAndLeavesNoTemporaryFile) {
    TempFolder folder;
    const std::string path = folder.File("sub/state.dat");
    WriteFileAtomically(path, "first");
    WriteFileAtomically(path, std::string("second\0bytes", 12));
    EXPECT_EQ(ReadWholeFile(path), std::string("second\0bytes", 12));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.File("sub")),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_EQ(ReadWholeFile(folder.File("missing")), std::nullopt);
}

TEST(StateFolderTest, AStateFileIsItsOwnersAloneAndRootWritesItForTheFoldersOwner) {
    TempFolder folder;
    const std::string path = folder.File("state.dat");
    WriteFileAtomically(path, "tickets");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);

    if (!CanActAsAnotherUser()) {
        GTEST_SKIP() << "only root writes into another user's folder";
    }
    GiveToNobody(folder.Path());  // the server's folder; root runs a command in it
    WriteFileAtomically(path, "request");
    struct stat folderInfo {};
    ASSERT_EQ(::stat(folder.Path().c_str(), &folderInfo), 0);
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, folderInfo.st_uid) << "the server could not read it";
}

TEST(StateFolderTest, FolderThatCannotBeWrittenThrows) {
    TempFolder folder;
    WriteBytes(folder.File("file"), "not a folder");
    EXPECT_THROW(WriteFileAtomically(folder.File("file/state.dat"), "x"), KpsError);
}

TEST(StateFolderTest, ADamagedFileIsSetAsideUnderAFreeNameAndLoggedOnce) {
    TempFolder folder;
    FakeClock clock;
    PrintLog log(folder.Path(), clock);
    const std::string path = folder.File("reprint-journal");
    WriteBytes(path, "torn");
    WriteBytes(path + ".damaged", "earlier");
    EXPECT_EQ(SetAsideDamagedFile(path, log), path + ".damaged.2");
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(ReadWholeFile(path + ".damaged.2"), "torn");
    EXPECT_EQ(ReadWholeFile(path + ".damaged"), "earlier");
    const std::string logged = ReadBytes(folder.File("LOG/Prt_07122026.Log"));
    EXPECT_NE(logged.find("damaged; set aside as '" + path + ".damaged.2'"), std::string::npos);
}

}  // namespace
}  // namespace kps::test
