#include "report/stored_settings.h"

#include "platform/run_error.h"
#include "report/number_text.h"

namespace brevanto {
namespace {

// Long enough to recognise a value, short enough to keep a caption readable.
constexpr std::size_t kQuotedValueLimit = 64;

std::wstring QuoteForMessage(std::wstring_view value) {
    if (value.size() <= kQuotedValueLimit)
        return L"\"" + std::wstring(value) + L"\"";
    std::size_t cut = kQuotedValueLimit;
    // Never split a surrogate pair.
    if (value[cut - 1] >= 0xD800 && value[cut - 1] <= 0xDBFF)
        --cut;
    return L"\"" + std::wstring(value.substr(0, cut)) + L"\"... (" + std::to_wstring(value.size()) +
           L" characters)";
}

} // namespace

std::wstring GetSetting(const SettingsStore& store, std::wstring_view section,
                        std::wstring_view key, std::wstring_view defaultText) {
    if (auto stored = store.TryRead(kSettingsApp, section, key))
        return std::move(*stored);
    return std::wstring(defaultText);
}

bool SettingEquals(const SettingsStore& store, std::wstring_view section, std::wstring_view key,
                   std::wstring_view defaultText, double constant) {
    const std::wstring text = GetSetting(store, section, key, defaultText);
    const auto number = ParseNumber(text);
    if (!number) {
        throw RunError(std::wstring(section) + L"\\" + std::wstring(key) + L" is not a number: " +
                       QuoteForMessage(text));
    }
    return *number == constant;
}

} // namespace brevanto
