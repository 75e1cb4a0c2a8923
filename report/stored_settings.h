#pragma once

#include <string>
#include <string_view>

#include "report/settings_store.h"

namespace brevanto {

// Every setting of the report job belongs to this application in the settings store.
inline constexpr std::wstring_view kSettingsApp = L"ZELTARPDFCreator";

// The stored text of section/key, or defaultText when the key is absent. Read afresh every time.
std::wstring GetSetting(const SettingsStore& store, std::wstring_view section,
                        std::wstring_view key, std::wstring_view defaultText = {});

// Reads section/key (defaultText when absent) as a number and compares it exactly with constant.
// Throws RunError naming the setting when the text is not a number.
bool SettingEquals(const SettingsStore& store, std::wstring_view section, std::wstring_view key,
                   std::wstring_view defaultText, double constant);

} // namespace brevanto
