#include "check/judgement.h"

#include "check/outcome_text.h"
#include "check/program_folders.h"

namespace brevanto::check {
namespace {

std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

std::wstring Joined(const std::vector<std::wstring>& items) {
    std::wstring text;
    for (const auto& item : items)
        text += (text.empty() ? L"" : L", ") + item;
    return text;
}

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

void JudgeClass(const ClassFacts& c, int hostBits, unsigned timeLimitMs, Judgement& judgement) {
    if (JudgeRegistration(c, hostBits, judgement) || JudgeOutcome(c, timeLimitMs, judgement))
        return;
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
        if (s.key == L"Requestnum" && s.value.empty())
            judgement.notes.push_back(L"no request number is stored (ExeParameters\\Requestnum)");
    }
    if (facts.job.stopsInPart7)
        judgement.problems.push_back(
            {facts.job.stopKey + L" holds " + Quoted(facts.job.stopValue) +
                 L": the job would stop in part 7 with " + Quoted(facts.job.stopCaption),
             L"store a number (ViewMode: 0 view only, else a full report; chkPrintRPT and "
             L"chkCRW85Export: 1 on, else off)"});
}

void JudgeExportFolder(const WorkstationFacts& facts, Judgement& judgement) {
    const FolderFacts& folder = facts.exportFolder;
    const std::wstring change = L"or store another folder in SaveDirectories\\Convert";
    if (!folder.exists) {
        judgement.problems.push_back(
            {L"the export folder " + folder.path + L" does not exist", L"create it, " + change});
    } else if (!folder.writable && folder.underProgramFiles && !folder.elevated &&
               facts.host.bits == 32) {
        // What the older host did too: the 32-bit exe asks for no execution level.
        judgement.notes.push_back(L"this user cannot write to the export folder " + folder.path +
                                  L" under Program Files: Windows will redirect the exports "
                                  L"to the user's VirtualStore folder");
    } else if (!folder.writable) {
        judgement.problems.push_back({L"this user cannot write to the export folder " + folder.path,
                                      L"give the user write access to it, " + change});
    }
}

} // namespace

Judgement Judge(const WorkstationFacts& facts) {
    Judgement judgement;
    for (const ClassFacts& c : facts.classes)
        JudgeClass(c, facts.host.bits, facts.creationTimeLimitMs, judgement);
    JudgeSettings(facts, judgement);
    JudgeExportFolder(facts, judgement);
    JudgeProgramFolders(facts, judgement);
    return judgement;
}

} // namespace brevanto::check
