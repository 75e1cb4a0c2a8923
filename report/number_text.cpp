#include "report/number_text.h"

#include <charconv>
#include <string>

namespace brevanto {
namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}
bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

std::wstring_view TrimBlanks(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::size_t SkipDigits(std::wstring_view text, std::size_t pos) {
    while (pos < text.size() && IsDigit(text[pos]))
        ++pos;
    return pos;
}

// True when text is [sign] digits [. digits] [e [sign] digits] with at least one mantissa digit.
bool IsDecimalNumber(std::wstring_view text) {
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == L'+' || text[pos] == L'-'))
        ++pos;
    const std::size_t intStart = pos;
    pos = SkipDigits(text, pos);
    std::size_t mantissaDigits = pos - intStart;
    if (pos < text.size() && text[pos] == L'.') {
        const std::size_t fracStart = ++pos;
        pos = SkipDigits(text, pos);
        mantissaDigits += pos - fracStart;
    }
    if (mantissaDigits == 0)
        return false;
    if (pos < text.size() && (text[pos] == L'e' || text[pos] == L'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == L'+' || text[pos] == L'-'))
            ++pos;
        const std::size_t expStart = pos;
        pos = SkipDigits(text, pos);
        if (pos == expStart)
            return false;
    }
    return pos == text.size();
}

} // namespace

std::optional<double> ParseNumber(std::wstring_view text) {
    const std::wstring_view number = TrimBlanks(text);
    if (!IsDecimalNumber(number))
        return std::nullopt;

    // The grammar check leaves only ASCII, so narrowing is exact. from_chars takes no '+'.
    std::string ascii(number.begin(), number.end());
    const char* first = ascii.data();
    if (*first == '+')
        ++first;
    double value = 0;
    const auto [end, error] = std::from_chars(first, ascii.data() + ascii.size(), value);
    if (error != std::errc() || end != ascii.data() + ascii.size())
        return std::nullopt;
    return value;
}

} // namespace brevanto
