#include "report/display_text.h"

namespace brevanto {

std::wstring ShortenForDisplay(std::wstring_view text, std::size_t limit) {
    if (text.size() <= limit)
        return std::wstring(text);
    std::size_t cut = limit;
    if (cut > 0 && text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF)
        --cut;
    return std::wstring(text.substr(0, cut)) + L"... (" + std::to_wstring(text.size()) +
           L" characters)";
}

} // namespace brevanto
