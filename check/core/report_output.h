#pragma once

#include <string>

#include "check/core/judgement.h"
#include "check/core/workstation_facts.h"

namespace brevanto::check {

// The report for a person at a console: sections, then the problems, then a last line with
// "ready" or the count of problems.
std::wstring TextReport(const WorkstationFacts& facts, const Judgement& judgement);

// The same facts as one JSON object, in UTF-8, for collecting from many machines.
std::string JsonReport(const WorkstationFacts& facts, const Judgement& judgement);

} // namespace brevanto::check
