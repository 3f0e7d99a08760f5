#include "database/SqliteFileWatch.h"

#include <linux/magic.h>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>

#include "text/KpsError.h"

namespace kps {

namespace {

constexpr std::uint32_t kFileEvents = IN_MODIFY;
// The log is made by the first connection in WAL mode, and a restored
// database is moved in over the old one.
constexpr std::uint32_t kFolderEvents = IN_CREATE | IN_MOVED_TO | IN_ONLYDIR;

// File systems whose watch hears only this machine's writes: another
// terminal's order would go unheard until the next poll.
constexpr std::array<std::uint32_t, 6> kNetworkShares{NFS_SUPER_MAGIC,  SMB_SUPER_MAGIC,
                                                      CIFS_SUPER_MAGIC, SMB2_SUPER_MAGIC,
                                                      V9FS_MAGIC,       FUSE_SUPER_MAGIC};

bool OnNetworkShare(const std::string& folder) {
    struct statfs system {};
    if (::statfs(folder.c_str(), &system) != 0) {
        return false;
    }
    const auto type = static_cast<std::uint32_t>(system.f_type);
    return std::find(kNetworkShares.begin(), kNetworkShares.end(), type) != kNetworkShares.end();
}

KpsError WatchError(int error, const std::string& path) {
    std::string text = "Cannot watch '";
    text += path;
    text += "' for changes: ";
    text += std::strerror(error);
    return KpsError(error, text);
}

}  // namespace

SqliteFileWatch::SqliteFileWatch(const std::string& databasePath)
    : path_(databasePath),
      name_(std::filesystem::path(databasePath).filename().string()),
      fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (fd_ < 0) {
        throw WatchError(errno, path_);
    }
    const std::filesystem::path parent = std::filesystem::path(databasePath).parent_path();
    const std::string folder = (parent.empty() ? std::filesystem::path(".") : parent).string();
    if (OnNetworkShare(folder)) {
        ::close(fd_);
        std::string text = "'";
        text += path_;
        text += "' is on a network share, whose changes from other machines go unwatched";
        throw KpsError(kErrFile, text);
    }
    if (::inotify_add_watch(fd_, folder.c_str(), kFolderEvents) < 0 || !WatchFiles()) {
        const int error = errno;
        ::close(fd_);
        throw WatchError(error, path_);
    }
}

SqliteFileWatch::~SqliteFileWatch() {
    ::close(fd_);
}

bool SqliteFileWatch::WatchFiles() {
    // The log is there only in WAL mode, and is watched once the folder
    // tells it came; the database file must be there.
    ::inotify_add_watch(fd_, (path_ + "-wal").c_str(), kFileEvents);
    return ::inotify_add_watch(fd_, path_.c_str(), kFileEvents) >= 0;
}

void SqliteFileWatch::Drain() {
    alignas(inotify_event) char buffer[4096];
    bool appeared = false;
    for (ssize_t got; (got = ::read(fd_, buffer, sizeof buffer)) > 0;) {
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if ((event->mask & (IN_CREATE | IN_MOVED_TO)) != 0 && event->len > 0) {
                const std::string name = event->name;
                appeared = appeared || name == name_ || name == name_ + "-wal";
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    if (appeared) {
        WatchFiles();
    }
}

}  // namespace kps
