#pragma once

#include <string>
#include <string_view>

namespace brevanto::check {

// A text as the text report shows it: control characters (C0, DEL, C1), the line and paragraph
// separators U+2028 and U+2029, the bidirectional controls U+202A to U+202E and U+2066 to U+2069,
// the direction marks (U+200E, U+200F, U+061C), the invisible characters (U+00AD, U+200B to
// U+200D, U+2060 to U+2064, U+FEFF) and unpaired surrogates as \uXXXX (CR, LF and tab as \r, \n
// and \t), and a backslash as \\, so that a stored value can neither break a line of the report,
// reorder or hide what a reader sees, nor pass for an escape: every backslash shown starts one.
std::wstring DisplaySafe(std::wstring_view text);

// A JSON string, quotes included, in plain ASCII: quotes, backslashes and control characters
// escaped, every character from 0x7F up as \uXXXX (above U+FFFF as its surrogate pair), an
// unpaired surrogate as \ufffd.
std::string JsonString(std::wstring_view text);

} // namespace brevanto::check
