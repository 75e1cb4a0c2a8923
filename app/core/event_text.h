#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace brevanto {

// The most characters one string of the run's event holds, its end mark included. ReportEventW
// refuses a string over 31,839 characters; the facts of a run are far shorter, and a crash report
// composes them in fixed buffers, so each string is capped well below that.
inline constexpr std::size_t kEventStringLimit = 2048;

// What ends a string that was cut.
inline constexpr std::wstring_view kEventCutMark = L"...";

// One string of the run's event, composed in place without allocating: a crash report writes it
// while another thread may hold the heap's lock. A value that would make the string longer than
// kEventStringLimit is cut where its last piece still fits before the end mark (never inside an
// escape or a surrogate pair), the mark ends it, and nothing is added after that.
class EventString {
public:
    std::wstring_view View() const { return {text_.data(), length_}; }
    // NUL-terminated, for ReportEventW.
    const wchar_t* CString() const { return text_.data(); }
    bool WasCut() const { return cut_; }
    void Clear();

    // The program's own wording, added as it is.
    EventString& Plain(std::wstring_view text);
    // A stored or reported value (a caption, a path, a component's text), added so that it
    // cannot make a line of its own nor hide or reorder what a reader sees: CR, LF and tab as
    // \r, \n and \t; other control characters (C0, DEL, C1), U+2028, U+2029, the bidirectional
    // controls U+202A to U+202E and U+2066 to U+2069, and unpaired surrogates as \uXXXX.
    EventString& Value(std::wstring_view text);
    EventString& Decimal(std::uint64_t value);
    // "0x" and at least `digits` upper-case hexadecimal digits.
    EventString& Hex(std::uint64_t value, int digits);

private:
    // Adds one piece whole, or cuts the string here.
    void Piece(std::wstring_view piece);

    std::array<wchar_t, kEventStringLimit + 1> text_{};
    std::size_t length_ = 0;
    bool cut_ = false;
};

// Every occurrence of secret in text replaced by kSecretMask, from the left, none overlapping;
// the text unchanged when secret is empty.
inline constexpr std::wstring_view kSecretMask = L"********";
std::wstring MaskSecret(std::wstring_view text, std::wstring_view secret);

// The last count characters of text (a surrogate pair counting as one); all of it when shorter.
std::wstring_view LastCharacters(std::wstring_view text, std::size_t count);

} // namespace brevanto
