#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevanto::standin {

// Seen: what a stand-in observed of its host during a call, not a call of its own. The kinds
// after it mark a fault the scenario asked for, at the moment it acts, what a thread the call
// started found, what a thread timer it set found when it was served, the course of a stack
// overflow the call handles itself, and the DLL's detach; Lock marks a lock the stand-in takes
// and never gives back.
enum class JournalKind {
    Create,
    Destroy,
    Get,
    Put,
    Call,
    Seen,
    Crash,
    CrashLater,
    Filter,
    Box,
    Block,
    Thread,
    Timer,
    Overflow,
    Detach,
    Lock
};

// One journal line: what the tests read to see which calls reached a component, in what order,
// with which values, and how long each spent inside.
struct JournalEntry {
    std::int64_t enterUs = 0;
    std::int64_t exitUs = 0;
    std::string_view object;
    std::string_view member; // "-" for creation and destruction
    JournalKind kind = JournalKind::Call;
    // {}: a designated initializer may leave these out.
    std::vector<std::string> args{}; // spelled by the *Arg functions, or SeenField for Seen
    std::string raised{};            // a Raised* field, or empty when the call succeeded
};

// The tab-separated line, LF included.
std::string FormatJournalLine(const JournalEntry& entry);

// Spellings of one argument value.
std::string BstrArg(std::optional<std::u16string_view> text); // nullopt: a null BSTR
std::string BoolArg(std::int16_t raw);
std::string I2Arg(std::int16_t value);
std::string I4Arg(std::int32_t value);
std::string DispatchArg(std::string_view identity); // an object name, "foreign" or "null"
std::string EmptyArg();
std::string OtherTypeArg(unsigned vartype);
std::string ByRefArg(std::string_view referenced);

// One fact of a seen line, "key=value".
std::string SeenField(std::string_view key, std::string_view value);
// A DPI_AWARENESS value: "unaware", "system", "per-monitor", or "invalid".
std::string_view DpiAwarenessName(int awareness);
// A size in pixels, "<width>x<height>".
std::string SizeText(long width, long height);
// A 32-bit code such as an exception code, "0xC0000005".
std::string HexCode(std::uint32_t code);

// Spellings of the field that says how a call failed.
std::string RaisedDescription(std::u16string_view description);
std::string RaisedHresult(std::uint32_t hresult);

} // namespace brevanto::standin
