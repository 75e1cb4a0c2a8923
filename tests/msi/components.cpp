#include "tests/msi/components.h"

#include <shlobj.h>

#include "platform/base/program_directory.h"
#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "tests/support/failure.h"
#include "tests/support/registry_tree.h"
#include "tests/support/standin_library.h"

namespace brevanto::msi {
namespace {

// Every call names the view and a path from HKLM: a key opened relative to a handle of the other
// view, as RegSetKeyValue and RegDeleteTree open theirs, is redirected back to the caller's view.
const std::wstring kClasses = L"Software\\Classes\\";

void SetDefaultValue(REGSAM view, const std::wstring& keyPath, DWORD type,
                     const std::wstring& value) {
    UniqueRegistryKey key;
    LSTATUS status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, (kClasses + keyPath).c_str(), 0, nullptr,
                                     0, KEY_SET_VALUE | view, nullptr, key.Put(), nullptr);
    if (status == ERROR_SUCCESS)
        status = RegSetValueExW(key.Get(), nullptr, 0, type,
                                reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS)
        support::Fail("cannot set HKLM\\" + Utf8(kClasses + keyPath), status);
}

} // namespace

std::wstring ProgramFilesFolder() {
    wchar_t folder[MAX_PATH];
    const DWORD length = ExpandEnvironmentStringsW(L"%ProgramFiles%", folder, MAX_PATH);
    return std::wstring(folder, length ? length - 1 : 0);
}

std::wstring VendorFolder() {
    return ProgramFilesFolder() + L"\\ZELTAR\\Components";
}

std::wstring CopyStandins(const std::wstring& folder) {
    const int created = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    if (created != ERROR_SUCCESS && created != ERROR_ALREADY_EXISTS)
        support::Fail("cannot create " + Utf8(folder), created);
    const std::wstring source = ProgramDirectory() + L"\\BrevantoStandin.dll";
    const std::wstring copy = folder + L"\\BrevantoStandin.dll";
    if (!CopyFileW(source.c_str(), copy.c_str(), FALSE))
        support::Fail("cannot copy the stand-ins into " + Utf8(folder), GetLastError());
    return copy;
}

void InstallStandins(const std::wstring& folder) {
    CopyStandins(folder);
    support::RegisterStandins(folder);
}

std::wstring UserClassId() {
    static const std::wstring id = [] {
        wchar_t clsid[64] = {};
        DWORD size = sizeof clsid;
        const LSTATUS status =
            RegGetValueW(HKEY_LOCAL_MACHINE, (kClasses + kUserClass + L"\\CLSID").c_str(), nullptr,
                         RRF_RT_REG_SZ, nullptr, clsid, &size);
        if (status != ERROR_SUCCESS)
            support::Fail("the user class is not registered", status);
        return std::wstring(clsid);
    }();
    return id;
}

void RemoveUserClass() {
    support::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kClasses + kUserClass, KEY_WOW64_32KEY);
    RemoveUserServer(KEY_WOW64_32KEY);
}

void RemoveUserServer(REGSAM view) {
    support::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kClasses + L"CLSID\\" + UserClassId(), view);
}

void RegisterUserServer(REGSAM view, DWORD type, const std::wstring& server) {
    const std::wstring clsid = UserClassId();
    SetDefaultValue(view, std::wstring(kUserClass) + L"\\CLSID", REG_SZ, clsid);
    SetDefaultValue(view, L"CLSID\\" + clsid + L"\\InprocServer32", type, server);
}

} // namespace brevanto::msi
