// The numbers behind the raised edges of the wizard's painted column headers.
#include <string>

#include <gtest/gtest.h>

#include "builder/wizard/column_headers.h"

namespace velaset {
namespace {

// The headers of one page stand in one row, left to right, none over the next.
TEST(ColumnHeaders, EachPageHasOneRowOfHeadersThatDoNotOverlap) {
    const std::vector<ColumnHeader>& headers = ColumnHeaders();
    ASSERT_FALSE(headers.empty());
    for (size_t i = 1; i < headers.size(); ++i) {
        const TwipsRect& before = headers[i - 1].rect;
        const TwipsRect& rect = headers[i].rect;
        SCOPED_TRACE(headers[i].text);
        EXPECT_GT(rect.width, 0);
        if (headers[i].page != headers[i - 1].page)
            continue;
        EXPECT_EQ(rect.top, before.top);
        EXPECT_EQ(rect.height, before.height);
        EXPECT_GE(rect.left, before.left + before.width);
    }
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
