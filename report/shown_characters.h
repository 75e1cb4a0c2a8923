#pragma once

namespace brevanto {

// What a stored or reported value may hold that must not reach a reader as it is, wherever such
// a value is shown: the workstation check's text report and the run's Application event. Code
// units of UTF-16 text, taken as char32_t.

constexpr bool IsHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

constexpr bool IsLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Characters a reader cannot see: the soft hyphen, the zero-width space, non-joiner and joiner,
// the word joiner and the invisible mathematical operators after it, and the byte order mark
// (zero-width no-break space); and the implicit direction marks (left-to-right, right-to-left,
// Arabic letter), which reorder what follows them.
constexpr bool IsInvisible(char32_t c) {
    return c == 0x00AD || (c >= 0x200B && c <= 0x200F) || (c >= 0x2060 && c <= 0x2064) ||
           c == 0xFEFF || c == 0x061C;
}

// Control characters (C0, DEL, C1), the line and paragraph separators U+2028 and U+2029, the
// bidirectional controls U+202A to U+202E and U+2066 to U+2069, and the invisible characters
// above: each can break a line, or hide or reorder what a reader sees.
constexpr bool HidesOrBreaksLines(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || IsInvisible(c);
}

} // namespace brevanto
