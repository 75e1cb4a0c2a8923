#include "check/gather.h"

#include <windows.h>

#include "check/component_classes.h"
#include "check/creation_protocol.h"
#include "check/gather_error_reporting.h"
#include "check/settings_review.h"
#include "check/watched_creation.h"
#include "platform/class_registration.h"
#include "platform/folder_access.h"
#include "platform/pe_header.h"
#include "platform/program_directory.h"
#include "platform/registry_settings.h"
#include "platform/windows_version.h"
#include "report/stored_settings.h"

namespace brevanto::check {
namespace {

// Long enough for a component's first load from a slow disk or share (the stand-ins take well
// under a second under Wine), short enough for an administrator waiting at a remote shell.
constexpr unsigned kCreationTimeLimitMs = 10000;

// What the registry and the server's file tell of the class; the creation comes later.
ClassFacts GatherRegistration(const ComponentClass& componentClass) {
    ClassFacts facts;
    facts.role = componentClass.role;
    facts.progId = componentClass.progId;
    const ClassRegistration registration = ReadClassRegistration(facts.progId);
    facts.clsid = registration.clsid;
    facts.serverKind = registration.serverKind;
    facts.serverPath = registration.serverPath;
    facts.threadingModel = registration.threadingModel;
    facts.fileExists = !facts.serverPath.empty() && FileExists(facts.serverPath);
    if (const auto header = ReadPeHeader(facts.serverPath))
        facts.fileBits = header->Bits();
    for (const auto member : componentClass.members)
        facts.membersNeeded.emplace_back(member);
    return facts;
}

std::wstring RegistryTypeName(DWORD type) {
    switch (type) {
    case REG_DWORD:
        return L"REG_DWORD";
    case REG_QWORD:
        return L"REG_QWORD";
    case REG_BINARY:
        return L"REG_BINARY";
    case REG_MULTI_SZ:
        return L"REG_MULTI_SZ";
    case REG_NONE:
        return L"REG_NONE";
    default:
        return L"registry type " + std::to_wstring(type);
    }
}

FolderFacts GatherFolder(const std::wstring& path) {
    const FolderAccess access = InspectFolder(path);
    return {path, access.exists, access.writable, access.underProgramFiles, access.elevated};
}

} // namespace

WorkstationFacts GatherFacts() {
    WorkstationFacts facts;
    facts.host.bits = sizeof(void*) == 4 ? 32 : 64;
    facts.host.windows = WindowsVersionText();
    facts.host.programFolder = ProgramDirectory();

    // Component code runs only in the watched processes: a component that crashes or never
    // returns there cannot take the check with it. They run side by side, so that the check
    // waits the time limit once at most.
    facts.creationTimeLimitMs = kCreationTimeLimitMs;
    std::vector<std::wstring> progIds;
    for (const ComponentClass& componentClass : ComponentClasses()) {
        facts.classes.push_back(GatherRegistration(componentClass));
        progIds.emplace_back(componentClass.progId);
    }
    const auto runs = RunWatchedCreations(progIds, kCreationTimeLimitMs);
    for (std::size_t i = 0; i < runs.size(); ++i)
        ReadCreationRun(runs[i], facts.classes[i]);

    const RegistrySettingsStore store;
    const auto wrongType = [&](std::wstring_view section, std::wstring_view key) {
        const auto type = store.TypeOf(kSettingsApp, section, key);
        return type && *type != REG_SZ && *type != REG_EXPAND_SZ ? RegistryTypeName(*type)
                                                                 : std::wstring();
    };
    facts.settings = ReviewSettings(store, wrongType, facts.host.programFolder);
    facts.job = ReviewJobPath(store);
    facts.exportFolder = GatherFolder(ExportFolder(store, facts.host.programFolder));
    facts.errorReporting = GatherErrorReporting();
    return facts;
}

} // namespace brevanto::check
