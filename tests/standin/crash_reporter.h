#pragma once

#include <string_view>

namespace brevanto::standin {

// Makes the stand-ins' crash reporter the process's unhandled-exception filter, as a component
// that brings its own does, and journals a filter line (event=installed). When a crash reaches
// it, the reporter journals a filter line (event=ran, code=...), shows a message box and then
// has the process end. object and member, the call that installed it, must live as long as the
// DLL, as the member tables' names do.
void InstallCrashReporter(std::string_view object, std::string_view member) noexcept;

} // namespace brevanto::standin
