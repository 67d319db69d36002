#include "builder/wizard/riempi.h"

#include <cmath>
#include <cstdlib>

namespace velaset {

RiempiDrawing Riempi(const std::string& percentText, int boxWidth) {
    char* end = nullptr;
    double value = std::strtod(percentText.c_str(), &end);
    if (end == percentText.c_str() || !std::isfinite(value))
        value = 0;
    RiempiDrawing drawing;
    drawing.figure = std::to_string(static_cast<long long>(std::floor(value + 0.5))) + "%";
    if (value > 0)
        drawing.barWidth = static_cast<int>(value * boxWidth / 100);
    return drawing;
}

} // namespace velaset
