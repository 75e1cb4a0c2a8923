#pragma once

namespace brevanto {

// Window class, caption and control identifiers of the main window; the end-to-end driver finds
// the window and its controls by them.
inline constexpr wchar_t kMainWindowClass[] = L"BrevantoMainWindow";
inline constexpr wchar_t kMainWindowCaption[] = L"Lab Report Generator EXE";

inline constexpr int kCmdTestId = 101;
inline constexpr int kCmdCancelId = 2; // IDCANCEL, so Escape presses it
inline constexpr int kText1Id = 102;
inline constexpr int kLabel1Id = 103;

} // namespace brevanto
