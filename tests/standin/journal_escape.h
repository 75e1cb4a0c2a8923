#pragma once

#include <string>
#include <string_view>

namespace brevanto::standin {

// Spells UTF-16 text as printable ASCII for one journal field. Every code unit has exactly one
// spelling, so tests can compare lines byte for byte, and no tab or newline can split a line.
std::string EscapeForJournal(std::u16string_view text);

// EscapeForJournal, wrapped in double quotes.
std::string QuoteForJournal(std::u16string_view text);

} // namespace brevanto::standin
