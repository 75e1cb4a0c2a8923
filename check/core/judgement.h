#pragma once

#include <string>
#include <vector>

#include "check/core/workstation_facts.h"

namespace brevanto::check {

// Something that keeps Brevanto from working here: what is wrong, and what to do about it.
struct Problem {
    std::wstring what;
    std::wstring todo;
};

struct Judgement {
    std::vector<Problem> problems;
    std::vector<std::wstring> notes; // worth knowing, but Brevanto works
    bool Ready() const { return problems.empty(); }
};

Judgement Judge(const WorkstationFacts& facts);

// Whether an object of the class is made in the creating thread's own apartment from the
// registered DLL, so that the module holding its IDispatch table is that DLL: an in-process
// server with no threading model, Apartment or Both, and not a .NET class (mscoree.dll).
bool ServedInItsCreatorsApartment(const ClassFacts& c);

// Whether such an object was served by another module than the registered DLL.
bool ServedByAnotherModule(const ClassFacts& c);

} // namespace brevanto::check
