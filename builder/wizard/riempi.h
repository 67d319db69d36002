// What Riempi paints in the progress box of the last wizard page: a navy bar over a
// white box and the percentage in its middle, inverted where the bar covers it. The
// wizard's window code draws this; the figures are worked out here.
#ifndef VELASET_BUILDER_WIZARD_RIEMPI_H
#define VELASET_BUILDER_WIZARD_RIEMPI_H

#include <string>

namespace velaset {

struct RiempiDrawing {
    std::string figure; // the whole number nearest to the value, then "%"
    int barWidth = 0;   // value x box width / 100 (the unrounded value); 0 at 0 or less
};

// percentText is any text that reads as a number ("100", " 50", "12.5"); a text that
// does not is 0.
RiempiDrawing Riempi(const std::string& percentText, int boxWidth);

} // namespace velaset

#endif
