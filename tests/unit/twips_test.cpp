#include <gtest/gtest.h>

#include "app/core/twips.h"

namespace brevanto {
namespace {

TEST(Twips, LayoutAtCommonScalings) {
    struct Case {
        int twips;
        unsigned dpi;
        int pixels;
    };
    const Case cases[] = {
        {8565, 96, 571},  {5685, 96, 379},  {4560, 96, 304},  {1335, 96, 89},   {2055, 96, 137},
        {8055, 96, 537},  {3855, 96, 257},  {8415, 96, 561},  {8565, 120, 714}, {1335, 120, 111},
        {5685, 120, 474}, {8565, 144, 857}, {1335, 144, 134}, {5685, 144, 569}, {8565, 192, 1142},
        {375, 192, 50},   {7, 96, 0},       {8, 96, 1},       {0, 192, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.twips << " twips at " << c.dpi << " dpi");
        EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels);
    }
}

TEST(Twips, FontHeights) {
    EXPECT_EQ(FontHeightPixels(1200, 96), -16);
    EXPECT_EQ(FontHeightPixels(825, 96), -11);
    EXPECT_EQ(FontHeightPixels(1200, 144), -24);
    EXPECT_EQ(FontHeightPixels(825, 120), -14);
    EXPECT_EQ(FontHeightPixels(825, 192), -22);
}

} // namespace
} // namespace brevanto
