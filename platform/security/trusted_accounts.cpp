#include "platform/security/trusted_accounts.h"

#include <windows.h>

#include <ntsecapi.h>

#include "platform/base/windows_version.h"
#include "platform/security/accounts.h"

namespace brevanto {
namespace {

// Relative IDs of a domain's groups (MS-DTYP 2.4.2.4).
constexpr wchar_t kDomainAdminsRid[] = L"-512";
constexpr wchar_t kEnterpriseAdminsRid[] = L"-519";
// ANONYMOUS LOGON: what Wine reports as the owner of a file another Unix account owns.
constexpr wchar_t kOtherUnixAccounts[] = L"S-1-5-7";

template <typename Info> class PolicyInformation {
public:
    PolicyInformation(LSA_HANDLE policy, POLICY_INFORMATION_CLASS kind) {
        void* buffer = nullptr;
        if (LsaQueryInformationPolicy(policy, kind, &buffer) == 0)
            info_ = static_cast<Info*>(buffer);
    }
    ~PolicyInformation() {
        if (info_)
            LsaFreeMemory(info_);
    }
    PolicyInformation(const PolicyInformation&) = delete;
    PolicyInformation& operator=(const PolicyInformation&) = delete;
    const Info* operator->() const { return info_; }
    explicit operator bool() const { return info_ != nullptr; }

private:
    Info* info_ = nullptr;
};

std::wstring Text(const LSA_UNICODE_STRING& text) {
    return text.Buffer ? std::wstring(text.Buffer, text.Length / sizeof(wchar_t)) : L"";
}

// The SID of a domain named by its DNS name; empty when it cannot be found.
std::wstring DomainSid(const std::wstring& name) {
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof sid;
    wchar_t domain[256];
    DWORD domainSize = 256;
    SID_NAME_USE use{};
    if (name.empty() ||
        !LookupAccountNameW(nullptr, name.c_str(), sid, &sidSize, domain, &domainSize, &use) ||
        use != SidTypeDomain)
        return {};
    return SidText(sid);
}

} // namespace

std::vector<std::wstring> TrustedAccountsHere() {
    std::vector<std::wstring> trusted = WineFileOwnerAllowance();
    LSA_OBJECT_ATTRIBUTES attributes{};
    LSA_HANDLE policy = nullptr;
    if (LsaOpenPolicy(nullptr, &attributes, POLICY_VIEW_LOCAL_INFORMATION, &policy) != 0)
        return trusted;
    // A workstation in a workgroup has no domain SID.
    const PolicyInformation<POLICY_PRIMARY_DOMAIN_INFO> primary(policy,
                                                                PolicyPrimaryDomainInformation);
    if (primary && primary->Sid) {
        const std::wstring domain = SidText(primary->Sid);
        trusted.push_back(domain + kDomainAdminsRid);
        // Enterprise Admins belong to the forest's root domain, which may be another one.
        const PolicyInformation<POLICY_DNS_DOMAIN_INFO> dns(policy, PolicyDnsDomainInformation);
        const std::wstring forest = dns ? Text(dns->DnsForestName) : L"";
        const bool forestRoot =
            !dns || CompareStringOrdinal(forest.c_str(), -1, Text(dns->DnsDomainName).c_str(), -1,
                                         TRUE) == CSTR_EQUAL;
        const std::wstring root = forestRoot ? domain : DomainSid(forest);
        if (!root.empty())
            trusted.push_back(root + kEnterpriseAdminsRid);
    }
    LsaClose(policy);
    return trusted;
}

std::vector<std::wstring> WineFileOwnerAllowance() {
    if (!RunsUnderWine())
        return {};
    std::vector<std::wstring> owners{kOtherUnixAccounts};
    if (const std::wstring user = ReadCurrentAccount().sid; !user.empty())
        owners.push_back(user);
    return owners;
}

} // namespace brevanto
