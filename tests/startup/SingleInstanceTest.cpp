#include <gtest/gtest.h>

#include <cstdlib>

#include "startup/SingleInstance.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

TEST(SingleInstanceTest, OnlyOneHolderPerSettingsFileUntilItEnds) {
    TempFolder folder;
    const std::string ini = folder.File("GSetup.ini");
    WriteBytes(ini, "");

    auto first = SingleInstance::TryAcquire(ini);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(SingleInstance::TryAcquire(ini), nullptr);
    // Another spelling of the same file is the same server.
    EXPECT_EQ(SingleInstance::TryAcquire(folder.File("./x/../GSetup.ini")), nullptr);

    // Another settings file is another server.
    auto other = SingleInstance::TryAcquire(folder.File("other.ini"));
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other->LockFile(), first->LockFile());

    // A desktop user's session folder and a service's differ; the lock does not.
    TempFolder sessionA;
    TempFolder sessionB;
    ::setenv("XDG_RUNTIME_DIR", sessionA.Path().c_str(), 1);
    const std::string lockA = SingleInstance::LockFileFor(ini);
    ::setenv("XDG_RUNTIME_DIR", sessionB.Path().c_str(), 1);
    EXPECT_EQ(SingleInstance::LockFileFor(ini), lockA);
    EXPECT_EQ(SingleInstance::TryAcquire(ini), nullptr);
    ::unsetenv("XDG_RUNTIME_DIR");

    first.reset();
    EXPECT_NE(SingleInstance::TryAcquire(ini), nullptr);
}

}  // namespace
}  // namespace kps::test
