#pragma once

#include <string>
#include <vector>

namespace kps::bench {

// Median, 99th percentile (nearest rank) and maximum of a sample.
struct Spread {
    std::size_t count = 0;
    double median = 0;
    double p99 = 0;
    double max = 0;
};

Spread SpreadOf(std::vector<double> sample);

// "median / p99 / max" in whole numbers, or "-" for an empty sample.
std::string Show(const Spread& spread);

}  // namespace kps::bench
