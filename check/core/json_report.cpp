#include "check/core/report_output.h"

#include "check/core/json_members.h"
#include "check/core/outcome_text.h"

namespace brevanto::check {
namespace {

// A JSON string of one of our own words, which need no escaping.
std::string AsciiStr(const char* word) {
    std::string text = "\"";
    text += word;
    return text += '"';
}

// "created", "failed" (the object could not be made), "crashed" or "noAnswer".
const char* Creation(const ClassFacts& c) {
    if (!c.creationTried)
        return "notTried";
    switch (c.outcome) {
    case CreationOutcome::Finished:
        break;
    case CreationOutcome::Crashed:
        return "crashed";
    case CreationOutcome::NoAnswer:
        return "noAnswer";
    }
    return c.created ? "created" : "failed";
}

// Where a crashed or unanswered creation stopped: "create", "lookup" or "release"; "" else.
const char* StoppedAt(const ClassFacts& c) {
    if (c.outcome == CreationOutcome::Finished)
        return "";
    switch (c.stoppedIn) {
    case CreationStep::Create:
        break;
    case CreationStep::LookUp:
        return "lookup";
    case CreationStep::Release:
        return "release";
    }
    return "create";
}

// "machine", "user" (this user only) or "userOverMachine".
const char* RegisteredFor(const ClassFacts& c) {
    switch (c.origin) {
    case ClassOrigin::Machine:
        break;
    case ClassOrigin::UserOnly:
        return "user";
    case ClassOrigin::UserOverMachine:
        return "userOverMachine";
    }
    return "machine";
}

std::string ClassJson(const ClassFacts& c) {
    const bool crashed = c.outcome == CreationOutcome::Crashed;
    const bool inLookUp =
        c.outcome != CreationOutcome::Finished && c.stoppedIn == CreationStep::LookUp;
    return Members()
        .Add("role", Str(c.role))
        .Add("progId", Str(c.progId))
        .Add("clsid", Str(c.clsid))
        .Add("serverKind", Str(c.serverKind))
        .Add("serverPath", Str(c.serverPath))
        .Add("fileExists", Bool(c.fileExists))
        .Add("fileBits", std::to_string(c.fileBits))
        .Add("threadingModel", Str(c.threadingModel))
        .Add("created", Bool(c.created))
        .Add("createError", Str(c.createError))
        .Add("membersNeeded", Array(c.membersNeeded, Str))
        .Add("membersMissing", Array(c.membersMissing, Str))
        .Add("creation", AsciiStr(Creation(c)))
        .Add("crashCode", Str(crashed ? HexCode(c.crashCode) : L""))
        .Add("stoppedAt", AsciiStr(StoppedAt(c)))
        .Add("stoppedAtMember", Str(inLookUp ? c.stoppedMember : L""))
        .Add("registeredFor", AsciiStr(RegisteredFor(c)))
        .Add("machineServerPath", Str(c.machineServerPath))
        .Add("treatAs", Str(c.treatAs))
        .Add("servedBy", Str(c.servedBy))
        .Add("userServerPath", Str(c.userServerPath))
        .Add("machineClassesOnly", Bool(c.machineClassesOnly))
        .Add("notTriedBecause", Str(c.notTriedBecause))
        .Object();
}

std::string SettingJson(const SettingFacts& s) {
    Members members;
    members.Add("section", Str(s.section))
        .Add("key", Str(s.key))
        .Add("stored", Bool(s.stored))
        .Add("wrongType", Str(s.wrongType))
        .Add("secret", Bool(s.secret));
    if (!s.secret)
        members.Add("value", Str(s.value));
    return members.Object();
}

std::string ProgramFolderJson(const ProgramFolderFacts& f) {
    return Members()
        .Add("path", Str(f.path))
        .Add("roles", Str(f.roles))
        .Add("judged", Bool(f.judged))
        .Add("writableByNonAdministrators", Bool(!f.changers.empty()))
        .Add("changers", Array(f.changers, Str))
        .Add("problem", Str(f.problem))
        .Object();
}

} // namespace

std::string JsonReport(const WorkstationFacts& facts, const Judgement& judgement) {
    const std::string host = Members()
                                 .Add("bits", std::to_string(facts.host.bits))
                                 .Add("windows", Str(facts.host.windows))
                                 .Add("programFolder", Str(facts.host.programFolder))
                                 .Object();
    const AccountFacts& a = facts.account;
    const std::string account = Members()
                                    .Add("name", Str(a.name))
                                    .Add("sid", Str(a.sid))
                                    .Add("elevated", Bool(a.elevated))
                                    .Add("serviceAccount", Bool(a.serviceAccount))
                                    .Object();
    const JobPath& job = facts.job;
    const std::string path = Members()
                                 .Add("stopsInPart7", Bool(job.stopsInPart7))
                                 .Add("stopCaption", Str(job.stopCaption))
                                 .Add("viewOnly", Bool(job.viewOnly))
                                 .Add("print", Bool(job.print))
                                 .Add("export", Bool(job.exportResults))
                                 .Object();
    const FolderFacts& folder = facts.exportFolder;
    const std::string exportFolder = Members()
                                         .Add("path", Str(folder.path))
                                         .Add("exists", Bool(folder.exists))
                                         .Add("writable", Bool(folder.writable))
                                         .Add("underProgramFiles", Bool(folder.underProgramFiles))
                                         .Add("elevated", Bool(folder.elevated))
                                         .Add("virtualStore", Str(folder.virtualStore))
                                         .Add("virtualStoreExists", Bool(folder.virtualStoreExists))
                                         .Object();
    const auto problem = [](const Problem& p) {
        return Members().Add("what", Str(p.what)).Add("todo", Str(p.todo)).Object();
    };
    return Members()
               .Add("host", host)
               .Add("account", account)
               .Add("creationTimeLimitMs", std::to_string(facts.creationTimeLimitMs))
               .Add("classes", Array(facts.classes, ClassJson))
               .Add("settings", Array(facts.settings, SettingJson))
               .Add("job", path)
               .Add("exportFolder", exportFolder)
               .Add("programFolders", Array(facts.programFolders, ProgramFolderJson))
               .Add("crashDumps", CrashDumpsJson(facts.errorReporting))
               .Add("eventSource", EventSourceJson(facts.errorReporting))
               .Add("dumpFolder", DumpFolderJson(facts.errorReporting))
               .Add("errorDialog", ErrorDialogJson(facts.errorReporting))
               .Add("membersCalled", "false")
               .Add("problems", Array(judgement.problems, problem))
               .Add("notes", Array(judgement.notes, Str))
               .Add("ready", Bool(judgement.Ready()))
               .Object() +
           "\n";
}

} // namespace brevanto::check
