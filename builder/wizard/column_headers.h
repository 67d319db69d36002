// The painted column headers of the list pages: their rectangles and the raised edge
// that DisegnaRilievo paints around them, as plain numbers.
#ifndef VELASET_BUILDER_WIZARD_COLUMN_HEADERS_H
#define VELASET_BUILDER_WIZARD_COLUMN_HEADERS_H

#include <cstdint>
#include <vector>

namespace velaset {

// Left, top, width, height in twips, in the page container's coordinates.
struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

struct ColumnHeader {
    int page;
    const char* text;
    TwipsRect rect;
};

// The headers of pages 2 ("File", "Dest.") and 3 ("File", "Nome collegamento",
// "Collocazione").
const std::vector<ColumnHeader>& ColumnHeaders();

// Twips per pixel of a screen with `dotsPerInch` pixels per inch (15 at 96 dpi), as the
// 16-bit whole number the drawing uses.
int16_t TwipsPerPixel(int dotsPerInch);

// A colour (COLORREF layout 0x00BBGGRR) lightened (amount > 0) or darkened
// (amount < 0): each of red, green and blue becomes c + c * amount, rounded to the
// nearest whole number and capped at 255.
uint32_t ShadeColour(uint32_t colour, double amount);

// One pixel of the raised edge and whether it is lightened or darkened.
struct ReliefPixel {
    int x;
    int y;
    bool lighten;
};

// DisegnaRilievo's pixels for one rectangle, in the order they are changed: the top
// and bottom rows, then the left and right columns. Twips become pixels by whole-number
// division by twipsPerPixel; the corners are reached twice, as the drawing does.
std::vector<ReliefPixel> ReliefPixels(const TwipsRect& rect, int twipsPerPixel);

} // namespace velaset

#endif
