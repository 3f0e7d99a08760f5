#pragma once

#include <ctime>
#include <map>
#include <string>

#include "tickets/LayoutFile.h"

namespace kps {

// The layout files read so far. A file is read again only when its
// modification time or size changed, so an edit shows on the next ticket;
// one that disappeared or cannot be read is noticed at once.
class LayoutFileCache {
  public:
    // The layout in `path`, or nullptr when the file cannot be read.
    const LayoutFile* Get(const std::string& path, int codePage);

  private:
    struct Entry {
        timespec modified{};
        long long size = 0;
        int codePage = 0;
        LayoutFile layout;
    };
    std::map<std::string, Entry> entries_;
};

}  // namespace kps
