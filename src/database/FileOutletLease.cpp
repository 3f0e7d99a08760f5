#include "database/FileOutletLease.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "text/FileDescriptor.h"
#include "text/KpsError.h"

namespace kps {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int error) {
    throw KpsError(
        kErrFile,
        what + " '" + path +
            "': " + (error == ELOOP ? "it is a symbolic link" : std::string(std::strerror(error))));
}

// Owner read and write; the group's too when the group may write the database.
mode_t LeaseMode(const struct stat& database) {
    return S_IRUSR | S_IWUSR | ((database.st_mode & S_IWGRP) != 0 ? S_IRGRP | S_IWGRP : 0);
}

}  // namespace

FileOutletLease::FileOutletLease(std::string databaseFile, const std::string& leaseName)
    : databaseFile_(std::move(databaseFile)),
      path_(databaseFile_ + ".lease"),
      // Any byte far beyond what a file holds will do; the top bits stay
      // clear so the range never overflows.
      offset_(static_cast<long long>(static_cast<unsigned long long>(OutletLeaseKey(leaseName)) >>
                                     2)) {}

FileOutletLease::~FileOutletLease() {
    Close();
}

int FileOutletLease::OpenLeaseFile() const {
    struct stat database {};
    if (::stat(databaseFile_.c_str(), &database) != 0) {
        Fail("Cannot find the database of the lease file", path_, errno);
    }
    const mode_t mode = LeaseMode(database);
    FileDescriptor file(::open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, mode));
    if (file.Get() < 0) {
        Fail("Cannot open the lease file", path_, errno);
    }
    struct stat lease {};
    if (::fstat(file.Get(), &lease) != 0) {
        Fail("Cannot read the lease file", path_, errno);
    }
    if (lease.st_uid != ::geteuid() && lease.st_uid != database.st_uid) {
        throw KpsError(kErrFile, "The lease file '" + path_ +
                                     "' belongs to neither this user nor the database's owner");
    }
    // A file left by an older server, or created under a wide umask, is
    // brought to the database's owner, group and mode: root may give it
    // away, another owner may give it the database's group when a member.
    if (::geteuid() == 0 && (lease.st_uid != database.st_uid || lease.st_gid != database.st_gid) &&
        ::fchown(file.Get(), database.st_uid, database.st_gid) != 0) {
        Fail("Cannot give the lease file to the database's owner", path_, errno);
    }
    const bool own = lease.st_uid == ::geteuid();
    mode_t wanted = mode;
    if (own && lease.st_gid != database.st_gid &&
        ::fchown(file.Get(), static_cast<uid_t>(-1), database.st_gid) != 0) {
        // Not a member of the database's group: the file keeps this user's
        // group, which has no business with it.
        wanted &= ~static_cast<mode_t>(S_IRWXG);
    }
    if (own && (lease.st_mode & 07777) != wanted && ::fchmod(file.Get(), wanted) != 0) {
        Fail("Cannot restrict the lease file", path_, errno);
    }
    if (!own && (lease.st_mode & S_IRWXO) != 0) {
        throw KpsError(kErrFile, "The lease file '" + path_ + "' is open to every user");
    }
    return file.Release();
}

bool FileOutletLease::TryAcquire() {
    std::lock_guard lock(mutex_);
    if (fd_ >= 0 && HeldNow()) {
        return true;
    }
    Close();  // a lease file that was replaced is locked afresh
    FileDescriptor file(OpenLeaseFile());
    struct flock byte {};
    byte.l_type = F_WRLCK;
    byte.l_whence = SEEK_SET;
    byte.l_start = static_cast<off_t>(offset_);
    byte.l_len = 1;
    if (::fcntl(file.Get(), F_OFD_SETLK, &byte) != 0) {
        if (errno == EAGAIN || errno == EACCES) {
            return false;
        }
        Fail("Cannot lock the lease file", path_, errno);
    }
    fd_ = file.Release();
    return true;
}

bool FileOutletLease::StillHeld() {
    std::lock_guard lock(mutex_);
    return fd_ >= 0 && HeldNow();
}

bool FileOutletLease::HeldNow() const {
    struct stat held {};
    struct stat named {};
    return ::fstat(fd_, &held) == 0 && ::stat(path_.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

void FileOutletLease::Release() {
    std::lock_guard lock(mutex_);
    Close();
}

void FileOutletLease::Close() {
    if (fd_ >= 0) {
        ::close(fd_);  // closing the file frees its lock
        fd_ = -1;
    }
}

}  // namespace kps
