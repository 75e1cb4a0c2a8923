#pragma once

namespace brevanto {

// The window's layout is given in twips (1/1440 inch). Pixels follow the window's own DPI, rounded
// to the nearest pixel, so the layout keeps its proportions at any scaling.
constexpr int TwipsToPixels(int twips, unsigned dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : (scaled - 720) / 1440);
}

// A font height for CreateFont: negative, so it is the character height in pixels.
// Hundredths of a point keep 8.25 pt exact.
constexpr int FontHeightPixels(int centipoints, unsigned dpi) {
    return -static_cast<int>((static_cast<long long>(centipoints) * dpi + 3600) / 7200);
}

} // namespace brevanto
