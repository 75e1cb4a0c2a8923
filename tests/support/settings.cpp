#include "tests/support/settings.h"

#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "tests/support/failure.h"

namespace brevanto::support {

void StoreUserValue(const std::wstring& keyPath, const std::wstring& name, DWORD type,
                    const void* data, std::size_t size) {
    UniqueRegistryKey key;
    LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0,
                                     KEY_SET_VALUE, nullptr, key.Put(), nullptr);
    if (status != ERROR_SUCCESS)
        Fail("cannot create HKCU\\" + Utf8(keyPath), status);
    status = RegSetValueExW(key.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                            static_cast<DWORD>(size));
    if (status != ERROR_SUCCESS)
        Fail("cannot store " + Utf8(name) + " in HKCU\\" + Utf8(keyPath), status);
}

void DeleteUserKey(const std::wstring& keyPath) {
    const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, keyPath.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        Fail("cannot delete HKCU\\" + Utf8(keyPath), status);
}

void ClearSettings() {
    DeleteUserKey(kSettingsRoot);
}

void StoreSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    StoreRawSetting(section, key, REG_SZ, value.c_str(), (value.size() + 1) * sizeof(wchar_t));
}

void StoreRawSetting(const std::wstring& section, const std::wstring& key, DWORD type,
                     const void* data, std::size_t size) {
    StoreUserValue(std::wstring(kSettingsRoot) + L"\\" + section, key, type, data, size);
}

void StoreSampleSettings() {
    struct Setting {
        const wchar_t* section;
        const wchar_t* key;
        const wchar_t* value;
    };
    const Setting sample[] = {
        {L"LogInData", L"Username", L"labtech"},
        {L"LogInData", L"Password", L"s3cret"},
        {L"ExeParameters", L"Requestnum", kSampleRequestnum},
        {L"Settings", L"ViewMode", L"1"},
        {L"Settings", L"PDFPrintMode", L"1"},
        {L"Settings", L"chkPrintRPT", L"1"},
        {L"Settings", L"chkCRW85Export", L"1"},
    };
    ClearSettings();
    for (const Setting& setting : sample)
        StoreSetting(setting.section, setting.key, setting.value);
}

} // namespace brevanto::support
