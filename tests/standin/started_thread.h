#pragma once

#include <string_view>

namespace brevanto::standin {

// Starts a thread of the component's own, as a print worker or a progress window would be, waits
// for it, and journals a thread line with what that thread found as it began:
//   thread_dpi=unaware|system|per-monitor|n/a    its DPI awareness
//   window_dpi=...|none                          that of a hidden top-level window it made
// or the single field thread=none when no thread could be started.
void ObserveStartedThread(std::string_view object, std::string_view member) noexcept;

} // namespace brevanto::standin
