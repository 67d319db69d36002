// The numbers behind the percentage bar of the last page.
#include "builder/build/progress_figure.h"

#include <cmath>

namespace velaset {

double PercentValue(const std::string& percentText) {
    size_t i = 0;
    while (i < percentText.size() && (percentText[i] == ' ' || percentText[i] == '\t')) {
        ++i;
    }
    double sign = 1;
    if (i < percentText.size() && (percentText[i] == '+' || percentText[i] == '-')) {
        sign = percentText[i] == '-' ? -1 : 1;
        ++i;
    }
    // A plain decimal number only: digits, then an optional fraction.
    double value = 0;
    for (; i < percentText.size() && percentText[i] >= '0' && percentText[i] <= '9'; ++i) {
        value = value * 10 + (percentText[i] - '0');
    }
    if (i < percentText.size() && percentText[i] == '.') {
        double scale = 0.1;
        for (++i; i < percentText.size() && percentText[i] >= '0' && percentText[i] <= '9'; ++i) {
            value += (percentText[i] - '0') * scale;
            scale /= 10;
        }
    }
    return sign * value;
}

std::string ProgressFigure(double value) {
    long long figure = static_cast<long long>(std::floor(value + 0.5));
    return std::to_string(figure) + "%";
}

int ProgressBarLength(double value, int boxWidth) {
    if (value <= 0) {
        return 0;
    }
    return static_cast<int>(value * boxWidth / 100);
}

} // namespace velaset
