#pragma once

#include <string_view>

namespace brevanto::standin {

// Sets a thread timer of the component's own (no window: its procedure is called by whatever
// loop of the thread serves the timer), as a component polls a print job it started. When it is
// served, once, the procedure journals a timer line for the call with the fields of an
// observation (observation.h) of the world the loop gave it. Object and member must name the
// call for the life of the process.
void ArmThreadTimer(std::string_view object, std::string_view member) noexcept;

} // namespace brevanto::standin
