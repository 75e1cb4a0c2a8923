#pragma once

#include <windows.h>

#include <string>

namespace brevanto::msi {

inline constexpr wchar_t kUserClass[] = L"ZELTAR_User.clsCurrentUser";

// The Program Files folder of 32-bit programs, without a trailing backslash.
std::wstring ProgramFilesFolder();
// Where a workstation keeps the product family's components: its "ZELTAR\Components".
std::wstring VendorFolder();

// Copies the stand-ins from the test's own folder into folder (created if needed); gives the
// copy's path.
std::wstring CopyStandins(const std::wstring& folder);
// Copies them and registers them there, as the components' own setup would (the 32-bit view,
// HKEY_CLASSES_ROOT).
void InstallStandins(const std::wstring& folder);

// The CLSID the user class's ProgID names in the 32-bit view, read at the first call.
std::wstring UserClassId();

// Changes to the user class's registration under HKLM\Software\Classes. Windows (and Wine)
// keep a CLSID in each registry view (KEY_WOW64_32KEY, KEY_WOW64_64KEY) and a ProgID in one place
// both views share.
// Unregisters the class as the 32-bit component's uninstall would: its ProgID and 32-bit CLSID.
void RemoveUserClass();
// Removes the class's CLSID from one view.
void RemoveUserServer(REGSAM view);
// Registers the class (ProgID and CLSID) with this default value of its InprocServer32 in a view.
void RegisterUserServer(REGSAM view, DWORD type, const std::wstring& server);

} // namespace brevanto::msi
