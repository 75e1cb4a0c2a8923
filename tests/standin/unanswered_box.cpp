#include "unanswered_box.h"

#include "journal.h"

#include <windows.h>

#include <new>
#include <string>

namespace brevanto::standin {

void ShowUnansweredBox(std::string_view object, std::string_view member,
                       std::string_view where) noexcept {
    try {
        WriteEventJournal(JournalKind::Box, object, member, {SeenField("where", where)});
        // The names are ASCII, as the member tables spell them.
        std::wstring text(object.begin(), object.end());
        if (member != "-")
            text += L"." + std::wstring(member.begin(), member.end());
        text += L" needs an answer before it can go on.";
        MessageBoxW(nullptr, text.c_str(), L"Brevanto stand-in", MB_OK | MB_ICONQUESTION);
    } catch (const std::bad_alloc&) {
        // Without memory for its text the component asks nothing.
    }
}

} // namespace brevanto::standin
