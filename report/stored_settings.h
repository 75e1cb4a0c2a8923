#pragma once

#include <string>
#include <string_view>

#include "report/settings_store.h"

namespace brevanto {

// Every setting of the report job belongs to this application in the settings store.
inline constexpr std::wstring_view kSettingsApp = L"ZELTARPDFCreator";

// Every setting the report job reads, in the order of first use.
struct JobSetting {
    std::wstring_view section;
    std::wstring_view key;
    std::wstring_view defaultText; // for the export folder, see DefaultExportFolder
    bool numeric = false;          // read as a number and compared
    bool secret = false;           // never shown
};
inline constexpr JobSetting kJobSettings[] = {
    {L"LogInData", L"Username", L""},
    {L"LogInData", L"Password", L"", false, true},
    {L"SaveDirectories", L"Convert", L""},
    {L"Settings", L"txtReportDLLVersion", L"1"},
    {L"ExeParameters", L"Requestnum", L""},
    {L"Settings", L"ViewMode", L"1", true},
    {L"Settings", L"PDFPrintMode", L"1"},
    {L"Settings", L"chkPrintRPT", L"1", true},
    {L"Settings", L"chkCRW85Export", L"1", true},
};

// The export folder when none is stored: the program's folder followed by "\PDF", as it is.
std::wstring DefaultExportFolder(const std::wstring& programDirectory);

// The default the job reads the setting with.
std::wstring DefaultFor(const JobSetting& setting, const std::wstring& programDirectory);

// The stored text of section/key, or defaultText when the key is absent. Read afresh every time.
std::wstring GetSetting(const SettingsStore& store, std::wstring_view section,
                        std::wstring_view key, std::wstring_view defaultText = {});

// Reads section/key (defaultText when absent) as a number and compares it exactly with constant.
// Throws RunError naming the setting when the text is not a number.
bool SettingEquals(const SettingsStore& store, std::wstring_view section, std::wstring_view key,
                   std::wstring_view defaultText, double constant);

} // namespace brevanto
