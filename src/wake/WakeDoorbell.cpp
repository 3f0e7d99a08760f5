#include "wake/WakeDoorbell.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "text/KpsError.h"

namespace kps {

WakeDoorbell::WakeDoorbell() : fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (fd_ < 0) {
        throw KpsError(errno, "The server's wake-up bell could not be made.");
    }
}

WakeDoorbell::~WakeDoorbell() {
    ::close(fd_);
}

void WakeDoorbell::Ring() {
    const std::uint64_t one = 1;
    // Only a counter at its limit refuses, and then the bell rings already.
    [[maybe_unused]] const auto written = ::write(fd_, &one, sizeof one);
}

void WakeDoorbell::Clear() {
    std::uint64_t count = 0;
    [[maybe_unused]] const auto read = ::read(fd_, &count, sizeof count);
}

}  // namespace kps
