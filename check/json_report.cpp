#include "check/report_output.h"

#include <cstdio>

#include "check/outcome_text.h"

namespace brevanto::check {
namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// A JSON string: quotes, backslashes and control characters escaped, the rest in UTF-8; a lone
// surrogate becomes U+FFFD.
std::string Str(const std::wstring& text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char16_t>(text[i]);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char16_t>(text[++i]) - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            AppendUtf8(out, c);
        }
    }
    return out + "\"";
}

// A JSON string of one of our own words, which need no escaping.
std::string AsciiStr(const char* word) {
    return "\"" + std::string(word) + "\"";
}

std::string Bool(bool value) {
    return value ? "true" : "false";
}

// Builds one object's members, comma-separated.
class Members {
public:
    Members& Add(const char* name, const std::string& json) {
        text_ += (text_.empty() ? "\"" : ",\"") + std::string(name) + "\":" + json;
        return *this;
    }
    std::string Object() const { return "{" + text_ + "}"; }

private:
    std::string text_;
};

template <typename T, typename ToJson>
std::string Array(const std::vector<T>& items, ToJson toJson) {
    std::string text;
    for (const auto& item : items)
        text += (text.empty() ? "" : ",") + toJson(item);
    return "[" + text + "]";
}

// "created", "failed" (the object could not be made), "crashed" or "noAnswer".
const char* Creation(const ClassFacts& c) {
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

} // namespace

std::string JsonReport(const WorkstationFacts& facts, const Judgement& judgement) {
    const std::string host = Members()
                                 .Add("bits", std::to_string(facts.host.bits))
                                 .Add("windows", Str(facts.host.windows))
                                 .Add("programFolder", Str(facts.host.programFolder))
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
                                         .Object();
    const auto problem = [](const Problem& p) {
        return Members().Add("what", Str(p.what)).Add("todo", Str(p.todo)).Object();
    };
    return Members()
               .Add("host", host)
               .Add("creationTimeLimitMs", std::to_string(facts.creationTimeLimitMs))
               .Add("classes", Array(facts.classes, ClassJson))
               .Add("settings", Array(facts.settings, SettingJson))
               .Add("job", path)
               .Add("exportFolder", exportFolder)
               .Add("crashDumps", CrashDumpsJson(facts.errorReporting, Str))
               .Add("eventSource", EventSourceJson(facts.errorReporting, Str))
               .Add("membersCalled", "false")
               .Add("problems", Array(judgement.problems, problem))
               .Add("notes", Array(judgement.notes, Str))
               .Add("ready", Bool(judgement.Ready()))
               .Object() +
           "\n";
}

} // namespace brevanto::check
