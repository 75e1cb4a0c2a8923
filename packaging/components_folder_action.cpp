#include <windows.h>

#include <msiquery.h>

#include <string>

#include "platform/class_registration.h"
#include "platform/ole_apartment.h"

namespace {

std::wstring Property(MSIHANDLE install, const wchar_t* name) {
    wchar_t none[1] = L"";
    DWORD size = 0;
    if (MsiGetPropertyW(install, name, none, &size) != ERROR_MORE_DATA)
        return {};
    std::wstring value(++size, L'\0');
    if (MsiGetPropertyW(install, name, value.data(), &size) != ERROR_SUCCESS)
        return {};
    value.resize(size);
    return value;
}

// A line in the installer's log (msiexec /l*v), where an administrator looks for the reason.
void Log(MSIHANDLE install, const std::wstring& text) {
    PMSIHANDLE record = MsiCreateRecord(0); // closes the record
    MsiRecordSetStringW(record, 0, (L"Brevanto: " + text).c_str());
    MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
}

} // namespace

// Sets COMPONENTSFOLDER to the folder (with a trailing backslash) of the in-process server
// registered for the class named in COMPONENTCLASS, looked up as Brevanto.exe looks it up: this
// DLL is 32-bit, so the installer runs it in a 32-bit process that sees the 32-bit registry view,
// the class name gives the CLSID and the CLSID its InprocServer32, expanded. A registration whose
// file is missing gives no folder: a stale one must not decide where Brevanto goes.
extern "C" UINT __stdcall FindComponentsFolder(MSIHANDLE install) {
    try {
        const brevanto::OleApartment ole;
        const std::wstring progId = Property(install, L"COMPONENTCLASS");
        const brevanto::ClassRegistration registration = brevanto::ReadClassRegistration(progId);
        const std::wstring& path = registration.serverPath;
        const auto slash = path.rfind(L'\\');
        if (registration.serverKind != L"InprocServer32" || slash == std::wstring::npos ||
            !brevanto::FileExists(path)) {
            Log(install, L"no in-process server of \"" + progId + L"\" is here (CLSID \"" +
                             registration.clsid + L"\", server \"" + path + L"\")");
            return ERROR_SUCCESS;
        }
        Log(install, L"\"" + progId + L"\" is served by " + path);
        MsiSetPropertyW(install, L"COMPONENTSFOLDER", path.substr(0, slash + 1).c_str());
        return ERROR_SUCCESS;
    } catch (...) {
        return ERROR_INSTALL_FAILURE;
    }
}
