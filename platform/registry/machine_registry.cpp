#include "platform/registry/machine_registry.h"

namespace brevanto {

UniqueRegistryKey OpenMachineKey(const std::wstring& path) {
    UniqueRegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, key.Put()) !=
        ERROR_SUCCESS)
        key.Reset();
    return key;
}

} // namespace brevanto
