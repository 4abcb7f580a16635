// The texts of "zeldict help schema", "help types" and "help where": what a user needs to write
// a schema, a CSV file and a condition without reading the sources.
#include <cstdio>
#include <cstring>

#include "tools/zeldict/Commands.h"

namespace zelmor::tools {

namespace {

const char kSchema[] = R"(A schema is a JSON file: {"tables": [TABLE, ...]}.

TABLE members:
  name        the table's name, at most 20 bytes                          (needed)
  location    its file, relative to the database folder or absolute; no
              two tables may share one; a folder in it must exist   (default: the name)
  fields      a list of FIELD                                             (needed)
  keys        a list of KEY                                         (default: none)

FIELD members:
  name        at most 20 bytes, unique in the table (keys' names too)     (needed)
  type        a type name (zeldict help types)                            (needed)
  size        bytes; some types allow only certain sizes  (default: the type's own)
  decimals    digits after the point of Decimal, Money and Numeric types;
              no more than the field holds                            (default: 0)
  nullable    true: an empty CSV cell is null                     (default: false)
  offset      where the value starts in the record   (default: after the last one)

KEY members:
  name        a name for the key (an index name)                  (default: none)
  segments    a list of {"field": NAME, "descending": BOOL,
              "caseInsensitive": BOOL}                                    (needed)
  duplicates  true: records may share the key's value             (default: false)
  modifiable  true: the key's value may change by an update       (default: false)

A member the schema does not know is refused, with its place.
)";

const char kTypes[] = R"(Types, their sizes (the first is the default) and their text in CSV files:

  String      any size      text; trailing blanks do not count
  ZString     any size      text of size - 1 bytes at most
  LString     any size      text of size - 1 bytes at most
  Note, LVar  any size      text
  WString, WZString         text
  Integer     4, 1, 2, 8    a whole number: -12, +7, 007
  UBin        4, 1, 2, 8    a whole number, not negative
  AutoInc     4, 2          a whole number; 0 takes the next one
  Float       8, 4          a number: 1.5, -0.25 (no exponents)
  BFloat      8, 4          a number, as Float
  Decimal     any size      a number with at most "decimals" places: 12.50
  Money       any size      as Decimal
  Numeric, NumericSTS, NumericSA
              any size      as Decimal
  Currency    8             a number with at most 4 places
  Date        4             yyyy/mm/dd (yy/mm/dd with two-digit years), a real day
  Time        4             hh:mm:ss, up to 23:59:59
  Logical     1, 2          0 or 1
  Bit         1             0 or 1
  Blob        8             text

An empty cell stores the type's empty value (0, false, the zero date, no text), or null
in a nullable field. Import refuses a cell that would not be stored as written (a number
too large, a date that does not exist, a text too long, "yes" for a Logical); --lenient
stores it converted as the library converts it.
)";

const char kWhere[] = R"(A condition (export --where) is one or more terms joined by & (and) or | (or):

  @FIELD OPERATOR VALUE        @FIELD OPERATOR @OTHERFIELD

A field is named by its name or its number (from 0). Operators: = <> < > <= >=.
A value with blanks or a connector in it goes in double quotes. Terms are read from
the left; & and | have the same weight. Text after the last term that is not & or |
is refused.

Examples:
  --where "@Kind = A"
  --where "@Kind = A & @Credit > 100000"
  --where "@Name = \"Suzuki, Ltd.\" | @Code = 1001"
  --where "@Joined >= 2010/01/01"
)";

}  // namespace

int RunHelp(const Arguments& arguments) {
    if (arguments.positional.size() != 1) return kExitUsage;
    const std::string& topic = arguments.positional[0];
    const char* text = topic == "schema" ? kSchema
                       : topic == "types" ? kTypes
                       : topic == "where" ? kWhere
                                          : nullptr;
    if (text == nullptr) {
        std::fprintf(stderr, "zeldict: no help on \"%s\" (schema, types or where)\n",
                     topic.c_str());
        return kExitUsage;
    }
    std::fputs(text, stdout);
    return kExitOk;
}

}  // namespace zelmor::tools
