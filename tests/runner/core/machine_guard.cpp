#include "tests/runner/core/machine_guard.h"

#include <algorithm>
#include <cctype>

namespace brevanto::runner {
namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The file name of a server path, quotes and arguments of a LocalServer32 aside.
std::string_view FileNameOf(std::string_view server) {
    if (server.starts_with('"')) {
        server.remove_prefix(1);
        server = server.substr(0, server.find('"'));
    }
    const auto slash = server.find_last_of("\\/");
    return slash == std::string_view::npos ? server : server.substr(slash + 1);
}

bool IsStandin(const ClassRegistrationSeen& seen) {
    const bool standinClass =
        SameIgnoringCase(seen.clsid, kUserClassId) || SameIgnoringCase(seen.clsid, kViewerClassId);
    return standinClass && SameIgnoringCase(FileNameOf(seen.server), kStandinFileName);
}

} // namespace

std::vector<std::string> MachineFindings(const MachineSeen& seen) {
    std::vector<std::string> findings;
    for (const ClassRegistrationSeen& registration : seen.classes) {
        if (IsStandin(registration))
            continue;
        std::string finding = registration.progId + " is registered (" + registration.place + ")";
        if (registration.clsid.empty())
            finding += " with no CLSID";
        else if (registration.server.empty())
            finding += " to " + registration.clsid + " with no server";
        else
            finding += " to " + registration.server + ", not the stand-in";
        findings.push_back(finding);
    }
    for (const std::string& product : seen.installedProducts)
        findings.push_back("Brevanto is installed (ProductCode " + product + ")");
    for (const std::string& value : seen.settingsValues)
        findings.push_back("a setting is stored: ZELTARPDFCreator\\" + value);
    for (const std::string& key : seen.otherSettingsKeys)
        findings.push_back("another program's settings are stored: VB and VBA Program Settings\\" +
                           key);
    for (const std::string& key : seen.localDumpsKeys)
        findings.push_back("crash dumps are configured: " + key);
    return findings;
}

std::string GoAheadReason(const GuardPlace& place) {
    if (place.wine)
        return "this is Wine";
    if (place.hosted)
        return "this is a hosted runner";
    if (place.disposable)
        return "--disposable-machine was given";
    return {};
}

bool HostedRunner(std::string_view githubActions, std::string_view runnerEnvironment) {
    return githubActions == "true" && runnerEnvironment == "github-hosted";
}

} // namespace brevanto::runner
