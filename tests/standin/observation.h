#pragma once

#include <string_view>

#include "journal_line.h"

namespace brevanto::standin {

// Journals a seen line on the world the host gives a component during this call, in this order:
//   thread_dpi=unaware|system|per-monitor|n/a    the calling thread's DPI awareness
//   window_dpi=...|none                          that of a hidden top-level window made now
//   button=v6|classic|none                       which button a push button made now is
//   host_button=v6|classic|none                  which one the launcher's "Test" button is
//   host_window_dpi=...|n/a|none                 the launcher window's DPI awareness
//   dep=<flags>|n/a                              GetProcessDEPPolicy's flags, in decimal
//   error_mode=0x<hex>|n/a                       GetErrorMode(), which child processes inherit
// The windows it makes are gone again when it returns.
void WriteObservation(std::string_view object, std::string_view member) noexcept;
// The same fields on a line of another kind (a timer line), stamped with this moment.
void WriteObservation(std::string_view object, std::string_view member, JournalKind kind) noexcept;

} // namespace brevanto::standin
