#pragma once

#include <string>
#include <string_view>

namespace qlm {

// The numeric value of a text as every rule of the program takes it: the number at the start
// of the text after leading blanks (an optional sign, digits, an optional fraction). "N/A",
// "N", blanks and any other text that does not start with a number give 0.
double NumericValue(std::string_view text);

// The shortest text that reads back as `value`: whole numbers without a decimal point.
std::string ShortestNumber(double value);

}  // namespace qlm
