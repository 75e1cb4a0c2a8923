#include "check/core/virtual_store.h"

namespace brevanto::check {

std::wstring VirtualStoreFolder(const std::wstring& localAppData, const std::wstring& path) {
    if (localAppData.empty() || path.size() < 3 || path[1] != L':' || path[2] != L'\\')
        return {};
    std::wstring base = localAppData;
    if (base.back() == L'\\')
        base.pop_back();
    return base + L"\\VirtualStore" + path.substr(2);
}

} // namespace brevanto::check
