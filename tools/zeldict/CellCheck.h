// Whether a CSV cell would be stored as written. The cell goes into the field and back out with
// the library's own conversions, and the two texts are compared in their canonical form:
//
//   every type     an empty cell stores the type's empty value (0, false, the zero date, "")
//   numbers        blanks around the number, a leading "+" and leading zeros do not count; a
//                  fixed-point field may add decimal places ("1.5" is "1.50") but not drop any
//                  that are not zero; no exponents ("1e3"), no other characters ("12x")
//   Float, BFloat  the number the field holds equals the cell's to its precision
//   Date           "yyyy/mm/dd" ("yy/mm/dd" in the two-digit year mode), a real calendar day
//   Time           "hh:mm:ss", up to 23:59:59
//   Logical        0 or 1
//   String         trailing blanks do not count; texts never cut
//
// Anything else must come back byte for byte.
#pragma once

#include <string>

#include "values/FieldDef.h"

namespace zelmor::tools {

// Why the cell (in the system's code page) would not come back the same, in English, after the
// quoted cell ("is not a date (yyyy/mm/dd)"); empty when it would.
std::string CheckCell(const FieldDef& field, const std::string& cell);

}  // namespace zelmor::tools
