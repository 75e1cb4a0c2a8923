#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/security/access_rules.h"
#include "platform/security/folder_security.h"

namespace brevanto {

// Why a folder may not hold Brevanto's programs, or nothing when it may: only an absolute path on
// a local fixed drive, not a network (UNC) or "\\?\" path, and nowhere under a user profile or a
// temporary folder, where its user, not an administrator, decides what is there.
std::optional<std::wstring> ProgramFolderPathProblem(const std::wstring& path);

// The descriptor of each folder the package makes: full control for SYSTEM and Administrators
// and read and execute for Users, inheriting nothing from above, so that whoever a parent lets
// in cannot change it.
inline constexpr wchar_t kProgramFolderSddl[] =
    L"D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

// A folder on the way, the folder itself or one of the files judged, with the accounts besides
// the trusted ones that may change it.
struct ObjectChangers {
    std::wstring path;
    Judged judged = Judged::ProgramFolder;
    std::vector<AccountRights> changers;
};

enum class MissingFolders {
    Report, // stop at the first folder that is not there and say which; nothing is made
    Create, // make each with kProgramFolderSddl (and judge it: another may have come first)
};

// What a walk from the drive's root down to a folder Brevanto runs code from found.
struct LocationJudgement {
    std::wstring folder;      // the full path judged, without a trailing backslash
    std::wstring missingFrom; // Report: the first folder on the way that is not there
    std::wstring refusal;     // why nothing there can be trusted: a link, a folder that could not
                              // be read or made; empty when every folder was judged
    std::vector<std::wstring> made;       // Create: the folders made, from the top down
    std::vector<ObjectChangers> changers; // by folder from the root down, then by file

    bool Complete() const { return refusal.empty() && missingFrom.empty(); }
    // Only the trusted accounts can change the folder, any folder above it or any file judged.
    bool OnlyTrustedMayChange() const { return Complete() && changers.empty(); }
};

// Walks from the folder's drive root down to the folder: a reparse point at any level is refused
// (a link a user made, or redirected, would take SYSTEM's or an administrator's writes, and the
// programs' loads, elsewhere), and so is a folder whose final path is not the one asked for. Each
// folder is read through a handle that follows no link. The folder itself is judged as
// Judged::ProgramFolder and every folder above it, the root included, as Judged::FolderAbove;
// each of the files that is there as Judged::ProgramFile. Trusted: SYSTEM, Administrators,
// TrustedInstaller and trusted (TrustedAccountsHere()).
LocationJudgement JudgeProgramLocation(const std::wstring& folder,
                                       const std::vector<std::wstring>& files,
                                       MissingFolders missing,
                                       const std::vector<std::wstring>& trusted);

} // namespace brevanto
