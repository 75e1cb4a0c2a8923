#pragma once

#include <windows.h>

namespace brevanto {

// Owns one GDI font.
class GdiFont {
public:
    GdiFont() = default;
    ~GdiFont() { Reset(); }
    GdiFont(const GdiFont&) = delete;
    GdiFont& operator=(const GdiFont&) = delete;

    HFONT Get() const { return font_; }
    void Reset(HFONT font = nullptr) {
        if (font_)
            DeleteObject(font_);
        font_ = font;
    }

private:
    HFONT font_ = nullptr;
};

// A normal-weight font of the given height (negative: character height in pixels).
HFONT CreateUiFont(const wchar_t* face, int height);

} // namespace brevanto
