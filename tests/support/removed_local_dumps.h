#pragma once

#include <windows.h>

#include "tests/support/registry_tree.h"

namespace brevanto::support {

// Windows Error Reporting's LocalDumps key, which the tests create and fill.
inline constexpr wchar_t kLocalDumpsKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting\\LocalDumps";

// LocalDumps gone from both registry views for the guard's lifetime, then put back in each view
// as it was found, key and values: an administrator's own settings survive the tests. Writing it
// needs an elevated process. Throws std::runtime_error when it cannot be read or removed.
class RemovedLocalDumps {
public:
    RemovedLocalDumps() {
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kLocalDumpsKey, KEY_WOW64_64KEY);
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kLocalDumpsKey, KEY_WOW64_32KEY);
    }
    RemovedLocalDumps(const RemovedLocalDumps&) = delete;
    RemovedLocalDumps& operator=(const RemovedLocalDumps&) = delete;

private:
    SavedRegistryKey view64_{HKEY_LOCAL_MACHINE, kLocalDumpsKey, KEY_WOW64_64KEY};
    SavedRegistryKey view32_{HKEY_LOCAL_MACHINE, kLocalDumpsKey, KEY_WOW64_32KEY};
};

} // namespace brevanto::support
