#include "check/core/error_reporting.h"

#include "check/core/json_members.h"
#include "check/core/wording.h"

namespace brevanto::check {

namespace {

std::wstring DumpFolderText(const ErrorReportingFacts& f) {
    if (!f.dumpFolderExists)
        return L"does not exist yet";
    if (!f.dumpFolderJudged)
        return L"its permissions could not be read";
    if (f.dumpReaders.empty())
        return L"other users cannot read the dumps";
    return L"other users can read the dumps: " + Joined(f.dumpReaders, L"; ");
}

} // namespace

const char* DumpTypeName(unsigned dumpType) {
    switch (dumpType) {
    case 0:
        return "custom";
    case 2:
        return "full";
    default:
        return "mini";
    }
}

std::vector<std::pair<std::wstring, std::wstring>>
ErrorReportingRows(const ErrorReportingFacts& f) {
    std::wstring dumps = L"not configured (LocalDumps): a crash leaves no dump";
    if (f.dumpsConfigured) {
        const std::string type = DumpTypeName(f.dumpType);
        dumps.assign(type.begin(), type.end());
        dumps.append(L" dumps in ").append(f.dumpFolder);
        dumps.append(L", the newest ").append(std::to_wstring(f.dumpCount)).append(L" kept");
    }
    std::wstring source =
        L"not registered: events are still written, without their text in Event Viewer";
    if (f.sourceRegistered) {
        source.assign(L"registered, messages from ");
        source.append(f.messageFile.empty() ? std::wstring(L"(none)") : f.messageFile);
    }
    std::vector<std::pair<std::wstring, std::wstring>> rows{{L"Crash dumps", dumps},
                                                            {L"Event source", source}};
    if (f.dumpsConfigured)
        rows.emplace_back(L"Dump folder", DumpFolderText(f));
    std::wstring dialog =
        f.errorDialogHidden ? L"hidden (DontShowUI is 1 in " : L"shown (DontShowUI ";
    if (f.errorDialogHidden)
        dialog += f.dontShowUiSetIn + L")";
    else
        dialog +=
            f.dontShowUiSetIn.empty() ? L"is not set)" : L"is 0 in " + f.dontShowUiSetIn + L")";
    rows.emplace_back(L"Error dialog", dialog);
    return rows;
}

std::vector<std::wstring> ErrorReportingNotes(const ErrorReportingFacts& f) {
    std::vector<std::wstring> notes;
    if (f.dumpsConfigured && !f.dumpReaders.empty())
        notes.push_back(L"other users can read the crash dumps in " + f.dumpFolder + L" (" +
                        Joined(f.dumpReaders, L"; ") +
                        L"): a dump holds what the components held, the password Brevanto handed "
                        L"them included; let only SYSTEM, Administrators and the user who runs "
                        L"the reports read what is made there");
    if (!f.errorDialogHidden)
        notes.push_back(L"Windows Error Reporting shows a dialog when a program a component starts "
                        L"crashes, and that program waits there for a person; on a lab "
                        L"workstation set DontShowUI to 1 (REG_DWORD) in "
                        L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Windows Error "
                        L"Reporting, or the policy \"Prevent display of the user interface for "
                        L"critical errors\"");
    return notes;
}

std::string CrashDumpsJson(const ErrorReportingFacts& f) {
    const std::string type = f.dumpsConfigured ? DumpTypeName(f.dumpType) : "";
    return Members()
        .Add("configured", Bool(f.dumpsConfigured))
        .Add("folder", Str(f.dumpsConfigured ? f.dumpFolder : std::wstring()))
        .Add("count", std::to_string(f.dumpsConfigured ? f.dumpCount : 0))
        .Add("type", Str(std::wstring(type.begin(), type.end())))
        .Object();
}

std::string EventSourceJson(const ErrorReportingFacts& f) {
    return Members()
        .Add("registered", Bool(f.sourceRegistered))
        .Add("messageFile", Str(f.messageFile))
        .Object();
}

std::string DumpFolderJson(const ErrorReportingFacts& f) {
    return Members()
        .Add("exists", Bool(f.dumpFolderExists))
        .Add("judged", Bool(f.dumpFolderJudged))
        .Add("readableByOthers", Bool(!f.dumpReaders.empty()))
        .Add("readers", Array(f.dumpReaders, Str))
        .Object();
}

std::string ErrorDialogJson(const ErrorReportingFacts& f) {
    return Members()
        .Add("hidden", Bool(f.errorDialogHidden))
        .Add("dontShowUiSetIn", Str(f.dontShowUiSetIn))
        .Object();
}

} // namespace brevanto::check
