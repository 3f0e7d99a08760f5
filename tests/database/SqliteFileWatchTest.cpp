#include "database/SqliteFileWatch.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <fstream>

#include "support/TempFolder.h"

namespace kps::test {
namespace {

// Waits, at most a generous bound, for the watch to turn readable.
bool Readable(const SqliteFileWatch& watch, int waitMs = 10000) {
    pollfd ready{watch.Fd(), POLLIN, 0};
    return ::poll(&ready, 1, waitMs) == 1;
}

void Write(const std::string& path) {
    std::ofstream(path, std::ios::app) << 'x';
}

// Drains the watch until it stays quiet; false when its looks never end.
bool DrainUntilQuiet(SqliteFileWatch& watch) {
    for (int look = 0; look < 20; ++look) {
        if (!Readable(watch, 2000)) {
            return true;
        }
        watch.Drain();
    }
    return false;
}

TEST(SqliteFileWatchTest, LooksAgainAfterAWriteForACommitThatTurnsVisibleLater) {
    TempFolder folder;
    const std::string database = folder.File("orders.db");
    Write(database);
    SqliteFileWatch watch(database);
    Write(database);
    ASSERT_TRUE(Readable(watch));
    watch.Drain();
    EXPECT_TRUE(Readable(watch)) << "a log's commit is visible only after its sync";
    EXPECT_TRUE(DrainUntilQuiet(watch));
}

TEST(SqliteFileWatchTest, WritesAfterOneHeardWaitForTheNextLook) {
    TempFolder folder;
    const std::string database = folder.File("orders.db");
    Write(database);
    SqliteFileWatch watch(database, std::chrono::seconds(30));
    Write(database);
    ASSERT_TRUE(Readable(watch));
    watch.Drain();
    Write(database);
    EXPECT_FALSE(Readable(watch, 0)) << "a terminal that commits all day would make a pass each";
}

TEST(SqliteFileWatchTest, WatchesALogThatAppearedWhileItsEventsOverflowed) {
    TempFolder folder;
    const std::string database = folder.File("orders.db");
    Write(database);
    SqliteFileWatch watch(database);
    int queued = 0;
    std::ifstream("/proc/sys/fs/inotify/max_queued_events") >> queued;
    ASSERT_GT(queued, 0);
    for (int file = 0; file <= queued; ++file) {
        Write(folder.File(std::to_string(file)));
    }
    Write(database + "-wal");  // its arrival finds the queue full
    ASSERT_TRUE(DrainUntilQuiet(watch));
    Write(database + "-wal");
    EXPECT_TRUE(Readable(watch));
}

}  // namespace
}  // namespace kps::test
