// The spread of a set of measurements: mean, 95th percentile, minimum, median and maximum.
#pragma once

#include <algorithm>
#include <vector>

namespace bench {

struct Spread {
    double mean = 0;
    double p95 = 0;
    double min = 0;
    double median = 0;
    double max = 0;
};

inline Spread spreadOf(std::vector<double> values) {
    Spread spread;
    if (values.empty()) {
        return spread;
    }
    for (const double value : values) {
        spread.mean += value;
    }
    const size_t n = values.size();
    spread.mean /= static_cast<double>(n);
    std::sort(values.begin(), values.end());
    spread.p95 = values[std::min(n - 1, static_cast<size_t>(static_cast<double>(n) * 0.95))];
    spread.min = values.front();
    spread.max = values.back();
    spread.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return spread;
}

} // namespace bench
