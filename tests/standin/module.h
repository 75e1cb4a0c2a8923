#pragma once

#include <windows.h>

namespace brevanto::standin {

HMODULE ThisModule();

// Keeps the DLL loaded while a class factory or a client's IClassFactory::LockServer needs it.
void LockModule();
void UnlockModule();

// Keeps the DLL loaded until the process ends, for code of its own that the host's loop calls
// back later (a window procedure, a timer procedure), whatever the host has released by then.
bool PinModule();

} // namespace brevanto::standin
