#include "text/FileDescriptor.h"

#include <unistd.h>

namespace kps {

void FileDescriptor::Reset(int fd) {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = fd;
}

int FileDescriptor::Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

}  // namespace kps
