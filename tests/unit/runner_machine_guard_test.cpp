#include <gtest/gtest.h>

#include "tests/runner/core/machine_guard.h"

namespace brevanto::runner {
namespace {

constexpr char kUser[] = "{B7A3C2D1-5E4F-4A6B-9C8D-1E2F3A4B5C01}";

MachineSeen Registered(const ClassRegistrationSeen& registration) {
    MachineSeen seen;
    seen.classes.push_back(registration);
    return seen;
}

MachineSeen Installed(std::string product, std::string value, std::string otherKey,
                      std::string localDumps) {
    MachineSeen seen;
    seen.installedProducts.push_back(std::move(product));
    seen.settingsValues.push_back(std::move(value));
    seen.otherSettingsKeys.push_back(std::move(otherKey));
    seen.localDumpsKeys.push_back(std::move(localDumps));
    return seen;
}

TEST(RunnerMachineGuard, NamesEachThingTheSuiteWouldDestroy) {
    struct Case {
        const char* name;
        MachineSeen seen;
        std::vector<std::string> findings;
    };
    const Case cases[] = {
        {"a clean machine", MachineSeen(), {}},
        {"the stand-ins registered, a run left them",
         Registered({"HKLM classes, 32-bit view", "ZELTAR_User.clsCurrentUser", kUser,
                     "C:\\Program Files\\Brevanto tests\\x\\mingw-i686\\bin\\brevantostandin.DLL"}),
         {}},
        {"the real component",
         Registered({"HKLM classes, 32-bit view", "ZELTAR_User.clsCurrentUser",
                     "{11111111-2222-3333-4444-555555555555}", "C:\\ZELTAR\\ZeltarUser.dll"}),
         {"ZELTAR_User.clsCurrentUser is registered (HKLM classes, 32-bit view) to "
          "C:\\ZELTAR\\ZeltarUser.dll, not the stand-in"}},
        {"the stand-in's class served by another DLL",
         Registered({"HKCU classes, 64-bit view", "velmonic.labresultviewer",
                     "{B7A3C2D1-5E4F-4A6B-9C8D-1E2F3A4B5C02}",
                     "\"C:\\Lab\\viewer.exe\" /automation"}),
         {"velmonic.labresultviewer is registered (HKCU classes, 64-bit view) to "
          "\"C:\\Lab\\viewer.exe\" /automation, not the stand-in"}},
        {"a stand-in DLL under another class",
         Registered({"HKLM classes, 64-bit view", "ZELTAR_User.clsCurrentUser",
                     "{11111111-2222-3333-4444-555555555555}", "C:\\x\\BrevantoStandin.dll"}),
         {"ZELTAR_User.clsCurrentUser is registered (HKLM classes, 64-bit view) to "
          "C:\\x\\BrevantoStandin.dll, not the stand-in"}},
        {"a ProgID with no CLSID",
         Registered({"HKLM classes, 32-bit view", "ZELTAR_User.clsCurrentUser", "", ""}),
         {"ZELTAR_User.clsCurrentUser is registered (HKLM classes, 32-bit view) with no CLSID"}},
        {"a CLSID with no server",
         Registered({"HKLM classes, 32-bit view", "ZELTAR_User.clsCurrentUser", kUser, ""}),
         {"ZELTAR_User.clsCurrentUser is registered (HKLM classes, 32-bit view) to " +
          std::string(kUser) + " with no server"}},
        {"installed, stored, configured",
         Installed("{1A7E54E7-0A44-5DDB-ACFE-F12B702DBFF9}", "LogInData\\Username", "OtherApp",
                   "HKLM\\SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting\\LocalDumps "
                   "(64-bit view)"),
         {"Brevanto is installed (ProductCode {1A7E54E7-0A44-5DDB-ACFE-F12B702DBFF9})",
          "a setting is stored: ZELTARPDFCreator\\LogInData\\Username",
          "another program's settings are stored: VB and VBA Program Settings\\OtherApp",
          "crash dumps are configured: HKLM\\SOFTWARE\\Microsoft\\Windows\\Windows Error "
          "Reporting\\LocalDumps (64-bit view)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MachineFindings(c.seen), c.findings);
    }
}

TEST(RunnerMachineGuard, GoesAheadOnlyUnderWineOnAHostedRunnerOrWhenToldTheMachineIsDisposable) {
    struct Case {
        const char* name;
        GuardPlace place;
        const char* reason;
    };
    const Case cases[] = {
        {"a workstation", {false, false, false}, ""},
        {"Wine", {true, false, false}, "this is Wine"},
        {"hosted", {false, true, false}, "this is a hosted runner"},
        {"disposable", {false, false, true}, "--disposable-machine was given"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GoAheadReason(c.place), c.reason);
    }
}

TEST(RunnerMachineGuard, AHostedRunnerIsGitHubsOwn) {
    struct Case {
        const char* githubActions;
        const char* runnerEnvironment;
        bool hosted;
    };
    const Case cases[] = {
        {"true", "github-hosted", true}, {"true", "self-hosted", false},   {"true", "", false},
        {"", "github-hosted", false},    {"TRUE", "github-hosted", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.githubActions) + "/" + c.runnerEnvironment);
        EXPECT_EQ(HostedRunner(c.githubActions, c.runnerEnvironment), c.hosted);
    }
}

} // namespace
} // namespace brevanto::runner
