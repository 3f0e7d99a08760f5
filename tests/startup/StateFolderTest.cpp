#include "startup/StateFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/FileBytes.h"
#include "support/TempFolder.h"
#include "text/KpsError.h"

namespace kps::test {
namespace {

TEST(StateFolderTest, SystemdFolderWinsThenTheSettingThenTheLogFolder) {
    GeneralSetup setup;
    setup.IniPath = "/etc/kps/GSetup.ini";
    setup.DrivePath = "/srv/outlet";
    EXPECT_EQ(ResolveStateFolder(setup, std::nullopt), "/srv/outlet/LOG");
    setup.StateFolder = "state";
    EXPECT_EQ(ResolveStateFolder(setup, std::nullopt), "/etc/kps/state");
    setup.StateFolder = "/var/lib/kps";
    EXPECT_EQ(ResolveStateFolder(setup, std::string()), "/var/lib/kps");
    EXPECT_EQ(ResolveStateFolder(setup, "/var/lib/kitchen:/var/lib/other"), "/var/lib/kitchen");
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

TEST(StateFolderTest, FolderThatCannotBeWrittenThrows) {
    TempFolder folder;
    WriteBytes(folder.File("file"), "not a folder");
    EXPECT_THROW(WriteFileAtomically(folder.File("file/state.dat"), "x"), KpsError);
}

}  // namespace
}  // namespace kps::test
