#include "database/FileOutletLease.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "text/KpsError.h"

namespace kps {

FileOutletLease::FileOutletLease(std::string path) : path_(std::move(path)) {}

FileOutletLease::~FileOutletLease() {
    Close();
}

bool FileOutletLease::TryAcquire() {
    std::lock_guard lock(mutex_);
    if (fd_ >= 0 && HeldNow()) {
        return true;
    }
    Close();  // a lease file that was replaced is locked afresh
    int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        throw KpsError(kErrFile,
                       "Cannot open the lease file '" + path_ + "': " + std::strerror(errno));
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
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
