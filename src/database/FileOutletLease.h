#pragma once

#include <mutex>
#include <string>

#include "database/OutletLease.h"

namespace kps {

// The lease of one outlet of an embedded database: a write lock on one byte
// of "<databaseFile>.lease", at an offset derived from the lease name, so
// every outlet kept in one database file has a lease of its own. The lock
// belongs to the open file, not the process, so two opens conflict even
// within one process, and the system frees it when the holder closes the
// file or its process ends.
//
// Only those who may write the database may hold it: the lease file is
// given the database file's owner and group, readable and writable by the
// owner and by the group only when the group may write the database, never
// by anyone else; a write lock needs a descriptor opened for writing, and a
// read lock (which would block it) needs read access nobody else has.
class FileOutletLease final : public OutletLease {
  public:
    FileOutletLease(std::string databaseFile, const std::string& leaseName);
    ~FileOutletLease() override;
    FileOutletLease(const FileOutletLease&) = delete;
    FileOutletLease& operator=(const FileOutletLease&) = delete;

    // Throws KpsError when the lease file cannot be opened or created, is a
    // symbolic link or belongs to a user other than this one and the
    // database's owner.
    bool TryAcquire() override;
    // False too when the lease file was removed or replaced, as another
    // server could lock the new one.
    bool StillHeld() override;
    void Release() override;

    const std::string& LeaseFile() const { return path_; }

  private:
    int OpenLeaseFile() const;
    bool HeldNow() const;
    void Close();

    std::string databaseFile_;
    std::string path_;
    long long offset_;
    std::mutex mutex_;
    int fd_ = -1;
};

}  // namespace kps
