// The text of a Float or BFloat value, with a given number of significant digits.
#pragma once

#include <string>

namespace zelmor::codecs {

// `value` rounded to `significantDigits` decimal digits D (to nearest, ties to even) with the
// decimal point E digits into D. E < 1: "0.", -E zeros and all of D. Otherwise the first E
// digits, then "." and the rest of D unless the rest is all zeros. A negative value starts with
// "-"; zero (negative zero too) is "0". The digits are limited to 1..17: a double holds no more.
std::string FormatSignificant(double value, int significantDigits);

}  // namespace zelmor::codecs
