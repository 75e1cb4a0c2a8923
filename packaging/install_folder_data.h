#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brevanto::setup {

// What CheckInstallFolder hands the deferred PrepareInstallFolder, which reads no property but its
// CustomActionData: the folder, then "|" (which no path holds), then ALLOWWRITABLEFOLDER's 1 or 0.
struct InstallFolderData {
    std::wstring folder;
    bool allowWritable = false;

    std::wstring Text() const;
    // Nothing for a text that is not one: no folder, or no flag after it.
    static std::optional<InstallFolderData> Read(std::wstring_view text);
};

} // namespace brevanto::setup
