#include "startup/SecondsHistogram.h"

#include <algorithm>

namespace kps {

void SecondsHistogram::Record(std::chrono::steady_clock::duration waited) {
    const double seconds = std::max(0.0, std::chrono::duration<double>(waited).count());
    const auto bucket = static_cast<std::size_t>(
        std::lower_bound(kBounds.begin(), kBounds.end(), seconds) - kBounds.begin());
    std::lock_guard lock(mutex_);
    ++counts_.buckets[bucket];
    counts_.sumSeconds += seconds;
    ++counts_.count;
}

SecondsHistogram::Counts SecondsHistogram::Read() const {
    std::lock_guard lock(mutex_);
    return counts_;
}

}  // namespace kps
