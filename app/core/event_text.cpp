#include "app/core/event_text.h"

#include "report/shown_characters.h"

namespace brevanto {
namespace {

wchar_t HexDigit(unsigned value) {
    return static_cast<wchar_t>(value < 10 ? L'0' + value : L'A' + (value - 10));
}

} // namespace

void EventString::Clear() {
    length_ = 0;
    cut_ = false;
    text_[0] = L'\0';
}

void EventString::Piece(std::wstring_view piece) {
    if (cut_)
        return;
    // The mark must still fit after whatever follows, so the last pieces leave room for it.
    if (length_ + piece.size() + kEventCutMark.size() > kEventStringLimit) {
        cut_ = true;
        piece = kEventCutMark;
    }
    for (const wchar_t c : piece)
        text_[length_++] = c;
    text_[length_] = L'\0';
}

EventString& EventString::Plain(std::wstring_view text) {
    // One piece a character: wording is cut like a value, never past the limit.
    for (std::size_t i = 0; i < text.size(); ++i)
        Piece(text.substr(i, 1));
    return *this;
}

EventString& EventString::Value(std::wstring_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<char16_t>(text[i]);
        if (IsHighSurrogate(c) && i + 1 < text.size() &&
            IsLowSurrogate(static_cast<char16_t>(text[i + 1]))) {
            Piece(text.substr(i, 2));
            ++i;
        } else if (c == u'\r') {
            Piece(L"\\r");
        } else if (c == u'\n') {
            Piece(L"\\n");
        } else if (c == u'\t') {
            Piece(L"\\t");
        } else if (HidesOrBreaksLines(c) || IsHighSurrogate(c) || IsLowSurrogate(c)) {
            const wchar_t escape[] = {L'\\',
                                      L'u',
                                      HexDigit((c >> 12) & 0xF),
                                      HexDigit((c >> 8) & 0xF),
                                      HexDigit((c >> 4) & 0xF),
                                      HexDigit(c & 0xF)};
            Piece(std::wstring_view(escape, 6));
        } else {
            Piece(text.substr(i, 1));
        }
    }
    return *this;
}

EventString& EventString::Decimal(std::uint64_t value) {
    wchar_t digits[20];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (value);
    wchar_t text[20];
    for (std::size_t i = 0; i < count; ++i)
        text[i] = digits[count - 1 - i];
    return Plain(std::wstring_view(text, count));
}

EventString& EventString::Hex(std::uint64_t value, int digits) {
    wchar_t text[18] = {L'0', L'x'};
    int count = 1;
    while (count < 16 && (value >> (4 * count)) != 0)
        ++count;
    if (count < digits)
        count = digits > 16 ? 16 : digits;
    for (int i = 0; i < count; ++i)
        text[2 + i] = HexDigit(static_cast<unsigned>(value >> (4 * (count - 1 - i))) & 0xF);
    return Plain(std::wstring_view(text, 2 + static_cast<std::size_t>(count)));
}

std::wstring MaskSecret(std::wstring_view text, std::wstring_view secret) {
    if (secret.empty())
        return std::wstring(text);
    std::wstring masked;
    std::size_t from = 0;
    for (std::size_t at = text.find(secret); at != std::wstring_view::npos;
         at = text.find(secret, from)) {
        masked.append(text.substr(from, at - from));
        masked.append(kSecretMask);
        from = at + secret.size();
    }
    masked.append(text.substr(from));
    return masked;
}

std::wstring_view LastCharacters(std::wstring_view text, std::size_t count) {
    std::size_t start = text.size();
    for (std::size_t taken = 0; taken < count && start > 0; ++taken) {
        --start;
        if (start > 0 && IsLowSurrogate(static_cast<char16_t>(text[start])) &&
            IsHighSurrogate(static_cast<char16_t>(text[start - 1])))
            --start;
    }
    return text.substr(start);
}

} // namespace brevanto
