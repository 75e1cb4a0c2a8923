#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace brevanto {

// An account that could change what a folder of programs runs: replace a program, drop a DLL
// beside it, or take the folder over. What it may do is named in words an administrator can act
// on ("add files", "change its permissions", ...).
struct FolderChanger {
    std::wstring sid;     // "S-1-5-32-545"
    std::wstring account; // "BUILTIN\Users"; the SID again when it has no name here
    std::vector<std::wstring> rights;
};

// Who may change a folder of programs, from its security descriptor (owner and DACL), besides
// SYSTEM, Administrators, TrustedInstaller, CREATOR OWNER on inherit-only entries and, when
// given, the account of an administrator who installs (trustedSid). Entries inherited by what
// the folder will hold count too: the programs placed in it take them.
std::vector<FolderChanger> FolderChangers(PSECURITY_DESCRIPTOR descriptor,
                                          const std::wstring& trustedSid);

struct FolderSecurity {
    bool read = false; // false: the folder's security could not be read (error says why)
    DWORD error = ERROR_SUCCESS;
    std::vector<FolderChanger> changers;
};

// Reads a folder's owner and DACL and judges them as FolderChangers does.
FolderSecurity JudgeFolderSecurity(const std::wstring& folder, const std::wstring& trustedSid);

// The SID of the account this code runs as, when that account is an administrator with its
// administrator rights in effect (elevated); nothing otherwise.
std::optional<std::wstring> AdministratorRunningThis();

// Why a folder may not hold Brevanto's programs, or nothing when it may: only an absolute path on
// a local fixed drive, not a network (UNC) or "\\?\" path, and nowhere under a user profile or a
// temporary folder, where its user, not an administrator, decides what is there.
std::optional<std::wstring> ProgramFolderPathProblem(const std::wstring& path);

// Creates the folder and any missing folder above it, each with full control for SYSTEM and
// Administrators and read and execute for Users, inheriting nothing from above.
bool CreateProgramFolder(const std::wstring& path);

// The descriptor CreateProgramFolder gives, in SDDL.
inline constexpr wchar_t kProgramFolderSddl[] =
    L"D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

} // namespace brevanto
