#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace brevanto {

// How a COM class is registered.
struct ClassRegistration {
    std::wstring clsid;           // "{...}"; empty when the ProgID is not registered
    std::wstring treatAs;         // the class COM creates instead (TreatAs); empty: none
    std::wstring serverKind;      // "InprocServer32" or "LocalServer32"; empty when neither is
    std::wstring serverPath;      // as registered, environment variables expanded, quotes removed
    std::wstring threadingModel;  // empty when none is registered
    bool fromUserClasses = false; // a key read came from HKEY_CURRENT_USER\Software\Classes
};

// As this process sees the classes root (its own registry view; on Windows the user's classes
// merged over the machine's).
ClassRegistration ReadClassRegistration(std::wstring_view progId);

// As Windows merges them for this user: the user's classes (HKEY_CURRENT_USER\Software\Classes)
// first, then the classes root. Wine does not merge the user's classes into the classes root;
// this reads them itself.
ClassRegistration ReadMergedClassRegistration(std::wstring_view progId);

// As the machine alone registers it (HKEY_LOCAL_MACHINE\Software\Classes), which no user can
// change: in this process's registry view, or in the one asked for (KEY_WOW64_32KEY). The path
// is taken as written: a bare file name is not looked up on the search path.
ClassRegistration ReadMachineClassRegistration(std::wstring_view progId, REGSAM view = 0);

// As COM finds it for an elevated process, which reads the machine's classes only (in this
// process's registry view) and ignores the user's: a bare file name is looked up as the loader
// would look it up.
ClassRegistration ReadElevatedClassRegistration(std::wstring_view progId);

} // namespace brevanto
