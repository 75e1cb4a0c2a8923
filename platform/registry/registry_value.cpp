#include "platform/registry/registry_value.h"

#include "platform/base/unique_resource.h"
#include "platform/registry/registry_text.h"

namespace brevanto {

static_assert(kRegistryText == REG_SZ && kRegistryExpandText == REG_EXPAND_SZ);

namespace {

std::uint32_t ExpandEnvironment(const wchar_t* text, wchar_t* buffer, std::uint32_t capacity) {
    return static_cast<std::uint32_t>(ExpandEnvironmentStringsW(text, buffer, capacity));
}

} // namespace

std::optional<std::wstring> TryReadRegistryText(HKEY key, const wchar_t* valueName,
                                                Expansion expansion) {
    if (!key)
        return std::nullopt;
    const ValueQuery query = [&](std::uint32_t& type, std::byte* buffer, std::uint32_t& size) {
        DWORD valueType = 0;
        DWORD valueSize = size;
        const LONG status = RegQueryValueExW(key, valueName, nullptr, &valueType,
                                             reinterpret_cast<BYTE*>(buffer), &valueSize);
        type = valueType;
        size = valueSize;
        return status == ERROR_SUCCESS     ? QueryStatus::Done
               : status == ERROR_MORE_DATA ? QueryStatus::MoreData
                                           : QueryStatus::Failed;
    };
    const EnvironmentExpansion expand = &ExpandEnvironment;
    return TryReadRegistryText(query, expansion == Expansion::Expanded ? &expand : nullptr);
}

std::optional<std::wstring> TryReadRegistryText(HKEY root, const std::wstring& subKey,
                                                const wchar_t* valueName, Expansion expansion,
                                                REGSAM view) {
    UniqueRegistryKey key;
    if (RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE | view, key.Put()) != ERROR_SUCCESS)
        return std::nullopt;
    return TryReadRegistryText(key.Get(), valueName, expansion);
}

std::optional<DWORD> TryReadRegistryNumber(HKEY key, const wchar_t* valueName) {
    if (!key)
        return std::nullopt;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

std::wstring ExpandedEnvironmentText(const std::wstring& text) {
    return ExpandedText(text, &ExpandEnvironment);
}

} // namespace brevanto
