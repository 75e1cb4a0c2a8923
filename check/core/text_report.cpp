#include "check/core/report_output.h"

#include <cwctype>

#include "check/core/judgement.h"
#include "check/core/outcome_text.h"
#include "check/core/program_folders.h"
#include "check/core/report_lines.h"
#include "check/core/wording.h"

namespace brevanto::check {
namespace {

std::wstring YesNo(bool yes) {
    return yes ? L"yes" : L"no";
}

// The Created row: whether the object was made, and what happened to its process if that
// stopped while it was being made or released.
std::wstring CreatedText(const ClassFacts& c, unsigned timeLimitMs) {
    if (!c.creationTried)
        return c.notTriedBecause.empty() ? L"not tried as this account"
                                         : L"not tried: " + c.notTriedBecause;
    const std::wstring outcome = OutcomeDescription(c, timeLimitMs);
    if (c.outcome != CreationOutcome::Finished && c.stoppedIn == CreationStep::Create)
        return L"no: " + outcome;
    std::wstring text = c.created ? L"yes" : L"no: " + c.createError;
    if (c.outcome != CreationOutcome::Finished && c.stoppedIn == CreationStep::Release)
        return text + (c.created ? L"; on release it " : L"; then, as OLE was ended, it ") +
               outcome;
    // Stopped in a look-up: the object was never released.
    return c.created && c.outcome == CreationOutcome::Finished ? text + L", then released" : text;
}

std::wstring RegisteredText(const ClassFacts& c) {
    // Elevated, COM reads the machine's classes only, and so the check shows those.
    const std::wstring ignored =
        c.machineClassesOnly ? L"; this elevated check shows the machine's" : L"";
    switch (c.origin) {
    case ClassOrigin::Machine:
        break;
    case ClassOrigin::UserOnly:
        return L"for this user only (HKEY_CURRENT_USER\\Software\\Classes)" + ignored;
    case ClassOrigin::UserOverMachine:
        return L"for this user (HKEY_CURRENT_USER\\Software\\Classes), over the machine's "
               L"registration of " +
               c.machineServerPath + ignored;
    }
    return L"for the machine";
}

void WriteClass(const ClassFacts& c, unsigned timeLimitMs, ReportLines& lines) {
    std::wstring role = c.role;
    role[0] = static_cast<wchar_t>(std::towupper(role[0]));
    lines.Heading(role + L" " + Quoted(c.progId));
    if (c.clsid.empty()) {
        lines.Row(L"Class", L"not registered");
        return;
    }
    lines.Row(L"Class", c.clsid);
    lines.Row(L"Registered", RegisteredText(c));
    if (!c.treatAs.empty())
        lines.Row(L"Treated as", c.treatAs);
    if (c.serverKind.empty()) {
        lines.Row(L"Server", L"none registered");
        return;
    }
    lines.Row(L"Server", c.serverKind + L" " + c.serverPath);
    std::wstring file = c.fileExists ? L"present" : L"missing";
    if (c.fileExists && c.fileBits)
        file += L", " + std::to_wstring(c.fileBits) + L"-bit";
    lines.Row(L"File", file);
    lines.Row(L"Threading model", c.threadingModel.empty() ? L"(none)" : c.threadingModel);
    lines.Row(L"Created", CreatedText(c, timeLimitMs));
    if (ServedByAnotherModule(c))
        lines.Row(L"Served by", c.servedBy + L", not the registered DLL");
    if (!c.created)
        return;
    if (c.outcome != CreationOutcome::Finished && c.stoppedIn == CreationStep::LookUp)
        lines.Row(L"Members",
                  L"looking up " + c.stoppedMember + L", it " + OutcomeDescription(c, timeLimitMs));
    else if (c.membersMissing.empty())
        lines.Row(L"Members", Joined(c.membersNeeded) + L": all resolve");
    else
        lines.Row(L"Members", L"missing " + Joined(c.membersMissing));
}

std::wstring SettingValue(const SettingFacts& s) {
    if (s.secret)
        return s.stored ? L"stored    (not shown)" : L"not stored";
    if (!s.wrongType.empty())
        return L"stored as " + s.wrongType + L", read as absent: default " + Quoted(s.value);
    return (s.stored ? L"stored    " : L"default   ") + Quoted(s.value);
}

std::wstring AccountText(const AccountFacts& account) {
    std::wstring text = account.name + L" (" + account.sid + L")";
    if (account.serviceAccount)
        text += L", a service account";
    return text + (account.elevated ? L", elevated" : L", not elevated");
}

std::wstring JobPathText(const JobPath& job) {
    if (job.stopsInPart7)
        return L"stops: " + job.stopCaption;
    if (job.viewOnly)
        return L"view only";
    return L"full report; print (loadviewer) " + YesNo(job.print) + L", export " +
           YesNo(job.exportResults);
}

} // namespace

std::wstring TextReport(const WorkstationFacts& facts, const Judgement& judgement) {
    ReportLines lines;
    lines.Heading(L"Brevanto workstation check");
    lines.Line(L"The components' objects are only created and released: no member is called.");
    lines.Line(L"Each class is created in a process of its own, which is given " +
               Duration(facts.creationTimeLimitMs) + L".");

    lines.Heading(L"Host");
    lines.Row(L"Brevanto build", std::to_wstring(facts.host.bits) + L"-bit");
    lines.Row(L"Windows", facts.host.windows);
    lines.Row(L"Program folder", facts.host.programFolder);
    lines.Row(L"Account", AccountText(facts.account));

    for (const ClassFacts& c : facts.classes)
        WriteClass(c, facts.creationTimeLimitMs, lines);

    lines.Heading(L"Settings (HKEY_CURRENT_USER\\Software\\VB and VBA Program "
                  L"Settings\\ZELTARPDFCreator)");
    for (const SettingFacts& s : facts.settings)
        lines.Row(s.section + L"\\" + s.key, SettingValue(s));
    lines.Row(L"Part 7 of the job", JobPathText(facts.job));

    lines.Heading(L"Export folder");
    lines.Row(L"Path", facts.exportFolder.path);
    lines.Row(L"Exists", YesNo(facts.exportFolder.exists));
    if (facts.exportFolder.exists)
        lines.Row(L"This user can write to it", YesNo(facts.exportFolder.writable));
    if (facts.exportFolder.underProgramFiles && facts.host.bits == 32) {
        lines.Row(L"VirtualStore", facts.exportFolder.virtualStore);
        lines.Row(L"VirtualStore exists", YesNo(facts.exportFolder.virtualStoreExists));
    }

    lines.Heading(L"Folders Brevanto runs code from");
    for (const auto& [path, who] : ProgramFolderRows(facts))
        lines.Row(path, who);

    lines.Heading(L"Error reporting");
    for (const auto& [label, value] : ErrorReportingRows(facts.errorReporting))
        lines.Row(label, value);

    if (!judgement.problems.empty()) {
        lines.Heading(L"Problems");
        int number = 0;
        for (const Problem& problem : judgement.problems)
            lines.Line(std::to_wstring(++number) + L". " + problem.what + L": " + problem.todo +
                       L".");
    }
    if (!judgement.notes.empty()) {
        lines.Heading(L"Notes");
        for (const std::wstring& note : judgement.notes)
            lines.Line(L"- " + note + L".");
    }
    const std::size_t count = judgement.problems.size();
    return lines.Text() + L"\r\n" +
           (count == 0 ? std::wstring(L"ready")
                       : std::to_wstring(count) + (count == 1 ? L" problem" : L" problems")) +
           L"\r\n";
}

} // namespace brevanto::check
