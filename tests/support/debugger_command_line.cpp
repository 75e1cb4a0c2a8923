#include "tests/support/debugger_command_line.h"

#include <algorithm>
#include <vector>

#include "platform/com/class_resolution.h"

namespace brevanto::support {
namespace {

std::vector<std::wstring_view> Words(std::wstring_view line) {
    std::vector<std::wstring_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(L" \t", at);
        if (start == std::wstring_view::npos)
            break;
        const std::size_t end = std::min(line.find_first_of(L" \t", start), line.size());
        words.push_back(line.substr(start, end - start));
        at = end;
    }
    return words;
}

bool IsOption(std::wstring_view word, wchar_t letter) {
    return word.size() == 2 && (word[0] == L'-' || word[0] == L'/') &&
           (word[1] == letter || word[1] == letter - L'a' + L'A');
}

} // namespace

std::wstring DebuggerImage(std::wstring_view commandLine) {
    const std::size_t start = commandLine.find_first_not_of(L" \t");
    if (start == std::wstring_view::npos)
        return {};
    std::wstring program = ProgramOfCommandLine(commandLine.substr(start));
    const std::size_t slash = program.find_last_of(L"\\/");
    if (slash != std::wstring::npos)
        program.erase(0, slash + 1);
    if (program.find(L'.') == std::wstring::npos)
        program += L".exe";
    return program;
}

bool ReportsOnProcess(std::wstring_view commandLine, unsigned long processId) {
    const std::vector<std::wstring_view> words = Words(commandLine);
    const std::wstring id = std::to_wstring(processId);
    for (std::size_t i = 0; i + 1 < words.size(); ++i)
        if (IsOption(words[i], L'p') && words[i + 1] == id)
            return true;
    return false;
}

} // namespace brevanto::support
