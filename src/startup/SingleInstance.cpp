#include "startup/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "text/KpsError.h"

namespace kps {
namespace {

// FNV-1a: the same path gives the same name in every build of the server.
std::uint64_t PathHash(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    return hash;
}

// Machine-wide, whoever starts the server: a per-user folder would let a
// desktop user's copy and a service's copy poll the same queue.
std::filesystem::path LockFolder() {
    const char* shared = "/run/lock";
    if (::access(shared, W_OK | X_OK) == 0) {
        return shared;
    }
    return "/tmp";
}

}  // namespace

std::string SingleInstance::LockFileFor(const std::string& settingsPath) {
    std::error_code ec;
    auto canonical = std::filesystem::weakly_canonical(std::filesystem::absolute(settingsPath), ec);
    std::string key = ec ? settingsPath : canonical.string();
    char name[64];
    std::snprintf(name, sizeof name, "kitchen-print-server-%016llx.lock",
                  static_cast<unsigned long long>(PathHash(key)));
    return (LockFolder() / name).string();
}

std::unique_ptr<SingleInstance> SingleInstance::TryAcquire(const std::string& settingsPath) {
    std::string lockFile = LockFileFor(settingsPath);
    int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        // Another user's lock file can still be locked through a read-only descriptor.
        fd = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd < 0) {
        throw KpsError(kErrFile,
                       "Cannot open the lock file " + lockFile + ": " + std::strerror(errno));
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) {
            return nullptr;
        }
        throw KpsError(kErrFile, "Cannot lock " + lockFile + ": " + std::strerror(error));
    }
    return std::unique_ptr<SingleInstance>(new SingleInstance(fd, std::move(lockFile)));
}

SingleInstance::SingleInstance(int fd, std::string lockFile)
    : fd_(fd), lockFile_(std::move(lockFile)) {}

SingleInstance::~SingleInstance() {
    ::close(fd_);
}

}  // namespace kps
