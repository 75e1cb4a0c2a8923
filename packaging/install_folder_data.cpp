#include "packaging/install_folder_data.h"

namespace brevanto::setup {

std::wstring InstallFolderData::Text() const {
    return folder + (allowWritable ? L"|1" : L"|0");
}

std::optional<InstallFolderData> InstallFolderData::Read(std::wstring_view text) {
    const auto bar = text.rfind(L'|');
    if (bar == std::wstring_view::npos || bar == 0)
        return std::nullopt;
    const std::wstring_view flag = text.substr(bar + 1);
    if (flag != L"0" && flag != L"1")
        return std::nullopt;
    return InstallFolderData{std::wstring(text.substr(0, bar)), flag == L"1"};
}

} // namespace brevanto::setup
