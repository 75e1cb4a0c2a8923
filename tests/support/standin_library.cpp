#include "tests/support/standin_library.h"

#include "platform/base/utf8.h"
#include "platform/security/accounts.h"
#include "tests/support/failure.h"

namespace brevanto::support {

StandinLibrary::StandinLibrary(const std::wstring& folder)
    : path_(folder + L"\\BrevantoStandin.dll"), module_(LoadLibraryW(path_.c_str())) {
    if (!module_)
        Fail("cannot load " + Utf8(path_), GetLastError());
}

void StandinLibrary::Register() const {
    const wchar_t* const scope = ProcessIsElevated() ? L"machine" : L"user";
    const HRESULT result = DllInstall(true, scope);
    if (result != S_OK)
        Fail("DllInstall(" + Utf8(scope) + ") of " + Utf8(path_) + " failed",
             static_cast<unsigned long>(result));
}

HRESULT StandinLibrary::DllInstall(bool install, const wchar_t* commandLine) const {
    using Install = HRESULT(STDAPICALLTYPE*)(BOOL, PCWSTR);
    return reinterpret_cast<Install>(Export("DllInstall"))(install ? TRUE : FALSE, commandLine);
}

void StandinLibrary::ReloadScenario() const {
    using Reload = void(STDAPICALLTYPE*)();
    reinterpret_cast<Reload>(Export("BrevantoStandinReloadScenario"))();
}

void* StandinLibrary::Export(const char* name) const {
    void* const function = reinterpret_cast<void*>(GetProcAddress(module_.Get(), name));
    if (!function)
        Fail(Utf8(path_) + " has no " + name, GetLastError());
    return function;
}

} // namespace brevanto::support
