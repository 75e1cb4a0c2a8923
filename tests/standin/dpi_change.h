#pragma once

#include <windows.h>

#include <string_view>

namespace brevanto::standin {

// Tells the launcher's window its monitor changed to this DPI, as Windows does when the window
// is dragged to another monitor, and journals a seen line on what happened meanwhile:
//   fonts=live|dead|none|n/a  dead: at some WM_SETFONT a control of the window still held a
//                             deleted font; none: there is no launcher window, n/a: no hook
//                             could be installed (then it is the only field, nothing is sent)
//   font_checks=<n>           how many WM_SETFONT went by
//   test_button=<w>x<h>|none  the client size of the window's "Test" button afterwards
// Then it tells the window its old DPI again, so the launcher goes back to its layout.
void ChangeHostDpi(std::string_view object, std::string_view member, UINT dpi) noexcept;

} // namespace brevanto::standin
