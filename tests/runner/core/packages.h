#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brevanto::runner {

// Of the Brevanto-X.Y.Z.msi file names, the lowest version's and the highest's (the package tests
// install the older, then upgrade to the newer); nothing unless two versions are there.
std::optional<std::pair<std::string, std::string>>
OlderAndNewerPackages(const std::vector<std::string>& fileNames);

} // namespace brevanto::runner
