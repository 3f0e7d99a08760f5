#include <gtest/gtest.h>

#include "startup/SingleInstance.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

TEST(SingleInstanceTest, SecondHolderOfTheSameSettingsIsRefusedUntilTheFirstEnds) {
    TempFolder folder;
    const std::string ini = folder.File("GSetup.ini");
    WriteBytes(ini, "");

    auto first = SingleInstance::TryAcquire(ini);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(SingleInstance::TryAcquire(ini), nullptr);
    // Another spelling of the same file is the same server.
    EXPECT_EQ(SingleInstance::TryAcquire(folder.File("./x/../GSetup.ini")), nullptr);

    first.reset();
    EXPECT_NE(SingleInstance::TryAcquire(ini), nullptr);
}

TEST(SingleInstanceTest, DifferentSettingsFilesDoNotShareTheLock) {
    TempFolder folder;
    auto a = SingleInstance::TryAcquire(folder.File("a.ini"));
    auto b = SingleInstance::TryAcquire(folder.File("b.ini"));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a->LockFile(), b->LockFile());
}

}  // namespace
}  // namespace kps::test
