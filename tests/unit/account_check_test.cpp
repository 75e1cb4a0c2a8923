#include <gtest/gtest.h>

#include "check/core/account_review.h"
#include "check/core/judgement.h"
#include "tests/unit/check_facts.h"

namespace brevanto::testing {
namespace {

bool Mentions(const std::vector<std::wstring>& texts, const std::wstring& part) {
    for (const auto& text : texts)
        if (text.find(part) != std::wstring::npos)
            return true;
    return false;
}

TEST(AccountCheck, ServiceAccountsAreTheThreeWellKnownOnesAndVirtualOnes) {
    struct Case {
        const wchar_t* sid;
        bool service;
    };
    const Case cases[] = {
        {L"S-1-5-18", true}, // LocalSystem
        {L"S-1-5-19", true}, // LocalService
        {L"S-1-5-20", true}, // NetworkService
        // NT SERVICE\TrustedInstaller, a service's virtual account
        {L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", true},
        {L"S-1-5-80-0", true}, // NT SERVICE\ALL SERVICES
        // IIS APPPOOL\DefaultAppPool
        {L"S-1-5-82-3006700770-424185619-1745488364-794895919-4004696415", true},
        {L"S-1-5-80", false},
        {L"S-1-5-80-", false},
        {L"S-1-5-800-1", false},
        {L"S-1-5-83-1-2-3-4-5", false}, // a Hyper-V virtual machine
        {L"S-1-5-8-1", false},
        {L"S-1-5-21-1004336348-1177238915-682003330-1001", false},
        {L"S-1-5-21-0-0-0-1000", false},
        {L"S-1-5-32-544", false}, // the Administrators group, never a user
        {L"S-1-5-180", false},
        {L"S-1-5-1", false},
        {L"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.sid));
        EXPECT_EQ(check::IsServiceAccount(c.sid), c.service);
    }
}

TEST(AccountCheck, TheAccountDecidesWhetherComponentsAreCreatedAndWhatIsSaid) {
    struct Case {
        const char* name;
        bool service, elevated, createAnyway, underWine;
        bool creates;
        std::wstring problem; // part of the one problem; empty: none
        std::wstring note;    // part of a note; empty: no note about the account
    };
    const Case cases[] = {
        {"lab user", false, false, false, false, true, L"", L""},
        {"lab user, asked to create anyway", false, false, true, false, true, L"", L""},
        {"elevated administrator", false, true, false, false, true, L"",
         L"the check ran elevated: the components were created with administrator rights"},
        {"under Wine", false, true, false, true, true, L"",
         L"(under Wine every process runs elevated)"},
        {"SYSTEM", true, true, false, false, false,
         L"a service account, not as the lab user: this account's settings are not the lab "
         L"user's, and a component created here would run with its rights, so none was created",
         L""},
        {"SYSTEM, asked to create anyway", true, true, true, false, true,
         L"and the components were created with this account's rights", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        check::WorkstationFacts facts = ReadyWorkstation();
        facts.host.underWine = c.underWine;
        facts.account = {c.service ? L"NT AUTHORITY\\SYSTEM" : L"LAB\\labtech",
                         c.service ? L"S-1-5-18" : L"S-1-5-21-1-2-3-1001", c.elevated, c.service};
        EXPECT_EQ(check::CreatesComponents(facts.account, c.createAnyway), c.creates);
        for (auto& cls : facts.classes)
            cls.creationTried = c.creates;
        const auto judgement = check::Judge(facts);
        if (c.problem.empty()) {
            EXPECT_TRUE(judgement.Ready());
        } else {
            ASSERT_EQ(judgement.problems.size(), 1u);
            EXPECT_NE(judgement.problems[0].what.find(c.problem), std::wstring::npos)
                << Narrow(judgement.problems[0].what);
            EXPECT_NE(judgement.problems[0].todo.find(
                          L"run it as the lab user (in an Intune or ConfigMgr script: \"Run this "
                          L"script using the logged-on credentials\")"),
                      std::wstring::npos);
            EXPECT_EQ(judgement.problems[0].todo.find(L"--create-as-this-account") !=
                          std::wstring::npos,
                      !c.creates);
        }
        EXPECT_EQ(Mentions(judgement.notes, L"elevated"), !c.note.empty());
        if (!c.note.empty()) {
            EXPECT_TRUE(Mentions(judgement.notes, c.note));
        }
    }
}

} // namespace
} // namespace brevanto::testing
