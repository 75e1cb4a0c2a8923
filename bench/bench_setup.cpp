#include "bench/bench_setup.h"

#include <windows.h>

namespace brevanto::bench {
namespace {

constexpr wchar_t kSettingsRoot[] = L"Software\\VB and VBA Program Settings\\ZELTARPDFCreator";

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() {
        if (key_)
            RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    HKEY Get() const { return key_; }
    HKEY* Put() { return &key_; }

private:
    HKEY key_ = nullptr;
};

class Library {
public:
    explicit Library(const std::wstring& path) : module_(LoadLibraryW(path.c_str())) {}
    ~Library() {
        if (module_)
            FreeLibrary(module_);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    HMODULE Get() const { return module_; }

private:
    HMODULE module_;
};

bool Store(const wchar_t* section, const wchar_t* key, const std::wstring& value) {
    const std::wstring path = std::wstring(kSettingsRoot) + L"\\" + section;
    RegistryKey handle;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        handle.Put(), nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExW(
               handle.Get(), key, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

} // namespace

bool RegisterStandins(const std::wstring& folder) {
    const Library library(folder + L"\\BrevantoStandin.dll");
    if (!library.Get())
        return false;
    using Register = HRESULT(STDAPICALLTYPE*)();
    const auto registerServer = reinterpret_cast<Register>(
        reinterpret_cast<void*>(GetProcAddress(library.Get(), "DllRegisterServer")));
    return registerServer && registerServer() == S_OK;
}

bool StoreSampleSettings() {
    const LSTATUS cleared = RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsRoot);
    if (cleared != ERROR_SUCCESS && cleared != ERROR_FILE_NOT_FOUND)
        return false;
    return Store(L"LogInData", L"Username", L"labtech") &&
           Store(L"LogInData", L"Password", L"s3cret") &&
           Store(L"ExeParameters", L"Requestnum", L"2026-120834") &&
           Store(L"Settings", L"ViewMode", L"1") && Store(L"Settings", L"PDFPrintMode", L"1") &&
           Store(L"Settings", L"chkPrintRPT", L"1") && Store(L"Settings", L"chkCRW85Export", L"1");
}

} // namespace brevanto::bench
