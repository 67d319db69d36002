// The numbers behind the raised edges of the wizard's painted column headers.
#include <string>

#include <gtest/gtest.h>

#include "builder/wizard/column_headers.h"

namespace velaset {
namespace {

TEST(ColumnHeaders, FixedRectanglesOfBothListPages) {
    const std::vector<ColumnHeader>& headers = ColumnHeaders();
    ASSERT_EQ(headers.size(), 5u);
    EXPECT_STREQ(headers[1].text, "Dest.");
    EXPECT_EQ(headers[1].rect.left, 5720);
    EXPECT_EQ(headers[3].page, 3);
    EXPECT_STREQ(headers[3].text, "Nome collegamento");
    EXPECT_EQ(headers[3].rect.width, 2160);
}

TEST(ColumnHeaders, ShadingRoundsAndCapsEachComponent) {
    EXPECT_EQ(ShadeColour(0xFFFFFF, 0.3), 0xFFFFFFu);  // white stays white
    EXPECT_EQ(ShadeColour(0xC8D0D4, 0.3), 0xFFFFFFu);  // button face: capped
    EXPECT_EQ(ShadeColour(0x0A0B64, 0.3), 0x0D0E82u);  // 100 -> 130, 11 -> 14, 10 -> 13
    EXPECT_EQ(ShadeColour(0xC8D0D4, -0.3), 0x8C9294u); // 212 -> 148, 208 -> 146, 200 -> 140
    EXPECT_EQ(ShadeColour(0x000000, -0.3), 0x000000u);
}

TEST(ColumnHeaders, ReliefLightensTopAndLeftDarkensBottomAndRight) {
    EXPECT_EQ(TwipsPerPixel(96), 15);
    EXPECT_EQ(TwipsPerPixel(120), 12);
    // "Dest." on page 2: 5720, 2480, 500, 255 twips at 15 twips per pixel.
    std::vector<ReliefPixel> pixels = ReliefPixels({5720, 2480, 500, 255}, 15);
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(pixels.front().x, 381);
    EXPECT_EQ(pixels.front().y, 165);
    EXPECT_TRUE(pixels.front().lighten);
    int lightTop = 0, darkBottom = 0, darkRight = 0;
    for (const ReliefPixel& p : pixels) {
        if (p.y == 165 && p.lighten)
            ++lightTop;
        if (p.y == 182 && !p.lighten)
            ++darkBottom;
        if (p.x == 414 && !p.lighten)
            ++darkRight;
    }
    // x runs from 5720 to 6215 by 15 (34 pixels), y from 2480 to 2735 (18 pixels); each
    // corner is reached once by the rows and once by the columns.
    EXPECT_EQ(lightTop, 34 + 1);
    EXPECT_EQ(darkBottom, 34 + 1);
    EXPECT_EQ(darkRight, 18 + 1);
}

} // namespace
} // namespace velaset
