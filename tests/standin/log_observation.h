#pragma once

#include <string_view>

namespace brevanto::standin {

// Journals a seen line on the launcher's log box as this call arrives, in this order:
//   log_lines=<n>|none        the lines its text holds (CR LF ended), as WM_GETTEXT gives it
//   log_redraw=on|off         whether the box paints at all: WM_SETREDRAW FALSE clears its
//                             WS_VISIBLE bit while the parent stays visible
//   log_update=none|pending   whether part of its client area still waits to be painted
//   log_shown_lines=<n>|none  the lines the edit itself lays out and paints, from its vertical
//                             scroll range (the last, empty line after a CR LF not counted)
// "painted" is log_redraw=on with log_update=none and log_shown_lines equal to log_lines. None of
// these readings sends the box a message, so looking does not make it paint.
void WriteLogObservation(std::string_view object, std::string_view member) noexcept;

} // namespace brevanto::standin
