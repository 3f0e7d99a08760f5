#include "harness/Spread.h"

#include <algorithm>
#include <cmath>

namespace kps::bench {

Spread SpreadOf(std::vector<double> sample) {
    Spread spread;
    spread.count = sample.size();
    if (sample.empty()) {
        return spread;
    }
    std::sort(sample.begin(), sample.end());
    const auto rank = [&](double p) {
        const auto k = static_cast<std::size_t>(std::ceil(p * static_cast<double>(sample.size())));
        return sample[std::clamp<std::size_t>(k, 1, sample.size()) - 1];
    };
    const std::size_t n = sample.size();
    spread.median = n % 2 == 1 ? sample[n / 2] : (sample[n / 2 - 1] + sample[n / 2]) / 2;
    spread.p99 = rank(0.99);
    spread.max = sample.back();
    return spread;
}

std::string Show(const Spread& spread) {
    if (spread.count == 0) {
        return "-";
    }
    const auto whole = [](double v) { return std::to_string(std::lround(v)); };
    return whole(spread.median) + " / " + whole(spread.p99) + " / " + whole(spread.max);
}

}  // namespace kps::bench
