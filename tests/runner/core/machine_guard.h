#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brevanto::runner {

// What the suite would change or destroy on this machine, as the runner read it.
struct ClassRegistrationSeen {
    std::string place;  // e.g. "HKLM 32-bit view"
    std::string progId; // a ProgID of the two components, present there
    std::string clsid;  // its CLSID value; empty when it has none
    std::string server; // that CLSID's server there; empty when it has none
};

struct MachineSeen {
    std::vector<ClassRegistrationSeen> classes;
    std::vector<std::string> installedProducts; // ProductCodes with Brevanto's UpgradeCode
    std::vector<std::string> settingsValues;    // values under ZELTARPDFCreator, e.g. "Settings\x"
    std::vector<std::string> otherSettingsKeys; // other subkeys of VB and VBA Program Settings
    std::vector<std::string> localDumpsKeys;    // each LocalDumps key that exists, by its view
};

inline constexpr std::string_view kUserClassId = "{B7A3C2D1-5E4F-4A6B-9C8D-1E2F3A4B5C01}";
inline constexpr std::string_view kViewerClassId = "{B7A3C2D1-5E4F-4A6B-9C8D-1E2F3A4B5C02}";
inline constexpr std::string_view kStandinFileName = "BrevantoStandin.dll";

// One sentence per thing found that is real data: a ProgID registered to anything but the
// stand-ins, an installed Brevanto, stored settings, another program's settings, a LocalDumps key.
std::vector<std::string> MachineFindings(const MachineSeen& seen);

// Why a run may go ahead on a machine with findings; empty when it may not.
struct GuardPlace {
    bool wine = false;
    bool hosted = false;
    bool disposable = false; // --disposable-machine
};
std::string GoAheadReason(const GuardPlace& place);

// GitHub's hosted runners set GITHUB_ACTIONS=true and RUNNER_ENVIRONMENT=github-hosted; a
// self-hosted runner says self-hosted, and may well be a workstation.
bool HostedRunner(std::string_view githubActions, std::string_view runnerEnvironment);

} // namespace brevanto::runner
