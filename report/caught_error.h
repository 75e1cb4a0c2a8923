#pragma once

#include <string>
#include <string_view>

namespace brevanto {

// What to say of an exception that carries no description of ours.
struct CaughtErrorWords {
    std::wstring_view unknown;          // an exception of no standard kind
    std::wstring_view outOfMemory = {}; // std::bad_alloc; empty: its what(), as any other
};

// The text the caption, the event or the log shows for the exception being handled: a RunError's
// description as it is, a standard exception's what() widened byte by byte (the library's texts
// are plain ASCII), else the words given. Call it only inside a catch block.
std::wstring CaughtErrorText(const CaughtErrorWords& words);

} // namespace brevanto
