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

// The folder of the class's server, when Brevanto would run code from it: an in-process DLL or
// a local server's program that is there, named by its path.
std::wstring ServerFolder(const ClassFacts& c) {
    const auto slash = c.serverPath.find_last_of(L"\\/");
    const bool runs = c.serverKind == L"InprocServer32" || c.serverKind == L"LocalServer32";
    if (!runs || !c.fileExists || slash == std::wstring::npos)
        return {};
    return c.serverPath.substr(0, slash == 2 ? 3 : slash);
}

const ProgramFolderFacts* FindJudged(const WorkstationFacts& facts, const std::wstring& path) {
    for (const ProgramFolderFacts& folder : facts.programFolders)
        if (Key(folder.path) == Key(path))
            return &folder;
    return nullptr;
}

} // namespace

std::vector<FolderToJudge> FoldersToJudge(const WorkstationFacts& facts) {
    std::vector<FolderToJudge> folders;
    const auto add = [&](const std::wstring& path, const std::wstring& role,
                         std::vector<std::wstring> files) {
        for (auto& folder : folders) {
            if (Key(folder.path) == Key(path)) {
                folder.roles += L", " + role;
                for (auto& file : files)
                    folder.files.push_back(std::move(file));
                return;
            }
        }
        folders.push_back({path, role, std::move(files)});
    };
    const std::wstring& program = facts.host.programFolder;
    if (!program.empty()) {
        const std::wstring in = program + (program.back() == L'\\' ? L"" : L"\\");
        add(program, L"program folder", {in + L"Brevanto.exe", in + L"brevanto-check.exe"});
    }
    for (const ClassFacts& c : facts.classes) {
        const std::wstring folder = ServerFolder(c);
        if (!folder.empty())
            add(folder, c.role, {c.serverPath});
    }
    return folders;
}

std::wstring WhyNotCreated(const WorkstationFacts& facts, const ClassFacts& c) {
    for (const std::wstring& path : {facts.host.programFolder, ServerFolder(c)}) {
        if (path.empty())
            continue;
        const ProgramFolderFacts* folder = FindJudged(facts, path);
        if (!folder || !folder->judged)
            return path + L" could not be judged";
        if (!folder->changers.empty())
            return L"non-administrators can change " + path;
    }
    return {};
}

void JudgeProgramFolders(const WorkstationFacts& facts, Judgement& judgement) {
    const std::wstring noCode = L"; until then the check creates no component that would load "
                                L"code from it";
    for (const ProgramFolderFacts& folder : facts.programFolders) {
        if (!folder.judged) {
            judgement.problems.push_back(
                {folder.path + L" (" + folder.roles + L") could not be judged: " + folder.problem,
                 L"let every folder on the way be a folder, not a link, whose permissions this "
                 L"account can read" +
                     noCode});
        } else if (!folder.changers.empty()) {
            judgement.problems.push_back(
                {std::wstring(kWritable) + L": " + folder.path + L" (" + folder.roles + L"), by " +
                     Joined(folder.changers, L"; "),
                 L"let only SYSTEM and Administrators change it, the folders above it and what it "
                 L"holds: whatever another account puts there runs in every lab user's run of "
                 L"Brevanto.exe" +
                     noCode});
        }
    }
}

std::vector<std::pair<std::wstring, std::wstring>>
ProgramFolderRows(const WorkstationFacts& facts) {
    std::vector<std::pair<std::wstring, std::wstring>> rows;
    for (const ProgramFolderFacts& folder : facts.programFolders) {
        std::wstring value;
        if (!folder.judged)
            value = L"could not be judged";
        else if (folder.changers.empty())
            value = L"only administrators can change it";
        else
            value = kWritable;
        rows.emplace_back(folder.path, value + L" (" + folder.roles + L")");
    }
    return rows;
}

} // namespace brevanto::check
