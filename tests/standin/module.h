#pragma once

#include <windows.h>

namespace brevanto::standin {

HMODULE ThisModule();

// Keeps the DLL loaded while a class factory or a client's IClassFactory::LockServer needs it.
void LockModule();
void UnlockModule();

} // namespace brevanto::standin
