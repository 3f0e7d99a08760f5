#pragma once

#include <string>

namespace kps {

// An inotify watch on an SQLite database's files: the database itself, its
// write-ahead log once there is one, and the folder for either appearing.
// Its descriptor turns readable when any of them is written; that says only
// that someone wrote, the server itself perhaps, not what.
class SqliteFileWatch {
  public:
    // Throws KpsError when the watch cannot be set (no such file, no inotify
    // left, a file system that refuses it) or would not hear other machines
    // (a network share).
    explicit SqliteFileWatch(const std::string& databasePath);
    ~SqliteFileWatch();
    SqliteFileWatch(const SqliteFileWatch&) = delete;
    SqliteFileWatch& operator=(const SqliteFileWatch&) = delete;

    // Readable after a write since the last Drain.
    int Fd() const { return fd_; }
    // Reads what has been told, and watches a log or a database file that
    // has just appeared in the folder.
    void Drain();

  private:
    // Watches the database file and its log when there is one; false when
    // the database file cannot be watched (errno says why).
    bool WatchFiles();

    std::string path_;
    std::string name_;  // the database's file name inside its folder
    int fd_;
};

}  // namespace kps
