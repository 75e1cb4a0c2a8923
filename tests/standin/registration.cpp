#include "registration.h"

#include "creatable_classes.h"
#include "module.h"
#include "platform/base/unique_resource.h"

#include <objbase.h>

#include <string>

namespace brevanto::standin {
namespace {

std::wstring ClsidText(REFCLSID clsid) {
    wchar_t text[40] = {};
    StringFromGUID2(clsid, text, static_cast<int>(std::size(text)));
    return text;
}

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(ThisModule(), path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

HKEY ScopeRoot(RegistrationScope scope) {
    return scope == RegistrationScope::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// A class key's path below the scope's root, in this process's registry view (on 64-bit Windows
// a 32-bit DLL's classes land in the 32-bit view, where 32-bit hosts look for them).
std::wstring ClassesPath(const std::wstring& path) {
    return L"Software\\Classes\\" + path;
}

// Creates (or opens) <classes>\<path> and sets one string value; a null name sets the default
// value.
LSTATUS WriteValue(RegistrationScope scope, const std::wstring& path, const wchar_t* name,
                   const std::wstring& value) {
    UniqueRegistryKey key;
    LSTATUS status = RegCreateKeyExW(ScopeRoot(scope), ClassesPath(path).c_str(), 0, nullptr, 0,
                                     KEY_SET_VALUE, nullptr, key.Put(), nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          bytes);
}

constexpr wchar_t kNoSurrogate[] = L"C:\\windows\\brevanto-no-surrogate.exe";

struct RegistryValue {
    std::wstring keyPath;
    const wchar_t* name; // null: the key's default value
    std::wstring data;
};

LSTATUS RegisterOneClass(RegistrationScope scope, const CreatableClass& creatable,
                         const std::wstring& modulePath) {
    const std::wstring clsid = ClsidText(creatable.clsid);
    const std::wstring progId = creatable.progId;
    const std::wstring clsidKey = L"CLSID\\" + clsid;
    const RegistryValue values[] = {
        {progId, nullptr, creatable.friendlyName},
        {progId + L"\\CLSID", nullptr, clsid},
        {clsidKey, nullptr, creatable.friendlyName},
        {clsidKey + L"\\ProgID", nullptr, progId},
        {clsidKey + L"\\InprocServer32", nullptr, modulePath},
        {clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        // When the in-process server refuses a class, Wine tries a surrogate (dllhost.exe) even
        // with no DllSurrogate registered; that surrogate would outlive the test, without its
        // scenario, and serve later tests' creations. A surrogate that cannot start ends the
        // attempt at once, as Windows does with no surrogate registered.
        {clsidKey, L"AppID", clsid},
        {L"AppID\\" + clsid, L"DllSurrogate", kNoSurrogate},
    };
    for (const RegistryValue& value : values) {
        const LSTATUS status = WriteValue(scope, value.keyPath, value.name, value.data);
        if (status != ERROR_SUCCESS)
            return status;
    }
    return ERROR_SUCCESS;
}

// Removes the key with everything below it; a key that is already gone is fine.
LSTATUS DeleteKey(RegistrationScope scope, const std::wstring& path) {
    const LSTATUS status = RegDeleteTreeW(ScopeRoot(scope), ClassesPath(path).c_str());
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

} // namespace

std::optional<RegistrationScope> ScopeNamed(std::wstring_view name) {
    const auto is = [name](std::wstring_view word) {
        return CompareStringOrdinal(name.data(), static_cast<int>(name.size()), word.data(),
                                    static_cast<int>(word.size()), TRUE) == CSTR_EQUAL;
    };
    if (is(L"machine"))
        return RegistrationScope::Machine;
    if (is(L"user"))
        return RegistrationScope::User;
    return std::nullopt;
}

HRESULT RegisterServer(RegistrationScope scope) {
    const std::wstring modulePath = ModulePath();
    if (modulePath.empty())
        return HRESULT_FROM_WIN32(GetLastError());
    for (const CreatableClass& creatable : CreatableClasses()) {
        const LSTATUS status = RegisterOneClass(scope, creatable, modulePath);
        if (status != ERROR_SUCCESS)
            return HRESULT_FROM_WIN32(status);
    }
    return S_OK;
}

HRESULT UnregisterServer(RegistrationScope scope) {
    HRESULT result = S_OK;
    for (const CreatableClass& creatable : CreatableClasses()) {
        const std::wstring clsid = ClsidText(creatable.clsid);
        for (const std::wstring& path :
             {std::wstring(creatable.progId), L"CLSID\\" + clsid, L"AppID\\" + clsid}) {
            const LSTATUS status = DeleteKey(scope, path);
            if (status != ERROR_SUCCESS)
                result = HRESULT_FROM_WIN32(status);
        }
    }
    return result;
}

} // namespace brevanto::standin
