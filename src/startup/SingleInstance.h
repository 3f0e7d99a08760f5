#pragma once

#include <memory>
#include <string>

namespace kps {

// Lets one server run per state folder: an exclusive lock on
// "kitchen-print-server.lock" in the folder, held as long as the object
// lives and released by the system when the process ends, however it ends.
// The state folder is writable only by the server's user, so nobody else
// can create the file, and a file that is a symbolic link or belongs to
// another user is refused rather than trusted.
class SingleInstance {
  public:
    // The lock, or nullptr when another holder has it. Throws KpsError when
    // the lock file cannot be opened for writing, is a symbolic link or
    // belongs to another user.
    static std::unique_ptr<SingleInstance> TryAcquire(const std::string& stateFolder);

    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    const std::string& LockFile() const { return lockFile_; }

    // The lock file of the server that keeps its state in `stateFolder`.
    static std::string LockFileIn(const std::string& stateFolder);

  private:
    SingleInstance(int fd, std::string lockFile);

    int fd_;
    std::string lockFile_;
};

}  // namespace kps
