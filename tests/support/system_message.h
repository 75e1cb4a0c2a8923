#pragma once

#include <string_view>

namespace brevanto::support {

// Whether text is head, then a message of the system's, then tail: where a product text embeds
// FormatMessage's text ("Access denied" under Wine, "Access is denied" on English Windows,
// translated on others), a test knows only what stands around it. The message is one line of at
// least one character.
inline bool EmbedsSystemMessage(std::wstring_view text, std::wstring_view head,
                                std::wstring_view tail) {
    if (text.size() <= head.size() + tail.size() || !text.starts_with(head) ||
        !text.ends_with(tail))
        return false;
    const std::wstring_view message =
        text.substr(head.size(), text.size() - head.size() - tail.size());
    return message.find_first_of(L"\r\n") == std::wstring_view::npos;
}

} // namespace brevanto::support
