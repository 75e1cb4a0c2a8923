#include "tests/runner/touched_places.h"

#include <windows.h>

#include <set>

#include "platform/base/utf8.h"
#include "tests/runner/core/machine_guard.h"
#include "tests/runner/files.h"
#include "tests/runner/registry_trees.h"
#include "tests/runner/runner_error.h"

namespace brevanto::runner {
namespace {

std::vector<std::string> ClassPaths() {
    std::vector<std::string> paths;
    for (const char* progId : {"ZELTAR_User.clsCurrentUser", "velmonic.labresultviewer"})
        paths.push_back(std::string("Software\\Classes\\") + progId);
    for (const std::string_view clsid : {kUserClassId, kViewerClassId}) {
        paths.push_back("Software\\Classes\\CLSID\\" + std::string(clsid));
        paths.push_back("Software\\Classes\\AppID\\" + std::string(clsid));
    }
    return paths;
}

struct TreeName {
    const char* root;
    const char* view;
    const char* path;
};

// Keys of Windows' own configuration, each in the views a 32-bit and a 64-bit program write.
constexpr TreeName kMachineTrees[] = {
    {"HKCU", "64", "Software\\VB and VBA Program Settings"},
    {"HKLM", "64", "SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting\\LocalDumps"},
    {"HKLM", "32", "SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting\\LocalDumps"},
    {"HKLM", "64", "SOFTWARE\\ZELTAR\\Brevanto"},
    {"HKLM", "32", "SOFTWARE\\ZELTAR\\Brevanto"},
    {"HKLM", "64", "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Brevanto"},
};

// Folders the tests make, with the environment's variables; one whose variable is not set here
// is left out.
constexpr const wchar_t* kTestFolders[] = {
    L"%SystemDrive%\\BrevantoFolderTest",
    L"%SystemDrive%\\BrevantoLocationTest",
    L"%SystemDrive%\\BrevantoWritableViewer",
    L"%SystemDrive%\\Lab",
    L"%SystemDrive%\\LabNew",
    L"%SystemDrive%\\LabOpen",
    L"%SystemDrive%\\Dumps",
    L"%ProgramFiles%\\ZELTAR",
    L"%ProgramFiles(x86)%\\ZELTAR",
    L"%ProgramW6432%\\ZELTAR",
    L"%USERPROFILE%\\ZELTAR",
    L"%USERPROFILE%\\Brevanto",
    L"%TEMP%\\Brevanto",
    L"%LOCALAPPDATA%\\CrashDumps",
};
// The temp folder's entries that start with this, whatever their case: the tests' journals, dump
// folders, scratch folders and copies.
constexpr wchar_t kTempEntries[] = L"%TEMP%";
constexpr char kTempPrefix[] = "brevanto";

std::wstring Expanded(const wchar_t* text) {
    std::wstring expanded(ExpandEnvironmentStringsW(text, nullptr, 0), L'\0');
    const DWORD length =
        ExpandEnvironmentStringsW(text, expanded.data(), static_cast<DWORD>(expanded.size()));
    expanded.resize(length ? length - 1 : 0);
    return expanded.find(L'%') == std::wstring::npos ? expanded : std::wstring();
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> EntriesStartingWith(const std::wstring& folder,
                                             const std::string& prefix) {
    std::vector<std::string> names;
    for (const FolderEntry& entry : FolderEntries(folder, FromUtf8(prefix) + L"*"))
        names.push_back(Utf8(entry.name));
    return names;
}

} // namespace

void SnapshotTouchedPlaces(RunState& state) {
    for (const char* root : {"HKLM", "HKCU"})
        for (const char* view : {"32", "64"})
            for (const std::string& path : ClassPaths())
                state.trees.push_back(ReadTree(root, view, path));
    for (const TreeName& tree : kMachineTrees)
        state.trees.push_back(ReadTree(tree.root, tree.view, tree.path));
    std::set<std::wstring> seen;
    for (const wchar_t* pattern : kTestFolders) {
        const std::wstring folder = Expanded(pattern);
        if (folder.empty() || !seen.insert(folder).second)
            continue;
        state.folders.push_back({Utf8(folder), Exists(folder)});
    }
    if (const std::wstring temp = Expanded(kTempEntries); !temp.empty())
        state.entries.push_back({Utf8(temp), kTempPrefix, EntriesStartingWith(temp, kTempPrefix)});
}

std::vector<std::string> RestoreTouchedPlaces(const RunState& state) {
    std::vector<std::string> failures;
    for (const SnapshotTree& tree : state.trees) {
        try {
            RestoreTree(tree);
        } catch (const RunnerError& error) {
            failures.push_back(error.what());
        }
    }
    for (const WatchedFolder& folder : state.folders) {
        if (!folder.present && !RemovePath(FromUtf8(folder.path)))
            failures.push_back("cannot remove " + folder.path);
    }
    for (const WatchedEntries& entries : state.entries) {
        const std::set<std::string> before(entries.present.begin(), entries.present.end());
        for (const std::string& name :
             EntriesStartingWith(FromUtf8(entries.folder), entries.prefix))
            if (!before.contains(name) && !RemovePath(FromUtf8(entries.folder + "\\" + name)))
                failures.push_back("cannot remove " + entries.folder + "\\" + name);
    }
    return failures;
}

void WriteRunState(const std::wstring& runFolder, const RunState& state) {
    const std::wstring path = runFolder + L"\\run-state.txt";
    const std::wstring partial = path + L".new";
    WriteWholeFile(partial, RunStateText(state));
    if (!MoveFileExW(partial.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ThrowRunnerError("cannot write " + Utf8(path), GetLastError());
}

RunState ReadRunState(const std::wstring& runFolder) {
    const std::wstring path = runFolder + L"\\run-state.txt";
    const auto text = ReadWholeFile(path);
    if (!text)
        throw RunnerError("no run state in " + Utf8(runFolder) + " (run-state.txt)");
    std::string error;
    auto state = ParseRunState(*text, error);
    if (!state)
        throw RunnerError(Utf8(path) + " cannot be read: " + error);
    return *state;
}

} // namespace brevanto::runner
