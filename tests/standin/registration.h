#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

namespace brevanto::standin {

// Where the classes are recorded: HKLM\Software\Classes, which every process sees, or
// HKCU\Software\Classes, which COM merges over it only for a process that is not elevated (an
// elevated process, and an administrator with UAC off, reads the machine's classes alone).
enum class RegistrationScope { Machine, User };

// "machine" or "user", as DllInstall's command line names them; empty for anything else.
std::optional<RegistrationScope> ScopeNamed(std::wstring_view name);

// Records every creatable class in the scope's classes, so CLSIDFromProgID and CoCreateInstance
// find this DLL; UnregisterServer removes exactly those keys there.
HRESULT RegisterServer(RegistrationScope scope);
HRESULT UnregisterServer(RegistrationScope scope);

} // namespace brevanto::standin
