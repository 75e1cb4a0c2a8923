#pragma once

#include <string_view>

namespace brevanto::runner {

// Takes the next line off the front of text, without its line end: LF, or CR LF as the drivers'
// output and files written on Windows end their lines.
inline std::string_view TakeLine(std::string_view& text) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    return line;
}

} // namespace brevanto::runner
