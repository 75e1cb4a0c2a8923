#include "tests/runner/core/driver_environment.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace brevanto::runner {
namespace {

std::string Upper(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

} // namespace

bool HandedToDriver(std::string_view name) {
    const std::string upper = Upper(name);
    constexpr std::array<std::string_view, 3> kPrefixes{"BREVANTO_", "GTEST_", "GOOGLETEST_"};
    constexpr std::array<std::string_view, 3> kNames{"__COMPAT_LAYER", "_NT_SYMBOL_PATH",
                                                     "_NT_ALT_SYMBOL_PATH"};
    for (const std::string_view prefix : kPrefixes)
        if (upper.starts_with(prefix))
            return false;
    return std::find(kNames.begin(), kNames.end(), upper) == kNames.end();
}

std::string TestFileName(std::string_view test) {
    std::string name(test);
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '_')
            c = '-';
    return name;
}

std::string EvidenceName(std::string_view arch, std::string_view test) {
    return TestFileName(std::string(arch) + "-" + std::string(test));
}

} // namespace brevanto::runner
