#pragma once

#include <array>
#include <chrono>
#include <mutex>

namespace kps {

// Durations counted in fixed buckets, as the metrics page shows them (how
// long tickets waited for their first byte, how long passes took). Any
// thread may record; the tick reads.
class SecondsHistogram {
  public:
    // Upper bounds of the buckets, in seconds; a last bucket takes the rest.
    static constexpr std::array<double, 13> kBounds = {0.005, 0.01, 0.025, 0.05, 0.1, 0.25, 0.5,
                                                       1,     2.5,  5,     10,   30,  60};

    struct Counts {
        std::array<long long, kBounds.size() + 1> buckets{};  // each its own, not cumulative
        double sumSeconds = 0;
        long long count = 0;
    };

    void Record(std::chrono::steady_clock::duration waited);
    Counts Read() const;

  private:
    mutable std::mutex mutex_;
    Counts counts_;
};

}  // namespace kps
