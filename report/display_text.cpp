#include "report/display_text.h"

#include <algorithm>

namespace brevanto {

std::wstring ForDisplay(std::wstring_view text, std::size_t limit) {
    std::size_t cut = text.size();
    if (cut > limit) {
        cut = limit;
        if (cut > 0 && text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF)
            --cut;
    }
    std::wstring shown(text.substr(0, cut));
    std::replace(shown.begin(), shown.end(), L'\0', L' ');
    if (cut < text.size())
        shown += L"... (" + std::to_wstring(text.size()) + L" characters)";
    return shown;
}

} // namespace brevanto
