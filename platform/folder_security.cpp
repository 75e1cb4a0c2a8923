#include "platform/folder_security.h"

#include <sddl.h>

#include <algorithm>
#include <cwctype>
#include <map>

#include "platform/unique_resource.h"

namespace brevanto {
namespace {

constexpr wchar_t kSystem[] = L"S-1-5-18";
constexpr wchar_t kAdministrators[] = L"S-1-5-32-544";
constexpr wchar_t kTrustedInstaller[] =
    L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
constexpr wchar_t kCreatorOwner[] = L"S-1-3-0";
constexpr wchar_t kOwnerRights[] = L"S-1-3-4";
constexpr wchar_t kEveryone[] = L"S-1-1-0";

struct Right {
    ACCESS_MASK mask;
    const wchar_t* name;
};

// What lets an account change the folder itself; FILE_ADD_FILE is also FILE_WRITE_DATA.
constexpr Right kFolderRights[] = {
    {FILE_ADD_FILE, L"add files"},          {FILE_ADD_SUBDIRECTORY, L"add folders"},
    {FILE_DELETE_CHILD, L"delete files"},   {DELETE, L"delete or rename the folder"},
    {WRITE_DAC, L"change its permissions"}, {WRITE_OWNER, L"take ownership"},
};

// The same rights in an inherit-only entry reach what the folder will hold: the programs.
constexpr Right kHeldRights[] = {
    {FILE_WRITE_DATA | FILE_APPEND_DATA, L"write the files it holds"},
    {DELETE | FILE_DELETE_CHILD, L"delete the files it holds"},
    {WRITE_DAC, L"change the permissions of the files it holds"},
    {WRITE_OWNER, L"take ownership of the files it holds"},
};

constexpr ACCESS_MASK kChanging =
    FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER;

std::wstring SidText(PSID sid) {
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(sid, &text))
        return L"(unknown account)";
    const UniqueLocal held(text);
    return text;
}

std::wstring AccountName(PSID sid, const std::wstring& sidText) {
    wchar_t name[256];
    wchar_t domain[256];
    DWORD nameSize = 256;
    DWORD domainSize = 256;
    SID_NAME_USE use;
    if (!LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &use))
        return sidText;
    return domainSize ? std::wstring(domain) + L"\\" + name : std::wstring(name);
}

ACCESS_MASK FileRights(ACCESS_MASK mask) {
    GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                            FILE_ALL_ACCESS};
    MapGenericMask(&mask, &mapping);
    return mask;
}

// An entry the judgement reads: its account, its rights with generic ones mapped, and whether
// it reaches the folder itself and what the folder will hold.
struct Entry {
    bool allows = false;
    std::wstring sid;
    PSID sidPointer = nullptr;
    ACCESS_MASK rights = 0;
    bool forFolder = false;
    bool forHeld = false;
};

std::vector<Entry> Entries(PACL dacl) {
    std::vector<Entry> entries;
    ACL_SIZE_INFORMATION size{};
    if (!GetAclInformation(dacl, &size, sizeof size, AclSizeInformation))
        return entries;
    for (DWORD i = 0; i < size.AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace))
            continue;
        const auto* header = static_cast<ACE_HEADER*>(ace);
        // A conditional (callback) grant is taken as a grant: its condition may hold.
        const bool allows = header->AceType == ACCESS_ALLOWED_ACE_TYPE ||
                            header->AceType == ACCESS_ALLOWED_CALLBACK_ACE_TYPE;
        if (!allows && header->AceType != ACCESS_DENIED_ACE_TYPE)
            continue;
        // Allowed, denied and callback entries share this layout.
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        PSID sid = &allowed->SidStart;
        const bool forFolder = !(header->AceFlags & INHERIT_ONLY_ACE);
        const bool forHeld = header->AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
        if (forFolder || forHeld)
            entries.push_back(
                {allows, SidText(sid), sid, FileRights(allowed->Mask), forFolder, forHeld});
    }
    return entries;
}

bool Trusted(const std::wstring& sid, const std::wstring& trustedSid) {
    return sid == kSystem || sid == kAdministrators || sid == kTrustedInstaller ||
           (!trustedSid.empty() && sid == trustedSid);
}

class Changers {
public:
    void Add(PSID sid, const std::wstring& sidText, ACCESS_MASK rights, const Right* names,
             std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            if (!(rights & names[i].mask))
                continue;
            FolderChanger& changer = bySid_[sidText];
            if (changer.sid.empty()) {
                changer.sid = sidText;
                changer.account = AccountName(sid, sidText);
                order_.push_back(sidText);
            }
            if (std::find(changer.rights.begin(), changer.rights.end(), names[i].name) ==
                changer.rights.end())
                changer.rights.emplace_back(names[i].name);
        }
    }
    std::vector<FolderChanger> Result() const {
        std::vector<FolderChanger> result;
        for (const auto& sid : order_)
            result.push_back(bySid_.at(sid));
        return result;
    }

private:
    std::map<std::wstring, FolderChanger> bySid_;
    std::vector<std::wstring> order_;
};

template <std::size_t N>
void AddRights(Changers& changers, PSID sid, const std::wstring& sidText, ACCESS_MASK rights,
               const Right (&names)[N]) {
    changers.Add(sid, sidText, rights, names, N);
}

} // namespace

std::vector<FolderChanger> FolderChangers(PSECURITY_DESCRIPTOR descriptor,
                                          const std::wstring& trustedSid) {
    Changers changers;
    PSID owner = nullptr;
    BOOL ownerDefaulted = FALSE;
    GetSecurityDescriptorOwner(descriptor, &owner, &ownerDefaulted);
    const std::wstring ownerSid = owner ? SidText(owner) : L"";

    BOOL present = FALSE;
    BOOL daclDefaulted = FALSE;
    PACL dacl = nullptr;
    if (!GetSecurityDescriptorDacl(descriptor, &present, &dacl, &daclDefaulted) || !present ||
        !dacl) {
        // No DACL: everyone may do everything.
        PSID everyone = nullptr;
        ConvertStringSidToSidW(kEveryone, &everyone);
        const UniqueLocal held(everyone);
        AddRights(changers, everyone, kEveryone, kChanging, kFolderRights);
        AddRights(changers, everyone, kEveryone, kChanging, kHeldRights);
        return changers.Result();
    }

    const std::vector<Entry> entries = Entries(dacl);
    // An OWNER RIGHTS entry replaces what an owner may always do: read and change permissions.
    bool ownerRightsGiven = false;
    for (const Entry& entry : entries)
        ownerRightsGiven = ownerRightsGiven || (entry.sid == kOwnerRights && entry.forFolder);
    if (owner && !ownerRightsGiven && !Trusted(ownerSid, trustedSid))
        AddRights(changers, owner, ownerSid, WRITE_DAC, kFolderRights);

    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        if (!entry.allows)
            continue;
        // An earlier denial of the same account or of everyone takes those rights back.
        ACCESS_MASK folderRights = entry.forFolder ? entry.rights & kChanging : 0;
        ACCESS_MASK heldRights = entry.forHeld ? entry.rights & kChanging : 0;
        for (std::size_t j = 0; j < i; ++j) {
            const Entry& earlier = entries[j];
            if (earlier.allows || (earlier.sid != entry.sid && earlier.sid != kEveryone))
                continue;
            if (earlier.forFolder)
                folderRights &= ~earlier.rights;
            if (earlier.forHeld)
                heldRights &= ~earlier.rights;
        }
        PSID sid = entry.sidPointer;
        std::wstring sidText = entry.sid;
        if (sidText == kCreatorOwner && !entry.forFolder)
            continue;
        if (sidText == kOwnerRights) {
            if (!owner)
                continue;
            sid = owner;
            sidText = ownerSid;
        }
        if (Trusted(sidText, trustedSid))
            continue;
        AddRights(changers, sid, sidText, folderRights, kFolderRights);
        AddRights(changers, sid, sidText, heldRights, kHeldRights);
    }
    return changers.Result();
}

FolderSecurity JudgeFolderSecurity(const std::wstring& folder, const std::wstring& trustedSid) {
    FolderSecurity security;
    const SECURITY_INFORMATION wanted = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD size = 0;
    GetFileSecurityW(folder.c_str(), wanted, nullptr, 0, &size);
    if (!size) {
        security.error = GetLastError();
        return security;
    }
    std::vector<BYTE> descriptor(size);
    if (!GetFileSecurityW(folder.c_str(), wanted, descriptor.data(), size, &size)) {
        security.error = GetLastError();
        return security;
    }
    security.read = true;
    security.changers = FolderChangers(descriptor.data(), trustedSid);
    return security;
}

std::optional<std::wstring> AdministratorRunningThis() {
    UniqueHandle token;
    if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, token.Put()) &&
        !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put()))
        return std::nullopt;
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size ? size : 1);
    if (!GetTokenInformation(token.Get(), TokenUser, user.data(), size, &size))
        return std::nullopt;

    PSID administrators = nullptr;
    if (!ConvertStringSidToSidW(kAdministrators, &administrators))
        return std::nullopt;
    const UniqueLocal held(administrators);
    // With no token given, the thread's own is asked; a filtered (not elevated) token holds
    // Administrators for denial only, which does not count as membership.
    BOOL member = FALSE;
    if (!CheckTokenMembership(nullptr, administrators, &member) || !member)
        return std::nullopt;
    return SidText(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid);
}

namespace {

std::wstring WithoutTrailingSlash(std::wstring path) {
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    return path;
}

bool IsUnder(const std::wstring& path, std::wstring folder) {
    folder = WithoutTrailingSlash(folder);
    if (folder.size() < 3 || path.size() < folder.size())
        return false;
    if (CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                             static_cast<int>(folder.size()), TRUE) != CSTR_EQUAL)
        return false;
    return path.size() == folder.size() || path[folder.size()] == L'\\';
}

std::wstring EnvironmentFolder(const wchar_t* name) {
    wchar_t value[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    return length && length < MAX_PATH ? std::wstring(value, length) : std::wstring();
}

std::wstring ProfilesFolder() {
    wchar_t value[MAX_PATH];
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_LOCAL_MACHINE,
                     L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
                     L"ProfilesDirectory", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS)
        return {};
    return value;
}

std::wstring FullPath(const std::wstring& path) {
    wchar_t full[MAX_PATH];
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return length && length < MAX_PATH ? std::wstring(full, length) : path;
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
    const std::wstring full = WithoutTrailingSlash(FullPath(path));
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

bool CreateProgramFolder(const std::wstring& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kProgramFolderSddl, SDDL_REVISION_1,
                                                              &descriptor, nullptr))
        return false;
    const UniqueLocal held(descriptor);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    const std::wstring full = WithoutTrailingSlash(FullPath(path));
    // Each missing folder from the top down: one made with inherited rights would let the
    // users it lets in rename the folders below it away.
    for (std::size_t slash = full.find(L'\\', 3);; slash = full.find(L'\\', slash + 1)) {
        const std::wstring level = full.substr(0, slash);
        if (GetFileAttributesW(level.c_str()) == INVALID_FILE_ATTRIBUTES &&
            !CreateDirectoryW(level.c_str(), &attributes) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
        if (slash == std::wstring::npos)
            break;
    }
    const DWORD made = GetFileAttributesW(full.c_str());
    return made != INVALID_FILE_ATTRIBUTES && (made & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace brevanto
