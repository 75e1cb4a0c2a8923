#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "check/core/workstation_facts.h"

namespace brevanto::check {

// The check creates each class in a process of its own (brevanto-check --create-class <ProgID>),
// which reports on its standard output, one line per event, each written as it happens, so that
// the check knows how far it came when it crashes or stops answering:
//   create                 creating the object begins
//   created                the object is made
//   served <path>          the module whose code serves the object (its function table's)
//   failed <description>   it could not be made; the description is the one Brevanto would show
//   lookup <member>        GetIDsOfNames begins for the member
//   resolves <member>      it knows the member
//   missing <member>       it does not
//   release                releasing the object (if there is one) and ending OLE begin
//   released               both are done; the last line
// A line ends with "\n"; in its text a backslash, CR and LF are written as \\, \r and \n. Lines
// the check does not know (a component writing to the standard output) are skipped.
enum class CreationEvent {
    Create,
    Created,
    Served,
    Failed,
    LookUp,
    Resolves,
    Missing,
    Release,
    Released
};

// One line of the report, ending with "\n".
std::wstring CreationLine(CreationEvent event, std::wstring_view text = {});

// What the check saw of one creation process.
struct CreationRun {
    std::wstring output;   // all it wrote, decoded from UTF-8
    bool timedOut = false; // it was still running at the time limit and was ended
    std::uint32_t exitStatus = 0;
};

// Fills in what the run tells of the class: created, servedBy, createError, membersMissing,
// outcome, crashCode, stoppedIn and stoppedMember.
void ReadCreationRun(const CreationRun& run, ClassFacts& facts);

} // namespace brevanto::check
