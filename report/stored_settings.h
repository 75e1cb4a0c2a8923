#pragma once

#include <string>
#include <string_view>

#include "report/settings_store.h"

namespace brevanto {

// Every setting of the report job belongs to this application in the settings store.
inline constexpr std::wstring_view kSettingsApp = L"ZELTARPDFCreator";

// A setting the report job reads: where it is stored and the text it is read with when absent.
struct JobSetting {
    std::wstring_view section;
    std::wstring_view key;
    std::wstring_view defaultText; // for the export folder, see DefaultExportFolder
    bool secret = false;           // never shown
};

inline constexpr JobSetting kUsername{L"LogInData", L"Username", L""};
inline constexpr JobSetting kPassword{L"LogInData", L"Password", L"", true};
inline constexpr JobSetting kExportFolder{L"SaveDirectories", L"Convert", L""};
inline constexpr JobSetting kReportDllVersion{L"Settings", L"txtReportDLLVersion", L"1"};
inline constexpr JobSetting kRequestNumber{L"ExeParameters", L"Requestnum", L""};
// What decides how the viewer is set up: the view mode (view only when it is the number
// kViewOnlyMode), the PDF print mode, and the print and export switches (on when they are the
// number kSwitchOn). The job and the workstation check's prediction both decide through
// report/view_mode.h.
inline constexpr JobSetting kViewMode{L"Settings", L"ViewMode", L"1"};
inline constexpr JobSetting kPdfPrintMode{L"Settings", L"PDFPrintMode", L"1"};
inline constexpr JobSetting kPrintSwitch{L"Settings", L"chkPrintRPT", L"1"};
inline constexpr JobSetting kExportSwitch{L"Settings", L"chkCRW85Export", L"1"};
inline constexpr double kViewOnlyMode = 0;
inline constexpr double kSwitchOn = 1;

// Every setting the report job reads, in the order of first use.
inline constexpr JobSetting kJobSettings[] = {
    kUsername, kPassword,     kExportFolder, kReportDllVersion, kRequestNumber,
    kViewMode, kPdfPrintMode, kPrintSwitch,  kExportSwitch,
};

// The export folder when none is stored: the program's folder followed by "\PDF", as it is.
std::wstring DefaultExportFolder(const std::wstring& programDirectory);

// The default the job reads the setting with.
std::wstring DefaultFor(const JobSetting& setting, const std::wstring& programDirectory);

// The stored text of section/key, or defaultText when the key is absent. Read afresh every time.
std::wstring GetSetting(const SettingsStore& store, std::wstring_view section,
                        std::wstring_view key, std::wstring_view defaultText = {});
// The same for one of the job's settings, with its default (DefaultFor).
std::wstring GetSetting(const SettingsStore& store, const JobSetting& setting,
                        const std::wstring& programDirectory = {});

// Reads section/key (defaultText when absent) as a number and compares it exactly with constant.
// Throws RunError naming the setting when the text is not a number.
bool SettingEquals(const SettingsStore& store, std::wstring_view section, std::wstring_view key,
                   std::wstring_view defaultText, double constant);
bool SettingEquals(const SettingsStore& store, const JobSetting& setting, double constant);

} // namespace brevanto
