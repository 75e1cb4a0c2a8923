#include "check/gather.h"

#include <windows.h>

#include "check/settings_review.h"
#include "platform/class_registration.h"
#include "platform/com_object.h"
#include "platform/folder_access.h"
#include "platform/pe_header.h"
#include "platform/program_directory.h"
#include "platform/registry_settings.h"
#include "platform/windows_version.h"
#include "report/component_members.h"
#include "report/report_job.h"
#include "report/run_error.h"
#include "report/stored_settings.h"

namespace brevanto::check {
namespace {

template <std::size_t N>
ClassFacts GatherClass(std::wstring role, std::wstring_view progId,
                       const std::wstring_view (&members)[N]) {
    ClassFacts facts;
    facts.role = std::move(role);
    facts.progId = progId;
    const ClassRegistration registration = ReadClassRegistration(progId);
    facts.clsid = registration.clsid;
    facts.serverKind = registration.serverKind;
    facts.serverPath = registration.serverPath;
    facts.threadingModel = registration.threadingModel;
    facts.fileExists = !facts.serverPath.empty() && FileExists(facts.serverPath);
    if (const auto header = ReadPeHeader(facts.serverPath))
        facts.fileBits = header->Bits();
    for (const auto member : members)
        facts.membersNeeded.emplace_back(member);

    // Created as Brevanto creates it, looked at by name only, and released at once.
    ComFactory factory;
    try {
        const ObjectRef object = factory.Create(progId);
        facts.created = true;
        for (const auto& member : facts.membersNeeded)
            if (!object->Knows(member))
                facts.membersMissing.push_back(member);
    } catch (const RunError& error) {
        facts.createError = error.Description();
    }
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

    facts.classes.push_back(GatherClass(L"user component", kUserClass, kUserMembers));
    facts.classes.push_back(GatherClass(L"viewer component", kViewerClass, kViewerMembers));

    const RegistrySettingsStore store;
    const auto wrongType = [&](std::wstring_view section, std::wstring_view key) {
        const auto type = store.TypeOf(kSettingsApp, section, key);
        return type && *type != REG_SZ && *type != REG_EXPAND_SZ ? RegistryTypeName(*type)
                                                                 : std::wstring();
    };
    facts.settings = ReviewSettings(store, wrongType, facts.host.programFolder);
    facts.job = ReviewJobPath(store);
    facts.exportFolder = GatherFolder(ExportFolder(store, facts.host.programFolder));
    return facts;
}

} // namespace brevanto::check
