#include "check/core/creation_protocol.h"

#include <optional>
#include <utility>

namespace brevanto::check {
namespace {

constexpr std::pair<CreationEvent, std::wstring_view> kWords[] = {
    {CreationEvent::Create, L"create"},     {CreationEvent::Created, L"created"},
    {CreationEvent::Served, L"served"},     {CreationEvent::Failed, L"failed"},
    {CreationEvent::LookUp, L"lookup"},     {CreationEvent::Resolves, L"resolves"},
    {CreationEvent::Missing, L"missing"},   {CreationEvent::Release, L"release"},
    {CreationEvent::Released, L"released"},
};

std::wstring Escaped(std::wstring_view text) {
    std::wstring out;
    for (const wchar_t c : text) {
        if (c == L'\\')
            out += L"\\\\";
        else if (c == L'\r')
            out += L"\\r";
        else if (c == L'\n')
            out += L"\\n";
        else
            out += c;
    }
    return out;
}

std::wstring Unescaped(std::wstring_view text) {
    std::wstring out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const wchar_t next = text[++i];
        out += next == L'r' ? L'\r' : next == L'n' ? L'\n' : next;
    }
    return out;
}

struct Line {
    CreationEvent event;
    std::wstring text;
};

std::optional<Line> ParseLine(std::wstring_view line) {
    if (!line.empty() && line.back() == L'\r')
        line.remove_suffix(1);
    const auto space = line.find(L' ');
    const std::wstring_view word = line.substr(0, space);
    for (const auto& [event, known] : kWords)
        if (word == known)
            return Line{event, space == std::wstring_view::npos
                                   ? std::wstring()
                                   : Unescaped(line.substr(space + 1))};
    return std::nullopt;
}

} // namespace

std::wstring CreationLine(CreationEvent event, std::wstring_view text) {
    std::wstring line;
    for (const auto& [known, word] : kWords)
        if (known == event)
            line = word;
    if (!text.empty())
        line += L" " + Escaped(text);
    return line + L"\n";
}

void ReadCreationRun(const CreationRun& run, ClassFacts& facts) {
    facts.created = false;
    facts.createError.clear();
    facts.servedBy.clear();
    facts.membersMissing.clear();
    facts.stoppedIn = CreationStep::Create;
    facts.stoppedMember.clear();
    bool released = false;
    std::wstring_view rest = run.output;
    while (!rest.empty()) {
        const auto end = rest.find(L'\n');
        const auto line = ParseLine(rest.substr(0, end));
        rest = end == std::wstring_view::npos ? std::wstring_view() : rest.substr(end + 1);
        if (!line)
            continue;
        switch (line->event) {
        case CreationEvent::Create:
            facts.stoppedIn = CreationStep::Create;
            break;
        case CreationEvent::Created:
            facts.created = true;
            break;
        case CreationEvent::Served:
            facts.servedBy = line->text;
            break;
        case CreationEvent::Failed:
            facts.createError = line->text;
            break;
        case CreationEvent::LookUp:
            facts.stoppedIn = CreationStep::LookUp;
            facts.stoppedMember = line->text;
            break;
        case CreationEvent::Resolves:
            break;
        case CreationEvent::Missing:
            facts.membersMissing.push_back(line->text);
            break;
        case CreationEvent::Release:
            facts.stoppedIn = CreationStep::Release;
            facts.stoppedMember.clear();
            break;
        case CreationEvent::Released:
            released = true;
            break;
        }
    }
    // The last line counts even when the process was ended right after writing it.
    if (released) {
        facts.outcome = CreationOutcome::Finished;
        facts.crashCode = 0;
        facts.stoppedIn = CreationStep::Create;
        facts.stoppedMember.clear();
    } else {
        facts.outcome = run.timedOut ? CreationOutcome::NoAnswer : CreationOutcome::Crashed;
        facts.crashCode = run.timedOut ? 0 : run.exitStatus;
    }
}

} // namespace brevanto::check
