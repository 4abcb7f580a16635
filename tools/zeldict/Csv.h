// Comma-separated values as RFC 4180 has them: fields in double quotes may hold commas, line
// breaks and doubled quotes; lines end with CRLF or LF.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace zelmor::tools {

class CsvReader {
public:
    explicit CsvReader(std::istream& in) : in_(in) {}

    // The next row; false at the end of the input. `line` is the line the row starts on. A blank
    // line gives no cells (a row of one empty cell is written `""`).
    bool ReadRow(std::vector<std::string>& cells, std::size_t& line);
    // True when a quoted field was not closed before the end of the input.
    bool Unterminated() const { return unterminated_; }

private:
    std::istream& in_;
    std::size_t line_ = 1;
    bool unterminated_ = false;
};

// Writes one row, quoting the cells that need it, and a CRLF.
void WriteCsvRow(std::ostream& out, const std::vector<std::string>& cells);

}  // namespace zelmor::tools
