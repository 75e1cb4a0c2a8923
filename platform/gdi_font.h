#pragma once

#include <windows.h>

namespace brevanto {

// Owns one GDI font.
class GdiFont {
public:
    GdiFont() = default;
    explicit GdiFont(HFONT font) : font_(font) {}
    ~GdiFont() { Reset(); }
    GdiFont(const GdiFont&) = delete;
    GdiFont& operator=(const GdiFont&) = delete;
    GdiFont(GdiFont&& other) noexcept : font_(other.font_) { other.font_ = nullptr; }
    // Deletes the font held before and takes the other's.
    GdiFont& operator=(GdiFont&& other) noexcept {
        if (this != &other) {
            Reset(other.font_);
            other.font_ = nullptr;
        }
        return *this;
    }

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
