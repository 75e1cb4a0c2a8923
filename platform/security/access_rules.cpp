#include "platform/security/access_rules.h"

#include <algorithm>
#include <span>

namespace brevanto {
namespace {

constexpr std::uint32_t kGenericRead = 0x80000000;
constexpr std::uint32_t kGenericWrite = 0x40000000;
constexpr std::uint32_t kGenericExecute = 0x20000000;
constexpr std::uint32_t kGenericAll = 0x10000000;
// FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE and FILE_ALL_ACCESS.
constexpr std::uint32_t kFileGenericRead = 0x120089;
constexpr std::uint32_t kFileGenericWrite = 0x120116;
constexpr std::uint32_t kFileGenericExecute = 0x1200a0;
constexpr std::uint32_t kFileAllAccess = 0x1f01ff;

using namespace access;

struct Right {
    std::uint32_t mask;
    const wchar_t* name;
};

// What the rights do to the object itself, and, through inherited entries, to what it will hold.
struct RightNames {
    std::span<const Right> object;
    std::span<const Right> held;
};

// FILE_ADD_FILE is also FILE_WRITE_DATA, FILE_ADD_SUBDIRECTORY also FILE_APPEND_DATA.
constexpr Right kProgramFolderRights[] = {
    {kWriteData, L"add files"},
    {kAppendData, L"add folders"},
    {kDeleteChild, L"delete files"},
    {kDelete, L"delete or rename the folder"},
    {kWriteDac, L"change its permissions"},
    {kWriteOwner, L"take ownership"},
};
constexpr Right kProgramFolderHeldRights[] = {
    {kWriteData | kAppendData, L"write the files it holds"},
    {kDelete | kDeleteChild, L"delete the files it holds"},
    {kWriteDac, L"change the permissions of the files it holds"},
    {kWriteOwner, L"take ownership of the files it holds"},
};
constexpr Right kFolderAboveRights[] = {
    {kDeleteChild, L"delete or rename the folders it holds"},
    {kDelete, L"delete or rename it"},
    {kWriteDac, L"change its permissions"},
    {kWriteOwner, L"take ownership"},
};
constexpr Right kProgramFileRights[] = {
    {kWriteData | kAppendData, L"write it"},
    {kDelete, L"delete or rename it"},
    {kWriteDac, L"change its permissions"},
    {kWriteOwner, L"take ownership"},
};
// A folder's owner or an account that may change its permissions decides what later files get.
constexpr Right kFolderPermissionRights[] = {
    {kWriteDac, L"change its permissions"},
    {kWriteOwner, L"take ownership"},
};
constexpr Right kFileReadRights[] = {{kReadData, L"read the files made in it"}};

RightNames NamesFor(Judged judged) {
    switch (judged) {
    case Judged::ProgramFolder:
        break;
    case Judged::FolderAbove:
        return {kFolderAboveRights, {}};
    case Judged::ProgramFile:
        return {kProgramFileRights, {}};
    }
    return {kProgramFolderRights, kProgramFolderHeldRights};
}

std::uint32_t FileRights(std::uint32_t mask) {
    if (mask & kGenericRead)
        mask |= kFileGenericRead;
    if (mask & kGenericWrite)
        mask |= kFileGenericWrite;
    if (mask & kGenericExecute)
        mask |= kFileGenericExecute;
    if (mask & kGenericAll)
        mask |= kFileAllAccess;
    return mask & ~(kGenericRead | kGenericWrite | kGenericExecute | kGenericAll);
}

// An account's rights on the object and on what the object will hold, in the order accounts
// first appear.
struct Grant {
    std::wstring sid;
    std::uint32_t object = 0;
    std::uint32_t held = 0;
};

class Grants {
public:
    void Add(const std::wstring& sid, std::uint32_t object, std::uint32_t held) {
        if (!object && !held)
            return;
        auto found = std::find_if(grants_.begin(), grants_.end(),
                                  [&](const Grant& grant) { return grant.sid == sid; });
        if (found == grants_.end())
            found = grants_.insert(grants_.end(), Grant{sid});
        found->object |= object;
        found->held |= held;
    }
    const std::vector<Grant>& All() const { return grants_; }

private:
    std::vector<Grant> grants_;
};

// Every account's rights, from the owner and the DACL. filesOnly: what the object will hold is
// the files made in it (object-inherited entries), not its folders too.
Grants GrantsOf(const SecurityFacts& facts, bool filesOnly) {
    Grants grants;
    if (!facts.hasDacl) {
        grants.Add(kEveryoneSid, kFileAllAccess, kFileAllAccess);
        return grants;
    }
    const auto forObject = [](const AccessEntry& entry) { return !entry.inheritOnly; };
    const auto forHeld = [&](const AccessEntry& entry) {
        return entry.objectInherit || (!filesOnly && entry.containerInherit);
    };
    // An OWNER RIGHTS entry replaces what an owner may always do: read and change permissions.
    const bool ownerRightsGiven =
        std::any_of(facts.entries.begin(), facts.entries.end(), [&](const AccessEntry& entry) {
            return entry.sid == kOwnerRightsSid && forObject(entry);
        });
    if (!facts.owner.empty() && !ownerRightsGiven)
        grants.Add(facts.owner, kWriteDac, 0);

    for (std::size_t i = 0; i < facts.entries.size(); ++i) {
        const AccessEntry& entry = facts.entries[i];
        if (!entry.allows)
            continue;
        std::uint32_t object = forObject(entry) ? FileRights(entry.mask) : 0;
        std::uint32_t held = forHeld(entry) ? FileRights(entry.mask) : 0;
        // An earlier denial of the same account or of everyone takes those rights back.
        for (std::size_t j = 0; j < i; ++j) {
            const AccessEntry& earlier = facts.entries[j];
            if (earlier.allows || (earlier.sid != entry.sid && earlier.sid != kEveryoneSid))
                continue;
            if (forObject(earlier))
                object &= ~FileRights(earlier.mask);
            if (forHeld(earlier))
                held &= ~FileRights(earlier.mask);
        }
        // CREATOR OWNER and OWNER RIGHTS in what is inherited become whoever makes the file,
        // who could change the folder already. OWNER RIGHTS on the object is its owner.
        if (entry.sid == kCreatorOwnerSid || entry.sid == kOwnerRightsSid)
            held = 0;
        if (entry.sid == kOwnerRightsSid) {
            if (facts.owner.empty())
                continue;
            grants.Add(facts.owner, object, 0);
        } else {
            grants.Add(entry.sid, object, held);
        }
    }
    return grants;
}

std::vector<Holder> Named(const Grants& grants, RightNames names,
                          const std::vector<std::wstring>& alsoTrusted,
                          std::wstring_view alsoAllowed = {}) {
    std::vector<Holder> holders;
    for (const Grant& grant : grants.All()) {
        if (IsTrustedAccount(grant.sid, alsoTrusted) ||
            (!alsoAllowed.empty() && grant.sid == alsoAllowed))
            continue;
        Holder holder{grant.sid, {}};
        for (const Right& right : names.object)
            if (grant.object & right.mask)
                holder.rights.emplace_back(right.name);
        for (const Right& right : names.held)
            if (grant.held & right.mask)
                holder.rights.emplace_back(right.name);
        if (!holder.rights.empty())
            holders.push_back(std::move(holder));
    }
    return holders;
}

} // namespace

bool IsTrustedAccount(std::wstring_view sid, const std::vector<std::wstring>& alsoTrusted) {
    return sid == kSystemSid || sid == kAdministratorsSid || sid == kTrustedInstallerSid ||
           std::find(alsoTrusted.begin(), alsoTrusted.end(), sid) != alsoTrusted.end();
}

std::vector<Holder> Changers(const SecurityFacts& facts, Judged judged,
                             const std::vector<std::wstring>& alsoTrusted) {
    return Named(GrantsOf(facts, false), NamesFor(judged), alsoTrusted);
}

std::vector<Holder> ReadersOfFilesMadeIn(const SecurityFacts& facts, std::wstring_view user,
                                         const std::vector<std::wstring>& alsoTrusted) {
    return Named(GrantsOf(facts, true), {kFolderPermissionRights, kFileReadRights}, alsoTrusted,
                 user);
}

} // namespace brevanto
