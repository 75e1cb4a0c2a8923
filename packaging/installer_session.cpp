#include "packaging/installer_session.h"

#include "report/caught_error.h"

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

UINT FailedOnException(MSIHANDLE install, const wchar_t* action) noexcept {
    try {
        Log(install, std::wstring(action) + L" stopped: " +
                         CaughtErrorText({L"an unknown exception", L"out of memory"}));
    } catch (...) {
        // Not even the log line could be made; the failed status still stops the install.
    }
    return ERROR_INSTALL_FAILURE;
}

} // namespace brevanto::setup
