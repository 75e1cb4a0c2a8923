#pragma once

#include <windows.h>

namespace brevanto::standin {

// Records every creatable class under HKEY_CLASSES_ROOT so CLSIDFromProgID and CoCreateInstance
// find this DLL; UnregisterServer removes exactly those keys.
HRESULT RegisterServer();
HRESULT UnregisterServer();

} // namespace brevanto::standin
