#pragma once

namespace kps {

// Owns an open file descriptor (or none, -1) and closes it on every path out.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() { Reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return fd_; }

    // Closes the one held and holds `fd` instead.
    void Reset(int fd = -1);
    // Gives up the one held without closing it.
    int Release();

  private:
    int fd_;
};

}  // namespace kps
