#include "check/gather.h"

#include <windows.h>

#include <shlobj.h>

#include "check/core/account_review.h"
#include "check/core/class_origin.h"
#include "check/core/component_classes.h"
#include "check/core/creation_protocol.h"
#include "check/core/program_folders.h"
#include "check/core/settings_review.h"
#include "check/core/virtual_store.h"
#include "check/gather_error_reporting.h"
#include "check/program_folders_gather.h"
#include "check/watched_creation.h"
#include "platform/base/file_paths.h"
#include "platform/base/pe_header.h"
#include "platform/base/program_directory.h"
#include "platform/base/windows_version.h"
#include "platform/com/class_registration.h"
#include "platform/registry/registry_settings.h"
#include "platform/security/accounts.h"
#include "platform/security/folder_access.h"
#include "report/stored_settings.h"

namespace brevanto::check {
namespace {

// Long enough for a component's first load from a slow disk or share (the stand-ins take well
// under a second under Wine), short enough for an administrator waiting at a remote shell.
constexpr unsigned kCreationTimeLimitMs = 10000;

// What the registry and the server's file tell of the class; the creation comes later.
// machineClassesOnly: the check runs elevated, and COM reads the machine's classes only.
ClassFacts GatherRegistration(const ComponentClass& componentClass, bool machineClassesOnly) {
    ClassFacts facts;
    facts.role = componentClass.role;
    facts.progId = componentClass.progId;
    facts.machineClassesOnly = machineClassesOnly;
    // As Windows merges the classes for this user, whatever Wine does: what the lab user's
    // Brevanto.exe, not elevated, creates.
    const ClassRegistration merged = ReadMergedClassRegistration(facts.progId);
    const ClassRegistration machine = ReadMachineClassRegistration(facts.progId);
    const ClassRegistration registration =
        machineClassesOnly ? ReadElevatedClassRegistration(facts.progId) : merged;
    facts.clsid = registration.clsid;
    facts.treatAs = registration.treatAs;
    facts.origin = OriginOf(merged.fromUserClasses, !machine.serverKind.empty());
    if (facts.origin == ClassOrigin::UserOverMachine)
        facts.machineServerPath = machine.serverPath;
    if (facts.origin != ClassOrigin::Machine)
        facts.userServerPath = merged.serverPath;
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

bool FolderExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring LocalAppData() {
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path)))
        folder = path;
    CoTaskMemFree(path);
    return folder;
}

FolderFacts GatherFolder(const std::wstring& path) {
    const FolderAccess access = InspectFolder(path);
    FolderFacts facts;
    facts.path = path;
    facts.exists = access.exists;
    facts.writable = access.writable;
    facts.underProgramFiles = access.underProgramFiles;
    facts.elevated = access.elevated;
    if (facts.underProgramFiles) {
        facts.virtualStore = VirtualStoreFolder(LocalAppData(), path);
        facts.virtualStoreExists = !facts.virtualStore.empty() && FolderExists(facts.virtualStore);
    }
    return facts;
}

AccountFacts GatherAccount() {
    const CurrentAccount account = ReadCurrentAccount();
    return {account.name, account.sid, account.elevated, IsServiceAccount(account.sid)};
}

// The same file under two spellings (case, short names) is one module.
void ReadServingModule(ClassFacts& facts) {
    if (!facts.servedBy.empty() && SamePath(LongPath(facts.servedBy), LongPath(facts.serverPath)))
        facts.servedBy = facts.serverPath;
}

} // namespace

WorkstationFacts GatherFacts(bool createAsThisAccount) {
    WorkstationFacts facts;
    facts.host.bits = sizeof(void*) == 4 ? 32 : 64;
    facts.host.windows = WindowsVersionText();
    facts.host.programFolder = ProgramDirectory();
    facts.host.underWine = RunsUnderWine();
    facts.account = GatherAccount();
    for (const ComponentClass& componentClass : ComponentClasses())
        facts.classes.push_back(GatherRegistration(componentClass, facts.account.elevated));
    // Judged before any component code runs: none is created from a folder or file that others
    // could have planted it in.
    facts.programFolders = GatherProgramFolders(facts);

    // Component code runs only in the watched processes: a component that crashes or never
    // returns there cannot take the check with it. They run side by side, so that the check
    // waits the time limit once at most.
    facts.creationTimeLimitMs = kCreationTimeLimitMs;
    const bool createsAsThisAccount = CreatesComponents(facts.account, createAsThisAccount);
    std::vector<std::wstring> progIds;
    std::vector<ClassFacts*> tried;
    for (ClassFacts& c : facts.classes) {
        // Not as a service account, unless asked; then not from where others could plant code.
        c.notTriedBecause = createsAsThisAccount ? WhyNotCreated(facts, c) : L"";
        c.creationTried = createsAsThisAccount && c.notTriedBecause.empty();
        if (!c.creationTried)
            continue;
        progIds.push_back(c.progId);
        tried.push_back(&c);
    }
    if (!progIds.empty()) {
        const auto runs = RunWatchedCreations(progIds, kCreationTimeLimitMs);
        for (std::size_t i = 0; i < runs.size(); ++i) {
            ReadCreationRun(runs[i], *tried[i]);
            ReadServingModule(*tried[i]);
        }
    }

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
