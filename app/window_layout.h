#pragma once

#include <windows.h>

#include "app/core/twips.h"

namespace brevanto {

// frmBrevanto's layout, in one table: the window itself, then its controls in the order they
// are created. Positions and sizes are in twips (1/1440 inch) and become pixels at the window's
// DPI. The end-to-end driver finds the window and its controls by class and identifier, and the
// benchmark's probe window is built from the same table.
inline constexpr wchar_t kMainWindowClass[] = L"BrevantoMainWindow";
inline constexpr wchar_t kMainWindowCaption[] = L"Lab Report Generator EXE";
inline constexpr DWORD kMainWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
inline constexpr DWORD kMainWindowExStyle = 0;
inline constexpr int kClientWidthTwips = 8565;
inline constexpr int kClientHeightTwips = 5685;

// The manifest resource with the version 6 common controls, activated around the creation of
// the window's controls (not the window's own); resource 1, the process default, has none.
inline constexpr WORD kOwnControlsManifest = 2;

inline constexpr wchar_t kFontFace[] = L"Segoe UI";
inline constexpr int kWindowFontCentipoints = 1200; // the window's font: label and buttons
inline constexpr int kLogFontCentipoints = 825;     // the log box's own

inline constexpr int kCmdTestId = 101;
inline constexpr int kCmdCancelId = 2; // IDCANCEL, so Escape presses it
inline constexpr int kText1Id = 102;
inline constexpr int kLabel1Id = 103;

struct TwipsRect {
    int left, top, width, height;
};

struct ControlLayout {
    int id;
    const wchar_t* windowClass;
    const wchar_t* text;
    DWORD style; // besides WS_CHILD | WS_VISIBLE
    DWORD exStyle;
    TwipsRect place;
    bool logFont; // the log box's font rather than the window's
};

inline constexpr ControlLayout kControls[] = {
    {kCmdTestId, L"BUTTON", L"Test", WS_TABSTOP | BS_PUSHBUTTON, 0, {4560, 960, 1335, 495}, false},
    {kCmdCancelId,
     L"BUTTON",
     L"&Cancel",
     WS_TABSTOP | BS_PUSHBUTTON,
     0,
     {6120, 600, 2055, 915},
     false},
    {kText1Id,
     L"EDIT",
     L"",
     WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
     WS_EX_CLIENTEDGE,
     {240, 1560, 8055, 3855},
     true},
    {kLabel1Id, L"STATIC", L"Generating Report...", SS_LEFT, 0, {240, 240, 8415, 375}, false},
};

// Creates the controls of the table in a new parent window, unplaced.
inline void CreateLayoutControls(HWND parent, HINSTANCE instance) {
    for (const ControlLayout& control : kControls)
        CreateWindowExW(control.exStyle, control.windowClass, control.text,
                        WS_CHILD | WS_VISIBLE | control.style, 0, 0, 0, 0, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance,
                        nullptr);
}

// Gives the controls their fonts, places and sizes at the DPI.
inline void ApplyControlLayout(HWND parent, UINT dpi, HFONT windowFont, HFONT logFont) {
    for (const ControlLayout& control : kControls) {
        const HWND handle = GetDlgItem(parent, control.id);
        SendMessageW(handle, WM_SETFONT,
                     reinterpret_cast<WPARAM>(control.logFont ? logFont : windowFont), TRUE);
        SetWindowPos(handle, nullptr, TwipsToPixels(control.place.left, dpi),
                     TwipsToPixels(control.place.top, dpi), TwipsToPixels(control.place.width, dpi),
                     TwipsToPixels(control.place.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

} // namespace brevanto
