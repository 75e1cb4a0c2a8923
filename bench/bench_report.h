#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "bench/samples.h"

namespace brevanto::bench {

struct ExeSizes {
    std::optional<std::uint64_t> i686; // bytes; none when the file could not be read
    std::optional<std::uint64_t> x64;
};

// Prints the figures, min / median / max over the runs.
void PrintTable(const BenchSamples& samples, const ExeSizes& sizes);

// Prints each target with its figure and PASS or FAIL; true when all pass.
bool CheckTargets(const BenchSamples& samples, const ExeSizes& sizes);

} // namespace brevanto::bench
