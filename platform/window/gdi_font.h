#pragma once

#include <windows.h>

namespace brevanto {

// A normal-weight font of the given height (negative: character height in pixels).
HFONT CreateUiFont(const wchar_t* face, int height);

} // namespace brevanto
