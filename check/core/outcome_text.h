#pragma once

#include <cstdint>
#include <string>

#include "check/core/workstation_facts.h"

namespace brevanto::check {

// A status or exception code as Windows tools show it: "0xC0000005".
std::wstring HexCode(std::uint32_t code);

// How a process that ended with this status ended: "crashed with exception 0xC00000FD (stack
// overflow)", or for a status that is no exception code, "ended its process with exit status 3".
std::wstring CrashDescription(std::uint32_t status);

// "10 s", or "1500 ms" for a time that is no whole number of seconds.
std::wstring Duration(unsigned milliseconds);

// What became of the class's creation process, as the end of a sentence about the component:
// "crashed with exception 0xC0000005 (access violation)" or "did not return within 10 s"; empty
// when every step came back.
std::wstring OutcomeDescription(const ClassFacts& c, unsigned timeLimitMs);

// The step it stopped in: "while it was being created", "while its member LoginUser was being
// looked up", ...
std::wstring StepDescription(const ClassFacts& c);

} // namespace brevanto::check
