#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "startup/SingleInstance.h"
#include "support/AsNobody.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"
#include "text/KpsError.h"

namespace kps::test {
namespace {

TEST(SingleInstanceTest, OnlyOneHolderPerStateFolderUntilItEnds) {
    TempFolder state;
    TempFolder otherState;

    auto first = SingleInstance::TryAcquire(state.Path());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(SingleInstance::TryAcquire(state.Path()), nullptr);
    // Another spelling of the same folder is the same server.
    EXPECT_EQ(SingleInstance::TryAcquire(state.Path() + "/."), nullptr);
    EXPECT_NE(SingleInstance::TryAcquire(otherState.Path()), nullptr);

    struct stat info {};
    ASSERT_EQ(::stat(first->LockFile().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);

    first.reset();
    EXPECT_NE(SingleInstance::TryAcquire(state.Path()), nullptr);
}

TEST(SingleInstanceTest, ALinkOrAFileOfAnotherUserIsRefusedNotLocked) {
    TempFolder state;
    const std::string lockFile = SingleInstance::LockFileIn(state.Path());
    const std::string target = state.File("target");
    ASSERT_EQ(::symlink(target.c_str(), lockFile.c_str()), 0);
    EXPECT_THROW(SingleInstance::TryAcquire(state.Path()), KpsError);
    EXPECT_FALSE(std::filesystem::exists(target));  // nothing created through the link

    if (!CanActAsAnotherUser()) {
        GTEST_SKIP() << "only root can make a file of another user";
    }
    std::filesystem::remove(lockFile);
    WriteBytes(lockFile, "");
    GiveToNobody(lockFile);
    EXPECT_THROW(SingleInstance::TryAcquire(state.Path()), KpsError);
}

TEST(SingleInstanceTest, AUserWhoCannotWriteTheStateFolderCannotHoldTheLock) {
    if (!CanActAsAnotherUser()) {
        GTEST_SKIP() << "needs root to run a child as nobody";
    }
    TempFolder state;
    OpenToEveryone(state.Path());
    auto cannotHold = [&] {
        const int readOnly = ::open(SingleInstance::LockFileIn(state.Path()).c_str(), O_RDONLY);
        if (readOnly >= 0) {
            ::close(readOnly);
            return 3;
        }
        try {
            return SingleInstance::TryAcquire(state.Path()) ? 1 : 2;
        } catch (const KpsError&) {
            return 0;
        }
    };
    EXPECT_EQ(ExitStatusAsNobody(cannotHold), 0) << "with no lock file yet";
    // The server's own lock file, left when it ended, is no better.
    ASSERT_NE(SingleInstance::TryAcquire(state.Path()), nullptr);
    EXPECT_EQ(ExitStatusAsNobody(cannotHold), 0) << "with the server's lock file";
}

}  // namespace
}  // namespace kps::test
