#pragma once

#include <memory>
#include <string>

namespace kps {

// Lets one server run per settings file: an exclusive lock on a file under
// $XDG_RUNTIME_DIR (or /tmp) named from the settings file's canonical path,
// held as long as the object lives and released by the system when the
// process ends, however it ends.
class SingleInstance {
  public:
    // The lock, or nullptr when another holder has it. Throws KpsError when
    // the lock file cannot be opened at all.
    static std::unique_ptr<SingleInstance> TryAcquire(const std::string& settingsPath);

    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    const std::string& LockFile() const { return lockFile_; }

    // The lock file that guards `settingsPath`.
    static std::string LockFileFor(const std::string& settingsPath);

  private:
    SingleInstance(int fd, std::string lockFile);

    int fd_;
    std::string lockFile_;
};

}  // namespace kps
