#include "database/SqliteFileWatch.h"

#include <linux/magic.h>
#include <sys/epoll.h>
#include <sys/inotify.h>
#include <sys/timerfd.h>
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
// The gaps between looks after a write double up to what the once-a-second
// safety net covers.
constexpr std::chrono::milliseconds kLastLook{400};
// The log is made by the first connection in WAL mode, and a restored
// database is moved in over the old one.
constexpr std::uint32_t kFolderEvents = IN_CREATE | IN_MOVED_TO | IN_ONLYDIR;

// GFS2's, which <linux/magic.h> does not name.
constexpr std::uint32_t kGfs2Magic = 0x01161970;

// Network and cluster file systems, whose watch hears only this machine's
// writes: another terminal's order would go unheard until the next poll.
constexpr std::array<std::uint32_t, 12> kNetworkShares{
    NFS_SUPER_MAGIC, SMB_SUPER_MAGIC,  CIFS_SUPER_MAGIC,  SMB2_SUPER_MAGIC,
    V9FS_MAGIC,      FUSE_SUPER_MAGIC, CEPH_SUPER_MAGIC,  AFS_SUPER_MAGIC,
    AFS_FS_MAGIC,    CODA_SUPER_MAGIC, OCFS2_SUPER_MAGIC, kGfs2Magic};

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

// The result of a call that returns -1 and sets errno when it fails.
int Checked(int result, const std::string& path) {
    if (result < 0) {
        throw WatchError(errno, path);
    }
    return result;
}

void ListenTo(int ready, int fd, const std::string& path) {
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    Checked(::epoll_ctl(ready, EPOLL_CTL_ADD, fd, &event), path);
}

}  // namespace

SqliteFileWatch::SqliteFileWatch(const std::string& databasePath,
                                 std::chrono::milliseconds firstLook)
    : path_(databasePath),
      name_(std::filesystem::path(databasePath).filename().string()),
      firstLook_(firstLook) {
    const std::filesystem::path parent = std::filesystem::path(databasePath).parent_path();
    const std::string folder = (parent.empty() ? std::filesystem::path(".") : parent).string();
    if (OnNetworkShare(folder)) {
        std::string text = "'";
        text += path_;
        text += "' is on a network share, whose changes from other machines go unwatched";
        throw KpsError(kErrFile, text);
    }
    events_.Reset(Checked(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC), path_));
    Checked(::inotify_add_watch(events_.Get(), folder.c_str(), kFolderEvents), path_);
    if (!WatchFiles()) {
        throw WatchError(errno, path_);
    }
    again_.Reset(Checked(::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC), path_));
    ready_.Reset(Checked(::epoll_create1(EPOLL_CLOEXEC), path_));
    ListenTo(ready_.Get(), events_.Get(), path_);
    ListenTo(ready_.Get(), again_.Get(), path_);
}

bool SqliteFileWatch::WatchFiles() {
    // The log is there only in WAL mode, and is watched once the folder
    // tells it came; the database file must be there.
    ::inotify_add_watch(events_.Get(), (path_ + "-wal").c_str(), kFileEvents);
    return ::inotify_add_watch(events_.Get(), path_.c_str(), kFileEvents) >= 0;
}

void SqliteFileWatch::Drain() {
    std::uint64_t expired = 0;
    const bool lookDue = ::read(again_.Get(), &expired, sizeof expired) > 0;
    if (ReadEvents()) {
        // Writes heard meanwhile wait for the look: a terminal that commits
        // all day makes one pass per look, not one per commit.
        Listen(0);
        LookAgainIn(firstLook_);
    } else if (lookDue) {
        Listen(EPOLLIN);
        if (lookAgain_ < kLastLook) {
            LookAgainIn(lookAgain_ * 2);
        }
    }
}

void SqliteFileWatch::Listen(std::uint32_t events) {
    epoll_event event{};
    event.events = events;
    event.data.fd = events_.Get();
    ::epoll_ctl(ready_.Get(), EPOLL_CTL_MOD, events_.Get(), &event);
}

bool SqliteFileWatch::ReadEvents() {
    alignas(inotify_event) char buffer[4096];
    bool told = false;
    bool appeared = false;
    for (ssize_t got; (got = ::read(events_.Get(), buffer, sizeof buffer)) > 0;) {
        told = true;
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if ((event->mask & (IN_CREATE | IN_MOVED_TO)) != 0 && event->len > 0) {
                const std::string name = event->name;
                appeared = appeared || name == name_ || name == name_ + "-wal";
            }
            // A full queue drops events, a log's arrival among them.
            appeared = appeared || (event->mask & IN_Q_OVERFLOW) != 0;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    if (appeared) {
        WatchFiles();
    }
    return told;
}

void SqliteFileWatch::LookAgainIn(std::chrono::milliseconds after) {
    lookAgain_ = after;
    itimerspec when{};
    when.it_value.tv_sec = static_cast<time_t>(after.count() / 1000);
    when.it_value.tv_nsec = static_cast<long>(after.count() % 1000 * 1000000);
    ::timerfd_settime(again_.Get(), 0, &when, nullptr);
}

}  // namespace kps
