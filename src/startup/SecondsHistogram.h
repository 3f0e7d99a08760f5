#pragma once

#include <array>
#include <chrono>
#include <mutex>

namespace kps {

// How long kitchen tickets took from the pass that first found their items
// waiting to their first byte, counted in fixed buckets. The lanes record,
// the tick reads.
class FirstByteLatency {
  public:
    // Upper bounds of the buckets, in seconds; a last bucket takes the rest.
    static constexpr std::array<double, 12> kBounds = {0.01, 0.025, 0.05, 0.1, 0.25, 0.5,
                                                       1,    2.5,   5,    10,  30,   60};

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
