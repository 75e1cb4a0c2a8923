#pragma once

#include <vector>

namespace brevanto::bench {

// Smallest, middle and largest of a set of samples.
struct Spread {
    double min = 0;
    double median = 0;
    double max = 0;
    bool empty = true;
};

// The median of an even count is the mean of the two middle samples.
Spread SpreadOf(std::vector<double> samples);

} // namespace brevanto::bench
