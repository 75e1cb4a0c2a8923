#pragma once

#include <windows.h>

#include <string>

#include "platform/base/unique_resource.h"

namespace brevanto {

// A key under HKEY_LOCAL_MACHINE, opened for reading in the 64-bit view where there is one: the
// view Windows keeps its own configuration in, also for a 32-bit program. Empty when absent; its
// values are read with platform/registry/registry_value.h, and an empty key reads as nothing.
UniqueRegistryKey OpenMachineKey(const std::wstring& path);

} // namespace brevanto
