#pragma once

#include <optional>
#include <string_view>

namespace brevanto {

// Reads a setting's text as a number, the way the switches and the view mode are tested.
// Accepted: optional blanks (space or tab) around an optional sign, digits with an optional
// decimal point, and an optional exponent ("1", " 1 ", "+1", "-0", "1.0", ".5", "1e0", "1E+0").
// Everything else is not a number: empty text, hexadecimal ("0x1"), "NaN", "inf", a decimal
// comma ("1,0"), digits other than ASCII ones, and values beyond the range of a double.
std::optional<double> ParseNumber(std::wstring_view text);

} // namespace brevanto
