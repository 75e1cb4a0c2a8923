#pragma once

#include <cstdint>
#include <string>

#include "bench/samples.h"

namespace brevanto::bench {

struct ExeSizes {
    std::int64_t i686 = -1; // bytes; -1 when the file could not be read
    std::int64_t x64 = -1;
};

// Prints the figures, min / median / max over the runs.
void PrintTable(const BenchSamples& samples, const ExeSizes& sizes);

// Prints each target with its figure and PASS or FAIL; true when all pass.
bool CheckTargets(const BenchSamples& samples, const ExeSizes& sizes);

} // namespace brevanto::bench
