// The painted column headers of the list pages.
#include "builder/wizard/column_headers.h"

#include <cmath>

namespace velaset {

const std::vector<ColumnHeader>& ColumnHeaders() {
    static const std::vector<ColumnHeader> headers = {
        {2, "File", {1310, 2480, 4400, 255}},
        {2, "Dest.", {5720, 2480, 500, 255}},
        {3, "File", {1060, 2580, 1480, 255}},
        {3, "Nome collegamento", {2560, 2580, 2160, 255}},
        {3, "Collocazione", {4730, 2580, 1260, 255}},
    };
    return headers;
}

int16_t TwipsPerPixel(int dotsPerInch) {
    if (dotsPerInch <= 0) {
        return 15;
    }
    return static_cast<int16_t>(1440 / dotsPerInch);
}

namespace {

uint32_t ShadeComponent(uint32_t c, double amount) {
    double shaded = std::floor(c + c * amount + 0.5);
    if (shaded > 255) {
        shaded = 255;
    }
    if (shaded < 0) {
        shaded = 0;
    }
    return static_cast<uint32_t>(shaded);
}

} // namespace

uint32_t ShadeColour(uint32_t colour, double amount) {
    uint32_t r = ShadeComponent(colour & 0xFF, amount);
    uint32_t g = ShadeComponent((colour >> 8) & 0xFF, amount);
    uint32_t b = ShadeComponent((colour >> 16) & 0xFF, amount);
    return r | (g << 8) | (b << 16);
}

std::vector<ReliefPixel> ReliefPixels(const TwipsRect& rect, int twipsPerPixel) {
    std::vector<ReliefPixel> pixels;
    if (twipsPerPixel <= 0) {
        return pixels;
    }
    int top = rect.top / twipsPerPixel;
    int bottom = (rect.top + rect.height) / twipsPerPixel;
    int left = rect.left / twipsPerPixel;
    int right = (rect.left + rect.width) / twipsPerPixel;
    for (int x = rect.left; x <= rect.left + rect.width; x += twipsPerPixel) {
        pixels.push_back({x / twipsPerPixel, top, true});
        pixels.push_back({x / twipsPerPixel, bottom, false});
    }
    for (int y = rect.top; y <= rect.top + rect.height; y += twipsPerPixel) {
        pixels.push_back({left, y / twipsPerPixel, true});
        pixels.push_back({right, y / twipsPerPixel, false});
    }
    return pixels;
}

} // namespace velaset
