#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/base/unique_resource.h"

namespace brevanto {

// A key under HKEY_LOCAL_MACHINE, opened for reading in the 64-bit view where there is one: the
// view Windows keeps its own configuration in, also for a 32-bit program. Empty when absent.
UniqueRegistryKey OpenMachineKey(const std::wstring& path);

// A REG_SZ or REG_EXPAND_SZ value as stored (unexpanded), read through the one reader of text
// values; nothing when the key is empty, the value is absent, of another type, or empty.
std::optional<std::wstring> ReadRegistryText(const UniqueRegistryKey& key, const wchar_t* name);

// A REG_DWORD value; nothing when the key is empty, or the value absent or of another type.
std::optional<DWORD> ReadRegistryNumber(const UniqueRegistryKey& key, const wchar_t* name);

} // namespace brevanto
