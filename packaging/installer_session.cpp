#include "packaging/installer_session.h"

namespace brevanto::setup {

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

void Log(MSIHANDLE install, const std::wstring& text) {
    PMSIHANDLE record = MsiCreateRecord(0); // closes the record
    MsiRecordSetStringW(record, 0, (L"Brevanto: " + text).c_str());
    MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
}

} // namespace brevanto::setup
