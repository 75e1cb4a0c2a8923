#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Who may change a file or folder Brevanto runs code from, or read what a folder will hold, from
// its owner and DACL as plain data, apart from the calls that read them, so that the rules are
// tested without Windows.
namespace brevanto {

// Access rights as winnt.h defines them, for files and folders.
namespace access {
inline constexpr std::uint32_t kReadData = 0x1;     // FILE_READ_DATA, FILE_LIST_DIRECTORY
inline constexpr std::uint32_t kWriteData = 0x2;    // FILE_WRITE_DATA, FILE_ADD_FILE
inline constexpr std::uint32_t kAppendData = 0x4;   // FILE_APPEND_DATA, FILE_ADD_SUBDIRECTORY
inline constexpr std::uint32_t kDeleteChild = 0x40; // FILE_DELETE_CHILD
inline constexpr std::uint32_t kDelete = 0x10000;
inline constexpr std::uint32_t kWriteDac = 0x40000;
inline constexpr std::uint32_t kWriteOwner = 0x80000;
} // namespace access

// Well-known accounts the rules name.
inline constexpr wchar_t kSystemSid[] = L"S-1-5-18";
inline constexpr wchar_t kAdministratorsSid[] = L"S-1-5-32-544";
inline constexpr wchar_t kTrustedInstallerSid[] =
    L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
inline constexpr wchar_t kEveryoneSid[] = L"S-1-1-0";
inline constexpr wchar_t kCreatorOwnerSid[] = L"S-1-3-0";
inline constexpr wchar_t kOwnerRightsSid[] = L"S-1-3-4";

// One entry of a DACL, as stored.
struct AccessEntry {
    bool allows = true; // an allowed entry (or its conditional form); false: a denied one
    std::wstring sid;
    std::uint32_t mask = 0; // generic rights are mapped to file rights by the rules
    bool inheritOnly = false;
    bool objectInherit = false;    // reaches the files made in the folder
    bool containerInherit = false; // reaches the folders made in it
};

// An object's owner and DACL.
struct SecurityFacts {
    std::wstring owner;  // its SID; empty: none
    bool hasDacl = true; // false: there is no DACL, and everyone may do everything
    std::vector<AccessEntry> entries;
};

// What the object is to Brevanto, which decides the rights that count.
enum class Judged {
    // The folder Brevanto's programs or a component run from: whoever can add, replace, remove
    // or rename what it holds, or will hold through inherited entries, could plant code.
    ProgramFolder,
    // A folder on the way to it, the drive's root included: whoever can delete or rename it or
    // what it holds could move the program folder away and put another in its place. Adding
    // folders beside it changes nothing.
    FolderAbove,
    // A program or DLL: whoever can rewrite, replace or delete it.
    ProgramFile,
};

// An account besides the trusted ones that holds rights that count, each named by what it lets
// the account do ("add files", "delete or rename it", ...), in a fixed order.
struct Holder {
    std::wstring sid;
    std::vector<std::wstring> rights;
};

// The accounts an administrator acts as only when elevated: SYSTEM, Administrators,
// TrustedInstaller, and those given (the domain's Domain Admins and Enterprise Admins). An
// administrator's own account is not among them: their unelevated session holds it too.
bool IsTrustedAccount(std::wstring_view sid, const std::vector<std::wstring>& alsoTrusted);

// Who besides the trusted accounts may change the object judged as what it is. An owner who is
// not trusted may always rewrite the DACL, unless an OWNER RIGHTS entry says otherwise. A denied
// entry takes rights back from a later grant to the same account or to everyone.
std::vector<Holder> Changers(const SecurityFacts& facts, Judged judged,
                             const std::vector<std::wstring>& alsoTrusted);

// Who besides the trusted accounts and the user may read the files made in a folder (its
// inherited entries): other users could read the crash dumps written there. CREATOR OWNER and
// OWNER RIGHTS become the file's own creator. An owner of the folder who is neither trusted nor
// the user may change what later files inherit.
std::vector<Holder> ReadersOfFilesMadeIn(const SecurityFacts& facts, std::wstring_view user,
                                         const std::vector<std::wstring>& alsoTrusted);

} // namespace brevanto
