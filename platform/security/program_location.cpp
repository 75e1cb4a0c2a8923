#include "platform/security/program_location.h"

#include <aclapi.h>

#include <cwctype>

#include "platform/base/environment_folder.h"
#include "platform/base/file_paths.h"
#include "platform/base/folder_creation.h"
#include "platform/base/folder_levels.h"
#include "platform/base/unique_resource.h"
#include "platform/registry/registry_value.h"

namespace brevanto {
namespace {

std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

std::wstring WithoutTrailingSlash(std::wstring path) {
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    return path;
}

std::wstring ErrorText(DWORD error) {
    return L"(error " + std::to_wstring(error) + L")";
}

// The object itself, never what a link on it leads to: Windows opens the link, and Wine, which
// follows it anyway, shows it in the final path.
UniqueFile OpenWithoutFollowing(const std::wstring& path) {
    return UniqueFile(
        CreateFileW(path.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

// Opens the object at the path, refusing a link: returns why, or nothing with the handle held.
// Windows opens a link itself, which says it is one; Wine follows a Unix symbolic link anyway, and
// the final path shows where it went. (Wine reports a drive's own mapping, such as Z:, as a
// reparse point by its path, never by its handle.)
std::optional<std::wstring> OpenedAsAsked(const std::wstring& path, UniqueFile& file) {
    file = OpenWithoutFollowing(path);
    if (!file)
        return Quoted(path) + L" could not be opened " + ErrorText(GetLastError());
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (GetFileInformationByHandleEx(file.Get(), FileAttributeTagInfo, &tag, sizeof tag) &&
        (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return Quoted(path) + L" is a link (a reparse point)";
    const std::wstring final = FinalPath(file.Get());
    if (final.empty())
        return L"the final path of " + Quoted(path) + L" could not be read " +
               ErrorText(GetLastError());
    if (!SamePath(final, AsThisProcessOpens(LongPath(path))))
        return Quoted(path) + L" leads to " + Quoted(final) + L" through a link";
    return std::nullopt;
}

// Judges the opened object's owner and DACL; returns why they could not be read, or nothing.
std::optional<std::wstring> JudgeOpened(HANDLE file, const std::wstring& path, Judged judged,
                                        const std::vector<std::wstring>& trusted,
                                        LocationJudgement& judgement) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD status = GetSecurityInfo(file, SE_FILE_OBJECT,
                                         OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                         nullptr, nullptr, nullptr, nullptr, &descriptor);
    if (status != ERROR_SUCCESS)
        return L"the permissions of " + Quoted(path) + L" could not be read " + ErrorText(status);
    const UniqueLocal held(descriptor);
    const auto changers = Changers(ReadSecurityFacts(descriptor), judged, trusted);
    if (!changers.empty())
        judgement.changers.push_back({path, judged, Named(changers)});
    return std::nullopt;
}

bool IsMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Makes a missing folder with the package's descriptor. Another may have made it first: then it
// is there, and judged as any other.
std::optional<std::wstring> Made(const std::wstring& path, LocationJudgement& judgement) {
    const UniqueLocal descriptor = DescriptorFromSddl(kProgramFolderSddl);
    if (!descriptor)
        return L"the permissions for " + Quoted(path) + L" could not be made " +
               ErrorText(GetLastError());
    switch (MakeOneFolder(path, descriptor.Get())) {
    case FolderMade::Made:
        judgement.made.push_back(path);
        return std::nullopt;
    case FolderMade::There:
        return std::nullopt;
    case FolderMade::Failed:
        break;
    }
    return Quoted(path) + L" could not be made " + ErrorText(GetLastError());
}

// One folder of the walk: there (or made), no link, and judged. Returns why the walk stops: an
// empty text when it stops at a folder that is not there, to report (missingFrom says which).
std::optional<std::wstring> JudgeLevel(const std::wstring& path, Judged judged,
                                       MissingFolders missing,
                                       const std::vector<std::wstring>& trusted,
                                       LocationJudgement& judgement) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (!IsMissing(error))
            return Quoted(path) + L" could not be read " + ErrorText(error);
        if (missing == MissingFolders::Report) {
            judgement.missingFrom = path;
            return L"";
        }
        if (auto problem = Made(path, judgement))
            return problem;
        attributes = GetFileAttributesW(path.c_str());
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Quoted(path) + L" is a file, not a folder";
    UniqueFile folder;
    if (auto problem = OpenedAsAsked(path, folder))
        return problem;
    return JudgeOpened(folder.Get(), path, judged, trusted, judgement);
}

std::optional<std::wstring> JudgeFile(const std::wstring& asGiven,
                                      const std::vector<std::wstring>& trusted,
                                      LocationJudgement& judgement) {
    // As registered, a path may hold "..", which its final path does not.
    const std::wstring path = FullPath(asGiven);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES && IsMissing(GetLastError()))
        return std::nullopt; // not installed yet
    UniqueFile file;
    if (auto problem = OpenedAsAsked(path, file))
        return problem;
    return JudgeOpened(file.Get(), path, Judged::ProgramFile, trusted, judgement);
}

std::wstring WithoutTrailingSlashFull(const std::wstring& path) {
    return WithoutTrailingSlash(FullPath(path));
}

// Read as stored and expanded here: RegGetValue's own expansion is refused (error 87) by Windows
// 7 and Wine for a value that may be either type.
std::wstring ProfilesFolder() {
    return TryReadRegistryText(HKEY_LOCAL_MACHINE,
                               L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
                               L"ProfilesDirectory", Expansion::Expanded)
        .value_or(L"");
}

} // namespace

std::optional<std::wstring> ProgramFolderPathProblem(const std::wstring& path) {
    if (path.rfind(L"\\\\?\\", 0) == 0 || path.rfind(L"\\\\.\\", 0) == 0 ||
        path.rfind(L"//?/", 0) == 0)
        return L"it is a \"\\\\?\\\" path; give a plain one such as C:\\Lab\\Brevanto";
    if (path.rfind(L"\\\\", 0) == 0 || path.rfind(L"//", 0) == 0)
        return L"it is a network path; give a folder on a local fixed drive";
    if (path.size() < 3 || !std::iswalpha(path[0]) || path[1] != L':' ||
        (path[2] != L'\\' && path[2] != L'/'))
        return L"it is not an absolute path with a drive letter, such as C:\\Lab\\Brevanto";
    const std::wstring root = path.substr(0, 2) + L"\\";
    if (GetDriveTypeW(root.c_str()) != DRIVE_FIXED)
        return L"it is not on a local fixed drive";
    const std::wstring full = WithoutTrailingSlashFull(path);
    struct Place {
        std::wstring folder;
        const wchar_t* what;
    };
    wchar_t temp[MAX_PATH + 1];
    const DWORD tempLength = GetTempPathW(MAX_PATH + 1, temp);
    // Temporary folders first: they lie in a profile too, and are the likelier mistake.
    const Place places[] = {
        {EnvironmentFolder(L"TEMP"), L"a temporary folder"},
        {EnvironmentFolder(L"TMP"), L"a temporary folder"},
        {tempLength && tempLength <= MAX_PATH ? std::wstring(temp, tempLength) : L"",
         L"a temporary folder"},
        {EnvironmentFolder(L"SystemRoot") + L"\\Temp", L"a temporary folder"},
        {EnvironmentFolder(L"USERPROFILE"), L"a user profile"},
        {ProfilesFolder(), L"the user profiles"},
    };
    for (const Place& place : places) {
        if (!place.folder.empty() && IsUnder(full, FullPath(place.folder)))
            return std::wstring(L"it is under ") + place.what + L" (" +
                   WithoutTrailingSlash(place.folder) + L"), which its user controls";
    }
    return std::nullopt;
}

LocationJudgement JudgeProgramLocation(const std::wstring& folder,
                                       const std::vector<std::wstring>& files,
                                       MissingFolders missing,
                                       const std::vector<std::wstring>& trusted) {
    LocationJudgement judgement;
    judgement.folder = WithoutTrailingSlashFull(folder);
    const std::vector<std::wstring> levels = LevelsFromDriveRoot(judgement.folder);
    if (levels.empty()) {
        judgement.refusal = Quoted(judgement.folder) + L" is no path from a drive's root";
        return judgement;
    }
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const Judged judged = i + 1 == levels.size() ? Judged::ProgramFolder : Judged::FolderAbove;
        if (auto stop = JudgeLevel(levels[i], judged, missing, trusted, judgement)) {
            judgement.refusal = *stop;
            return judgement;
        }
    }
    for (const std::wstring& file : files) {
        if (auto problem = JudgeFile(file, trusted, judgement)) {
            judgement.refusal = *problem;
            return judgement;
        }
    }
    return judgement;
}

} // namespace brevanto
