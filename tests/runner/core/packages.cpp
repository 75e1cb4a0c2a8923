#include "tests/runner/core/packages.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

namespace brevanto::runner {
namespace {

using Version = std::array<unsigned, 3>;

std::optional<Version> VersionOf(std::string_view name) {
    constexpr std::string_view kLead = "Brevanto-";
    constexpr std::string_view kTail = ".msi";
    if (name.size() <= kLead.size() + kTail.size() || !name.starts_with(kLead) ||
        !name.ends_with(kTail))
        return std::nullopt;
    std::string_view text = name.substr(kLead.size(), name.size() - kLead.size() - kTail.size());
    Version version{};
    for (std::size_t i = 0; i < version.size(); ++i) {
        const auto dot = text.find('.');
        const std::string_view field = text.substr(0, dot);
        const auto [end, error] =
            std::from_chars(field.data(), field.data() + field.size(), version[i]);
        if (field.empty() || error != std::errc() || end != field.data() + field.size() ||
            (i < 2) == (dot == std::string_view::npos))
            return std::nullopt;
        text = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    }
    return version;
}

} // namespace

std::optional<std::pair<std::string, std::string>>
OlderAndNewerPackages(const std::vector<std::string>& fileNames) {
    std::vector<std::pair<Version, std::string>> packages;
    for (const std::string& name : fileNames)
        if (const auto version = VersionOf(name))
            packages.emplace_back(*version, name);
    if (packages.empty())
        return std::nullopt;
    const auto [oldest, newest] = std::minmax_element(packages.begin(), packages.end());
    if (oldest->first == newest->first)
        return std::nullopt;
    return std::make_pair(oldest->second, newest->second);
}

} // namespace brevanto::runner
