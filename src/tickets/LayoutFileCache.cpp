#include "tickets/LayoutFileCache.h"

#include <sys/stat.h>
#include <unistd.h>

namespace kps {

const LayoutFile* LayoutFileCache::Get(const std::string& path, int codePage) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        ::access(path.c_str(), R_OK) != 0) {
        entries_.erase(path);
        return nullptr;
    }
    auto found = entries_.find(path);
    const bool same = found != entries_.end() &&
                      found->second.modified.tv_sec == info.st_mtim.tv_sec &&
                      found->second.modified.tv_nsec == info.st_mtim.tv_nsec &&
                      found->second.size == static_cast<long long>(info.st_size) &&
                      found->second.codePage == codePage;
    if (same) {
        return &found->second.layout;
    }
    Entry& entry = entries_[path];
    entry = Entry{info.st_mtim, static_cast<long long>(info.st_size), codePage,
                  LayoutFile::Read(path, codePage)};
    return &entry.layout;
}

}  // namespace kps
