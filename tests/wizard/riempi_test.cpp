#include "builder/wizard/riempi.h"

#include <gtest/gtest.h>

namespace velaset {
namespace {

TEST(Riempi, RoundsTheFigureButNotTheBar) {
    struct Case {
        const char* percent;
        int boxWidth;
        const char* figure;
        int barWidth;
    };
    const Case cases[] = {
        {"0", 200, "0%", 0},       {"100", 200, "100%", 200}, {" 50", 200, "50%", 100},
        {"12.5", 200, "13%", 25},  {"49.4", 100, "49%", 49},  {"-3", 200, "-3%", 0},
        {"abc", 200, "0%", 0},     {"", 200, "0%", 0},        {"30", 333, "30%", 99},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.percent);
        RiempiDrawing drawing = Riempi(c.percent, c.boxWidth);
        EXPECT_EQ(drawing.figure, c.figure);
        EXPECT_EQ(drawing.barWidth, c.barWidth);
    }
}

} // namespace
} // namespace velaset
