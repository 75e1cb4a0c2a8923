#include "tests/runner/run_copy.h"

#include <windows.h>

#include <shlobj.h>

#include "platform/base/folder_creation.h"
#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "tests/runner/files.h"
#include "tests/runner/runner_error.h"

namespace brevanto::runner {
namespace {

// Full control for SYSTEM and Administrators, read and execute for Users, nothing inherited from
// above: the permissions the package gives a folder it makes.
constexpr wchar_t kAdministratorsOnly[] =
    L"D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    const HRESULT result = SHGetKnownFolderPath(id, 0, nullptr, &path);
    std::wstring folder = SUCCEEDED(result) && path ? path : L"";
    CoTaskMemFree(path);
    if (folder.empty())
        throw RunnerError("the system names no folder for the copy: " +
                          Utf8(DescribeHresult(result)));
    return folder;
}

void CreateAdministratorsOnlyFolder(const std::wstring& path) {
    const UniqueLocal descriptor = DescriptorFromSddl(kAdministratorsOnly);
    if (!descriptor)
        ThrowRunnerError("cannot make the copy's permissions", GetLastError());
    if (MakeOneFolder(path, descriptor.Get()) == FolderMade::Failed)
        ThrowRunnerError("cannot create " + Utf8(path), GetLastError());
}

void CopyOne(const std::wstring& from, const std::wstring& to) {
    if (!CopyFileW(from.c_str(), to.c_str(), FALSE))
        ThrowRunnerError("cannot copy " + Utf8(from), GetLastError());
    // Absent unless the file was downloaded; Wine keeps no streams and reports the name invalid.
    DeleteFileW((to + L":Zone.Identifier").c_str());
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

std::wstring CopyFolderFor(bool elevated, const std::wstring& runName) {
    const std::wstring base =
        KnownFolder(elevated ? FOLDERID_ProgramFiles : FOLDERID_LocalAppData) + L"\\Brevanto tests";
    return base + L"\\" + runName;
}

void CopyBundle(const std::wstring& bundle, const std::wstring& packages, const std::wstring& copy,
                bool adminOnly) {
    const auto slash = copy.find_last_of(L'\\');
    const std::wstring base = copy.substr(0, slash);
    if (adminOnly)
        CreateAdministratorsOnlyFolder(base);
    else
        CreateFolders(base);
    // Below the base the copy inherits its permissions.
    CreateFolders(copy);
    for (const wchar_t* arch : {L"mingw-i686", L"mingw-x64"}) {
        const std::wstring from = bundle + L"\\" + arch + L"\\bin";
        if (!Exists(from))
            continue;
        const std::wstring to = copy + L"\\" + arch + L"\\bin";
        CreateFolders(to);
        for (const wchar_t* program : kBundledPrograms)
            if (Exists(from + L"\\" + program))
                CopyOne(from + L"\\" + program, to + L"\\" + program);
    }
    // The packages, with what the package tests read beside them (the signing certificate's
    // thumbprint and public part).
    const std::vector<FolderEntry> files = FolderEntries(packages, L"*");
    if (!files.empty())
        CreateFolders(copy + L"\\packages");
    for (const FolderEntry& file : files)
        if (!file.folder)
            CopyOne(packages + L"\\" + file.name, copy + L"\\packages\\" + file.name);
}

} // namespace brevanto::runner
