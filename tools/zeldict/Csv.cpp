#include "tools/zeldict/Csv.h"

namespace zelmor::tools {

bool CsvReader::ReadRow(std::vector<std::string>& cells, std::size_t& line) {
    cells.clear();
    line = line_;
    int c = in_.get();
    if (c == EOF) return false;
    std::string cell;
    bool quoted = false;
    bool empty = true;  // nothing but the line's end: a blank line, which has no cells
    for (;; c = in_.get()) {
        if (quoted) {
            if (c == EOF) {
                unterminated_ = true;
                cells.push_back(cell);
                return true;
            }
            if (c == '"') {
                if (in_.peek() == '"') {
                    in_.get();
                    cell += '"';
                } else {
                    quoted = false;
                }
                continue;
            }
            if (c == '\n') ++line_;
            cell += static_cast<char>(c);
            continue;
        }
        if (c == EOF || c == '\n' || (c == '\r' && (in_.peek() == '\n' || in_.peek() == EOF))) {
            if (c == '\r') in_.get();
            if (c != EOF) ++line_;
            if (!empty) cells.push_back(cell);
            return true;
        }
        empty = false;
        if (c == ',') {
            cells.push_back(cell);
            cell.clear();
        } else if (c == '"' && cell.empty()) {
            quoted = true;
        } else {
            cell += static_cast<char>(c);
        }
    }
}

void WriteCsvRow(std::ostream& out, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) out << ',';
        const std::string& cell = cells[i];
        bool quote = cell.find_first_of(",\"\r\n") != std::string::npos ||
                     (!cell.empty() && (cell.front() == ' ' || cell.back() == ' '));
        if (!quote) {
            out << cell;
            continue;
        }
        out << '"';
        for (char c : cell) {
            if (c == '"') out << '"';
            out << c;
        }
        out << '"';
    }
    out << "\r\n";
}

}  // namespace zelmor::tools
