#include "check/core/judgement.h"

#include <algorithm>

#include "check/core/outcome_text.h"
#include "check/core/program_folders.h"
#include "check/core/wording.h"
#include "report/same_text.h"
#include "report/stored_settings.h"

namespace brevanto::check {
namespace {

std::wstring Bits(int bits) {
    return std::to_wstring(bits) + L"-bit";
}

// At most one registration problem per class: the first thing that breaks explains the rest.
bool JudgeRegistration(const ClassFacts& c, int hostBits, Judgement& judgement) {
    const std::wstring name = Quoted(c.progId) + L" (" + c.role + L")";
    const std::wstring component = L"the " + Bits(hostBits) + L" component";
    if (c.clsid.empty()) {
        judgement.problems.push_back({name + L" is not registered", L"register " + component});
    } else if (c.serverKind.empty()) {
        judgement.problems.push_back(
            {name + L" has the class " + c.clsid + L" but no InprocServer32 or LocalServer32",
             L"register " + component + L" again"});
    } else if (!c.fileExists) {
        judgement.problems.push_back({L"the server of " + name + L" is missing: " + c.serverPath,
                                      L"reinstall the component, or register it where it is"});
    } else if (c.serverKind == L"InprocServer32" && c.fileBits && c.fileBits != hostBits) {
        judgement.problems.push_back(
            {name + L" is registered with a " + Bits(c.fileBits) + L" DLL (" + c.serverPath +
                 L"), which cannot load into the " + Bits(hostBits) + L" Brevanto.exe",
             L"register " + component});
    } else {
        return false;
    }
    return true;
}

// A crash or a hang of the creation process; Brevanto would meet the same at the same step.
bool JudgeOutcome(const ClassFacts& c, unsigned timeLimitMs, Judgement& judgement) {
    const std::wstring name = Quoted(c.progId) + L" (" + c.role + L")";
    const std::wstring what =
        name + L" " + OutcomeDescription(c, timeLimitMs) + L" " + StepDescription(c);
    switch (c.outcome) {
    case CreationOutcome::Finished:
        return false;
    case CreationOutcome::Crashed:
        judgement.problems.push_back(
            {what, L"Brevanto.exe would end there too, with exit status " + HexCode(c.crashCode) +
                       L" and no report; repair or reinstall the component, and give its maker "
                       L"the code"});
        break;
    case CreationOutcome::NoAnswer:
        judgement.problems.push_back(
            {what + L", and may be showing a window that nobody can see or answer, or waiting "
                    L"for something",
             L"unattended, Brevanto.exe would wait there until its exit timer ends it after 20 s; "
             L"run Brevanto.exe once as this user at the workstation's screen to see what the "
             L"component shows or waits for, then repair the component or what it waits for"});
        break;
    }
    return true;
}

// A per-user registration hides the machine's from this user only: Brevanto, run by the lab user
// unelevated, loads another DLL than the one installed for everyone.
void JudgeOrigin(const ClassFacts& c, Judgement& judgement) {
    if (c.origin != ClassOrigin::UserOverMachine)
        return;
    judgement.problems.push_back(
        {Quoted(c.progId) + L" (" + c.role +
             L") is registered for this user (HKEY_CURRENT_USER\\Software\\Classes) over the "
             L"machine's registration: Brevanto would load " +
             c.userServerPath + L", not the machine's " + c.machineServerPath,
         L"remove this user's registration of the class, so that the machine's applies"});
}

// The module that served the object in the creation process, when it is not the registered one.
void JudgeServingModule(const ClassFacts& c, Judgement& judgement) {
    if (ServedByAnotherModule(c))
        judgement.notes.push_back(Quoted(c.progId) + L" was served by " + c.servedBy +
                                  L", not by the registered " + c.serverPath);
}

void JudgeClass(const ClassFacts& c, const WorkstationFacts& facts, Judgement& judgement) {
    const unsigned timeLimitMs = facts.creationTimeLimitMs;
    if (JudgeRegistration(c, facts.host.bits, judgement))
        return;
    JudgeOrigin(c, judgement);
    if (!c.creationTried || JudgeOutcome(c, timeLimitMs, judgement))
        return;
    JudgeServingModule(c, judgement);
    const std::wstring name = Quoted(c.progId);
    if (!c.created) {
        judgement.problems.push_back({L"Brevanto cannot create " + name + L": " + c.createError,
                                      L"repair the component's installation"});
    } else if (!c.membersMissing.empty()) {
        judgement.problems.push_back(
            {name + L" lacks " + Joined(c.membersMissing) + L", which Brevanto calls",
             L"install the version of the component Brevanto was built for"});
    }
}

bool AnyCreationTried(const WorkstationFacts& facts) {
    return std::any_of(facts.classes.begin(), facts.classes.end(),
                       [](const ClassFacts& c) { return c.creationTried; });
}

// Whether a class was left uncreated for the account it ran as, rather than for its folder.
bool HeldBackForTheAccount(const WorkstationFacts& facts) {
    return std::any_of(facts.classes.begin(), facts.classes.end(), [](const ClassFacts& c) {
        return !c.creationTried && c.notTriedBecause.empty();
    });
}

// Whose workstation the report describes, and with whose rights the components were created.
void JudgeAccount(const WorkstationFacts& facts, Judgement& judgement) {
    const AccountFacts& account = facts.account;
    if (account.serviceAccount) {
        const bool created = !HeldBackForTheAccount(facts);
        judgement.problems.push_back(
            {L"the check ran as " + account.name +
                 L", a service account, not as the lab user: this account's settings are not the "
                 L"lab user's" +
                 (created ? L", and the components were created with this account's rights"
                          : L", and a component created here would run with its rights, so none "
                            L"was created"),
             L"run it as the lab user (in an Intune or ConfigMgr script: \"Run this script using "
             L"the logged-on credentials\")" +
                 std::wstring(created ? L""
                                      : L"; --create-as-this-account creates the components "
                                        L"all the same")});
    } else if (account.elevated) {
        const bool created = AnyCreationTried(facts);
        judgement.notes.push_back(
            L"the check ran elevated: " +
            std::wstring(created ? L"the components were created with administrator rights, "
                                   L"which Brevanto.exe run by the lab user may not have; and "
                                 : L"") +
            L"COM ignores the classes registered for the user "
            L"(HKEY_CURRENT_USER\\Software\\Classes) in an elevated process, so each class "
            L"shown is the machine's registration" +
            std::wstring(facts.host.underWine ? L" (under Wine every process runs elevated)"
                                              : L""));
    }
}

void JudgeSettings(const WorkstationFacts& facts, Judgement& judgement) {
    for (const SettingFacts& s : facts.settings) {
        const std::wstring name = s.section + L"\\" + s.key;
        if (!s.wrongType.empty())
            judgement.problems.push_back(
                {name + L" is stored as " + s.wrongType +
                     L", which Brevanto reads as absent, so the job uses its default",
                 L"store it as text (REG_SZ)"});
        if (s.key == L"Username" && s.value.empty())
            judgement.notes.push_back(L"no user name is stored: the job logs in with an empty one");
        if (s.key == kRequestNumber.key && s.value.empty())
            judgement.notes.push_back(L"no request number is stored (ExeParameters\\Requestnum)");
    }
    if (facts.job.stopsInPart7)
        judgement.problems.push_back(
            {facts.job.stopKey + L" holds " + Quoted(facts.job.stopValue) +
                 L": the job would stop in part 7 with " + Quoted(facts.job.stopCaption),
             L"store a number (ViewMode: 0 view only, else a full report; chkPrintRPT and "
             L"chkCRW85Export: 1 on, else off)"});
}

// Only a 32-bit Brevanto.exe, which asks for no execution level, has its writes under Program
// Files virtualised, and only in an interactive logon.
bool MayBeVirtualised(const FolderFacts& folder, int hostBits) {
    return folder.underProgramFiles && hostBits == 32;
}

std::wstring VirtualStoreText(const FolderFacts& folder) {
    return L"in an interactive logon, Windows redirects the exports of a 32-bit Brevanto.exe to "
           L"this user's VirtualStore folder " +
           folder.virtualStore +
           (folder.virtualStoreExists ? L" (it exists)" : L" (it does not exist yet)") +
           L"; a run without an interactive logon (a scheduled task run whether the user is "
           L"logged on or not) is refused there instead: for scheduled tasks, store a folder this "
           L"user can write to in SaveDirectories\\Convert";
}

void JudgeExportFolder(const WorkstationFacts& facts, Judgement& judgement) {
    const FolderFacts& folder = facts.exportFolder;
    const std::wstring change = L"or store another folder in SaveDirectories\\Convert";
    const bool virtualised = MayBeVirtualised(folder, facts.host.bits);
    if (!folder.exists && virtualised && folder.virtualStoreExists) {
        judgement.notes.push_back(
            L"the export folder " + folder.path +
            L" under Program Files exists only in this user's VirtualStore: " +
            VirtualStoreText(folder));
    } else if (!folder.exists) {
        judgement.problems.push_back(
            {L"the export folder " + folder.path + L" does not exist", L"create it, " + change});
    } else if (virtualised && !folder.writable && !folder.elevated) {
        judgement.notes.push_back(L"this user cannot write to the export folder " + folder.path +
                                  L" under Program Files: " + VirtualStoreText(folder));
    } else if (virtualised && folder.elevated) {
        judgement.notes.push_back(L"the export folder " + folder.path +
                                  L" is under Program Files, and this elevated check cannot tell "
                                  L"whether the lab user may write to it; if not, " +
                                  VirtualStoreText(folder));
    } else if (!folder.writable) {
        judgement.problems.push_back({L"this user cannot write to the export folder " + folder.path,
                                      L"give this user write access to it, " + change});
    }
}

} // namespace

bool ServedInItsCreatorsApartment(const ClassFacts& c) {
    if (c.serverKind != L"InprocServer32")
        return false;
    // The creation's thread is the process's first single-threaded apartment: an object with no
    // model, Apartment or Both lives there. Free and Neutral ones live elsewhere, and the caller
    // gets a proxy, whose table is COM's own.
    const std::wstring& model = c.threadingModel;
    if (!model.empty() && !SameText(model, L"Apartment") && !SameText(model, L"Both"))
        return false;
    // A .NET class is registered with the runtime's loader, which hands out the runtime's own
    // wrapper.
    const auto slash = c.serverPath.find_last_of(L"\\/");
    const std::wstring file =
        slash == std::wstring::npos ? c.serverPath : c.serverPath.substr(slash + 1);
    return !SameText(file, L"mscoree.dll");
}

bool ServedByAnotherModule(const ClassFacts& c) {
    return !c.servedBy.empty() && ServedInItsCreatorsApartment(c) &&
           !SameText(c.servedBy, c.serverPath);
}

Judgement Judge(const WorkstationFacts& facts) {
    Judgement judgement;
    JudgeAccount(facts, judgement);
    for (const ClassFacts& c : facts.classes)
        JudgeClass(c, facts, judgement);
    JudgeSettings(facts, judgement);
    JudgeExportFolder(facts, judgement);
    JudgeProgramFolders(facts, judgement);
    for (std::wstring& note : ErrorReportingNotes(facts.errorReporting))
        judgement.notes.push_back(std::move(note));
    return judgement;
}

} // namespace brevanto::check
