// The numbers behind Riempi, the percentage bar of the last page: the value of the
// percent text, the figure printed in the middle and the length of the bar.
#ifndef VELASET_BUILDER_BUILD_PROGRESS_FIGURE_H
#define VELASET_BUILDER_BUILD_PROGRESS_FIGURE_H

#include <string>

namespace velaset {

// The value of a percent text such as "100" or " 30": its leading decimal number after
// blanks, 0 when there is none.
double PercentValue(const std::string& percentText);

// The figure: the whole number nearest to the value (value + 0.5 rounded down) and "%".
std::string ProgressFigure(double value);

// The bar's length in a box `boxWidth` wide: value * width / 100 from the unrounded
// value, nothing when the value is 0 or less.
int ProgressBarLength(double value, int boxWidth);

} // namespace velaset

#endif
