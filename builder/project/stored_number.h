// How the load reads numbers and flags out of stored texts.
#ifndef VELASET_BUILDER_PROJECT_STORED_NUMBER_H
#define VELASET_BUILDER_PROJECT_STORED_NUMBER_H

#include <string>

namespace velaset {

// The leading decimal number of text (blanks before it allowed, an optional sign, digits,
// an optional decimal part), rounded to the nearest integer, halves to even; 0 when the
// text does not start with a number. "1abc" gives 1. Saturates far beyond 32767.
long LeadingNumber(const std::string& text);

// The whole text as a number, blanks around it allowed, rounded like LeadingNumber.
// False when the text is not a number ("", "abc", "1abc").
bool WholeNumber(const std::string& text, long* value);

} // namespace velaset

#endif
