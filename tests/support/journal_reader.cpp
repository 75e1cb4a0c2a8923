#include "tests/support/journal_reader.h"

#include <fstream>

#include "tests/standin/journal_escape.h"

namespace brevanto::support {
namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

} // namespace

std::string JournalCall::Text() const {
    std::string text = object + "." + kind;
    if (member != "-")
        text += " " + member;
    for (const auto& arg : args)
        text += " " + arg;
    return text;
}

std::vector<JournalCall> ReadJournal(const std::wstring& path) {
    std::vector<JournalCall> calls;
    std::ifstream file(path.c_str(), std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
        const auto fields = SplitTabs(line);
        if (fields.size() < 5)
            continue;
        JournalCall call;
        call.enterUs = std::stoll(fields[0]);
        call.exitUs = std::stoll(fields[1]);
        call.object = fields[2];
        call.member = fields[3];
        call.kind = fields[4];
        for (std::size_t i = 5; i < fields.size(); ++i) {
            if (fields[i].rfind("raised:", 0) == 0)
                call.raised = fields[i].substr(7);
            else
                call.args.push_back(fields[i]);
        }
        calls.push_back(std::move(call));
    }
    return calls;
}

std::vector<JournalCall> SeenLines(const std::vector<JournalCall>& journal,
                                   const std::string& object, const std::string& member) {
    std::vector<JournalCall> lines;
    for (const auto& call : journal)
        if (call.kind == "seen" && call.object == object && call.member == member)
            lines.push_back(call);
    return lines;
}

std::string SeenValue(const JournalCall& seen, const std::string& key) {
    for (const auto& field : seen.args)
        if (field.rfind(key + "=", 0) == 0)
            return field.substr(key.size() + 1);
    return "(missing)";
}

std::vector<JournalCall> LinesOfKind(const std::vector<JournalCall>& journal,
                                     const std::string& kind) {
    std::vector<JournalCall> lines;
    for (const auto& line : journal)
        if (line.kind == kind)
            lines.push_back(line);
    return lines;
}

bool IsModuleLine(const JournalCall& line) {
    return line.object == "Standin";
}

std::vector<std::string> CallTexts(const std::vector<JournalCall>& journal) {
    std::vector<std::string> texts;
    for (const auto& call : journal)
        if (call.kind == "get" || call.kind == "put" || call.kind == "call")
            texts.push_back(call.Text());
    return texts;
}

std::string Bstr(const std::wstring& text) {
    return "BSTR:" + standin::QuoteForJournal(std::u16string(text.begin(), text.end()));
}

} // namespace brevanto::support
