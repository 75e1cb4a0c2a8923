#include "platform/registry/machine_registry.h"

#include "platform/registry/registry_value.h"

namespace brevanto {

UniqueRegistryKey OpenMachineKey(const std::wstring& path) {
    UniqueRegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, key.Put()) !=
        ERROR_SUCCESS)
        key.Reset();
    return key;
}

std::optional<std::wstring> ReadRegistryText(const UniqueRegistryKey& key, const wchar_t* name) {
    if (!key)
        return std::nullopt;
    auto text = TryReadRegistryText(key.Get(), name, Expansion::AsStored);
    if (!text || text->empty())
        return std::nullopt;
    return text;
}

std::optional<DWORD> ReadRegistryNumber(const UniqueRegistryKey& key, const wchar_t* name) {
    if (!key)
        return std::nullopt;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

} // namespace brevanto
