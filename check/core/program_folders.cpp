#include "check/core/program_folders.h"

#include "check/core/wording.h"

namespace brevanto::check {
namespace {

constexpr wchar_t kWritable[] = L"Writable by non-administrators";

// Paths compare as Windows does: without regard to case, "\" and "/" alike, no trailing "\".
std::wstring Key(std::wstring path) {
    for (auto& c : path) {
        c = c == L'/' ? L'\\' : c;
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    while (path.size() > 3 && path.back() == L'\\')
        path.pop_back();
    return path;
}

} // namespace

std::vector<FolderToJudge> FoldersToJudge(const WorkstationFacts& facts) {
    std::vector<FolderToJudge> folders;
    const auto add = [&](const std::wstring& path, const std::wstring& role) {
        for (auto& folder : folders) {
            if (Key(folder.path) == Key(path)) {
                folder.roles += L", " + role;
                return;
            }
        }
        folders.push_back({path, role});
    };
    if (!facts.host.programFolder.empty())
        add(facts.host.programFolder, L"program folder");
    for (const ClassFacts& c : facts.classes) {
        const auto slash = c.serverPath.find_last_of(L"\\/");
        if (c.serverKind == L"InprocServer32" && c.fileExists && slash != std::wstring::npos)
            add(c.serverPath.substr(0, slash == 2 ? 3 : slash), c.role);
    }
    return folders;
}

void JudgeProgramFolders(const WorkstationFacts& facts, Judgement& judgement) {
    for (const ProgramFolderFacts& folder : facts.programFolders) {
        if (folder.changers.empty())
            continue;
        judgement.problems.push_back(
            {std::wstring(kWritable) + L": " + folder.path + L" (" + folder.roles + L"), by " +
                 Joined(folder.changers, L"; "),
             L"let only SYSTEM and Administrators change it and what it holds: whatever another "
             L"account puts there runs in every lab user's run of Brevanto.exe"});
    }
}

std::vector<std::pair<std::wstring, std::wstring>>
ProgramFolderRows(const WorkstationFacts& facts) {
    std::vector<std::pair<std::wstring, std::wstring>> rows;
    for (const ProgramFolderFacts& folder : facts.programFolders) {
        std::wstring value;
        if (!folder.judged)
            value =
                L"its permissions could not be read (error " + std::to_wstring(folder.error) + L")";
        else if (folder.changers.empty())
            value = L"only administrators can change it";
        else
            value = kWritable;
        rows.emplace_back(folder.path, value + L" (" + folder.roles + L")");
    }
    return rows;
}

} // namespace brevanto::check
