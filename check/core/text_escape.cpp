#include "check/core/text_escape.h"

#include <cwchar>
#include <iterator>

#include "report/shown_characters.h"

namespace brevanto::check {
namespace {

// "\\u001B"; upper-case digits for a person, lower-case ones in the JSON.
template <typename Char> std::basic_string<Char> Escaped(char32_t unit, bool upper) {
    wchar_t text[8];
    std::swprintf(text, std::size(text), upper ? L"\\u%04X" : L"\\u%04x",
                  static_cast<unsigned>(unit));
    return std::basic_string<Char>(text, text + 6);
}

// A C string of the short form of CR, LF and tab; null for the others.
const char* ShortEscape(char32_t c) {
    switch (c) {
    case '\r':
        return "\\r";
    case '\n':
        return "\\n";
    case '\t':
        return "\\t";
    }
    return nullptr;
}

} // namespace

std::wstring DisplaySafe(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<char32_t>(static_cast<char16_t>(text[i]));
        if (IsHighSurrogate(c) && i + 1 < text.size() &&
            IsLowSurrogate(static_cast<char16_t>(text[i + 1]))) {
            out += text[i];
            out += text[++i];
        } else if (const char* shortForm = ShortEscape(c)) {
            out += std::wstring(shortForm, shortForm + 2);
        } else if (c == '\\') {
            out += L"\\\\";
        } else if (HidesOrBreaksLines(c) || IsHighSurrogate(c) || IsLowSurrogate(c)) {
            out += Escaped<wchar_t>(c, true);
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string JsonString(std::wstring_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<char32_t>(static_cast<char16_t>(text[i]));
        if (IsHighSurrogate(c) && i + 1 < text.size() &&
            IsLowSurrogate(static_cast<char16_t>(text[i + 1]))) {
            out += Escaped<char>(c, false);
            out += Escaped<char>(static_cast<char16_t>(text[++i]), false);
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            out += Escaped<char>(0xFFFD, false);
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (const char* shortForm = ShortEscape(c)) {
            out += shortForm;
        } else if (c < 0x20 || c >= 0x7F) {
            out += Escaped<char>(c, false);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

} // namespace brevanto::check
