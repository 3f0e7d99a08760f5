#pragma once

#include <mutex>
#include <string>

#include "database/OutletLease.h"

namespace kps {

// An exclusive lock (flock) on a lease file beside the embedded database.
// The system frees it when the holder closes the file or its process ends;
// two opens conflict even within one process.
class FileOutletLease final : public OutletLease {
  public:
    explicit FileOutletLease(std::string path);
    ~FileOutletLease() override;
    FileOutletLease(const FileOutletLease&) = delete;
    FileOutletLease& operator=(const FileOutletLease&) = delete;

    // Throws KpsError when the lease file cannot be opened or created.
    bool TryAcquire() override;
    // False too when the lease file was removed or replaced, as another
    // server could lock the new one.
    bool StillHeld() override;
    void Release() override;

  private:
    bool HeldNow() const;
    void Close();

    std::string path_;
    std::mutex mutex_;
    int fd_ = -1;
};

}  // namespace kps
