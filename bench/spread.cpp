#include "bench/spread.h"

#include <algorithm>

namespace brevanto::bench {

Spread SpreadOf(std::vector<double> samples) {
    Spread spread;
    if (samples.empty())
        return spread;
    std::sort(samples.begin(), samples.end());
    const std::size_t middle = samples.size() / 2;
    spread.min = samples.front();
    spread.max = samples.back();
    spread.median =
        samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
    spread.empty = false;
    return spread;
}

} // namespace brevanto::bench
