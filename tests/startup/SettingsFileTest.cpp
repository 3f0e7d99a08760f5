#include <gtest/gtest.h>

#include <filesystem>

#include "startup/SettingsFile.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

// Beside the executable first, then the system folder, which is also named
// when neither exists.
TEST(SettingsFileTest, BesideTheExecutableFirstThenTheSystemFolder) {
    TempFolder folder;
    const std::string bin = folder.File("bin");
    const std::string etc = folder.File("etc");
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(etc);
    EXPECT_EQ(FindSettingsFile(bin, etc), etc + "/GSetup.ini");

    WriteBytes(etc + "/GSetup.ini", "");
    EXPECT_EQ(FindSettingsFile(bin, etc), etc + "/GSetup.ini");

    WriteBytes(bin + "/GSetup.ini", "");
    EXPECT_EQ(FindSettingsFile(bin, etc), bin + "/GSetup.ini");
}

}  // namespace
}  // namespace kps::test
