#include "report/stored_settings.h"

#include "report/display_text.h"
#include "report/number_text.h"
#include "report/run_error.h"

namespace brevanto {
namespace {

// Long enough to recognise a value, short enough to keep a caption readable.
constexpr std::size_t kQuotedValueLimit = 64;

} // namespace

std::wstring DefaultExportFolder(const std::wstring& programDirectory) {
    return programDirectory + L"\\PDF";
}

std::wstring DefaultFor(const JobSetting& setting, const std::wstring& programDirectory) {
    if (setting.section == kExportFolder.section && setting.key == kExportFolder.key)
        return DefaultExportFolder(programDirectory);
    return std::wstring(setting.defaultText);
}

std::wstring GetSetting(const SettingsStore& store, std::wstring_view section,
                        std::wstring_view key, std::wstring_view defaultText) {
    if (auto stored = store.TryRead(kSettingsApp, section, key))
        return std::move(*stored);
    return std::wstring(defaultText);
}

std::wstring GetSetting(const SettingsStore& store, const JobSetting& setting,
                        const std::wstring& programDirectory) {
    return GetSetting(store, setting.section, setting.key, DefaultFor(setting, programDirectory));
}

bool SettingEquals(const SettingsStore& store, const JobSetting& setting, double constant) {
    return SettingEquals(store, setting.section, setting.key, setting.defaultText, constant);
}

bool SettingEquals(const SettingsStore& store, std::wstring_view section, std::wstring_view key,
                   std::wstring_view defaultText, double constant) {
    const std::wstring text = GetSetting(store, section, key, defaultText);
    const auto number = ParseNumber(text);
    if (!number) {
        throw RunError(std::wstring(section) + L"\\" + std::wstring(key) + L" is not a number: \"" +
                       ForDisplay(text, kQuotedValueLimit) + L"\"");
    }
    return *number == constant;
}

} // namespace brevanto
