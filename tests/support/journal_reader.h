#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brevanto::support {

// One line of the stand-in components' journal.
struct JournalCall {
    std::int64_t enterUs = 0;
    std::int64_t exitUs = 0;
    std::string object;
    std::string member;
    std::string kind;
    std::vector<std::string> args;
    std::string raised; // empty when the call did not raise

    // "Object.kind member arg arg", the form the tests compare.
    std::string Text() const;
};

std::vector<JournalCall> ReadJournal(const std::wstring& path);

// The "seen" lines the stand-ins wrote during calls of object.member, in order.
std::vector<JournalCall> SeenLines(const std::vector<JournalCall>& journal,
                                   const std::string& object, const std::string& member);
// The value of key in a seen line ("thread_dpi" gives "unaware" for "thread_dpi=unaware"), or
// "(missing)". Also reads the facts of the other lines that carry "key=value" fields: the
// faults' lines and the detach line.
std::string SeenValue(const JournalCall& seen, const std::string& key);

// The lines of one kind ("crash", "box", "detach", ...), in order.
std::vector<JournalCall> LinesOfKind(const std::vector<JournalCall>& journal,
                                     const std::string& kind);

// True for a line the stand-in DLL writes of itself (its detach), not of a component object.
bool IsModuleLine(const JournalCall& line);

// Only the calls the program made: no create/destroy lines.
std::vector<std::string> CallTexts(const std::vector<JournalCall>& journal);

// Text of a BSTR argument as the journal spells it.
std::string Bstr(const std::wstring& text);

} // namespace brevanto::support
