#include "startup/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "text/FileDescriptor.h"
#include "text/KpsError.h"

namespace kps {

std::string SingleInstance::LockFileIn(const std::string& stateFolder) {
    return (std::filesystem::path(stateFolder) / "kitchen-print-server.lock").string();
}

std::unique_ptr<SingleInstance> SingleInstance::TryAcquire(const std::string& stateFolder) {
    std::string lockFile = LockFileIn(stateFolder);
    // Never through a link: a copy run by root would create or lock
    // whatever file the link names.
    FileDescriptor file(
        ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR));
    if (file.Get() < 0) {
        const int error = errno;
        throw KpsError(kErrFile, "Cannot open the lock file " + lockFile + ": " +
                                     (error == ELOOP ? "it is a symbolic link"
                                                     : std::string(std::strerror(error))));
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0 || info.st_uid != ::geteuid()) {
        throw KpsError(kErrFile, "The lock file " + lockFile +
                                     " belongs to another user; only the server's user may hold "
                                     "the lock");
    }
    if (::flock(file.Get(), LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EWOULDBLOCK) {
            return nullptr;
        }
        throw KpsError(kErrFile, "Cannot lock " + lockFile + ": " + std::strerror(error));
    }
    return std::unique_ptr<SingleInstance>(new SingleInstance(file.Release(), std::move(lockFile)));
}

SingleInstance::SingleInstance(int fd, std::string lockFile)
    : fd_(fd), lockFile_(std::move(lockFile)) {}

SingleInstance::~SingleInstance() {
    ::close(fd_);
}

}  // namespace kps
