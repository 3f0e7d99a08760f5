#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "text/FileDescriptor.h"

namespace kps {

// An inotify watch on an SQLite database's files: the database itself, its
// write-ahead log once there is one, and the folder for either appearing.
// Its descriptor turns readable when any of them is written; that says only
// that someone wrote, the server itself perhaps, not what. A commit turns
// visible only after its last write (a write-ahead log's commit once its
// sync is done), so the descriptor turns readable again a few times at
// growing intervals after the last write heard; writes heard until the
// first of those looks are told by it.
class SqliteFileWatch {
  public:
    // Throws KpsError when the watch cannot be set (no such file, no inotify
    // left, a file system that refuses it) or would not hear other machines
    // (a network share).
    explicit SqliteFileWatch(const std::string& databasePath,
                             std::chrono::milliseconds firstLook = std::chrono::milliseconds(25));
    SqliteFileWatch(const SqliteFileWatch&) = delete;
    SqliteFileWatch& operator=(const SqliteFileWatch&) = delete;

    // Readable when a look is due, and at once after a write unless a write
    // heard before waits for its look.
    int Fd() const { return ready_.Get(); }
    // Reads what has been told, watches a log or a database file that has
    // just appeared in the folder, and sets when to look again.
    void Drain();

  private:
    // Watches the database file and its log when there is one; false when
    // the database file cannot be watched (errno says why).
    bool WatchFiles();
    // True when a write was told since the last call.
    bool ReadEvents();
    void LookAgainIn(std::chrono::milliseconds after);
    // Whether a write makes the descriptor readable at once (EPOLLIN) or
    // waits for the next look (0).
    void Listen(std::uint32_t events);

    std::string path_;
    std::string name_;  // the database's file name inside its folder
    FileDescriptor events_;
    FileDescriptor again_;  // a timer for the next look after a write
    FileDescriptor ready_;  // readable when either of the two is
    std::chrono::milliseconds firstLook_;
    std::chrono::milliseconds lookAgain_{0};
};

}  // namespace kps
