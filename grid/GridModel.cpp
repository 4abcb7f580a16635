#include "grid/GridModel.h"

#include <algorithm>

#include "platform/CodePage.h"

namespace zelmor {

namespace {

const std::string kNoText;

// Cuts at every tab: "a\t\tb" gives a, "", b; a trailing tab adds nothing.
std::vector<std::string> CutAtTabs(const std::string& text) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = text.find('\t', start);
        if (tab == std::string::npos) {
            if (start < text.size() || pieces.empty()) pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, tab - start));
        start = tab + 1;
    }
}

// Cuts at runs of tabs, as one separator each: "a\t\tb" gives a, b.
std::vector<std::string> CutAtTabRuns(const std::string& text) {
    std::vector<std::string> pieces;
    for (const std::string& piece : CutAtTabs(text)) {
        if (!piece.empty()) pieces.push_back(piece);
    }
    return pieces;
}

}  // namespace

std::vector<std::string> SplitFieldList(const std::string& fieldList) {
    std::vector<std::string> names(1);
    for (std::size_t i = 0; i < fieldList.size(); ++i) {
        const char c = fieldList[i];
        if (platform::IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < fieldList.size()) {
            names.back() += c;
            names.back() += fieldList[++i];
        } else if (c == ',') {
            names.emplace_back();
        } else {
            names.back() += c;
        }
    }
    return names;
}

GridModel::GridModel(GridLimits limits)
    : maxRows_(std::max(limits.maxRows, 2)),
      maxCols_(std::max(limits.maxColumns, 2)),
      rowHeights_(static_cast<std::size_t>(maxRows_), kDefaultRowHeight),
      colWidths_(static_cast<std::size_t>(maxCols_), kDefaultColWidth) {}

// --- Geometry ---

GridResult GridModel::SetRows(std::int32_t value) {
    if (value > maxRows_ || value <= fixedRows_) return GridResult::InvalidValue;
    rows_ = value;
    return GridResult::Ok;
}

GridResult GridModel::SetCols(std::int32_t value) {
    if (value > maxCols_ || value <= fixedCols_) return GridResult::InvalidValue;
    cols_ = value;
    return GridResult::Ok;
}

GridResult GridModel::SetFixedRows(std::int32_t value) {
    if (value < 0 || value > maxRows_ || value >= rows_) return GridResult::InvalidValue;
    fixedRows_ = value;
    return GridResult::Ok;
}

GridResult GridModel::SetFixedCols(std::int32_t value) {
    if (value < 0 || value > maxCols_ || value >= cols_) return GridResult::InvalidValue;
    fixedCols_ = value;
    return GridResult::Ok;
}

std::int32_t GridModel::FixedBandWidth() const {
    std::int32_t width = 0;
    for (std::int32_t c = 0; c < fixedCols_; ++c) {
        width += colWidths_[static_cast<std::size_t>(c)];
    }
    return width;
}

std::int32_t GridModel::FixedBandHeight() const {
    std::int32_t height = 0;
    for (std::int32_t r = 0; r < fixedRows_; ++r) {
        height += rowHeights_[static_cast<std::size_t>(r)];
    }
    return height;
}

// --- Sizes ---

GridResult GridModel::RowHeight(std::int32_t row, std::int32_t& pixels) const {
    if (row < 0 || row > rows_ || row >= maxRows_) return GridResult::BadIndex;
    pixels = rowHeights_[static_cast<std::size_t>(row)];
    return GridResult::Ok;
}

GridResult GridModel::SetRowHeight(std::int32_t row, std::int32_t pixels) {
    if (row < 0 || row > rows_ || row >= maxRows_) return GridResult::BadIndex;
    rowHeights_[static_cast<std::size_t>(row)] = pixels;
    return GridResult::Ok;
}

GridResult GridModel::ColWidth(std::int32_t col, std::int32_t& pixels) const {
    if (col < 0 || col > cols_ || col >= maxCols_) return GridResult::BadIndex;
    pixels = colWidths_[static_cast<std::size_t>(col)];
    return GridResult::Ok;
}

GridResult GridModel::SetColWidth(std::int32_t col, std::int32_t pixels) {
    if (col < 0 || col > cols_ || col >= maxCols_) return GridResult::BadIndex;
    colWidths_[static_cast<std::size_t>(col)] = pixels;
    return GridResult::Ok;
}

// --- Cells ---

void GridModel::MakeCellTable() {
    if (HasCells()) return;
    cells_.assign(static_cast<std::size_t>(maxRows_) * static_cast<std::size_t>(maxCols_),
                  std::string());
    formats_.assign(static_cast<std::size_t>(maxCols_), std::string());
}

std::size_t GridModel::Slot(std::int32_t row, std::int32_t col) const {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_) +
           static_cast<std::size_t>(col);
}

const std::string& GridModel::Cell(std::int32_t row, std::int32_t col) const {
    if (!HasCells() || row < 0 || col < 0 || row >= rows_ || col >= cols_) return kNoText;
    const std::size_t slot = Slot(row, col);
    return slot < cells_.size() ? cells_[slot] : kNoText;
}

bool GridModel::SetCell(std::int32_t row, std::int32_t col, const std::string& text) {
    if (!HasCells() || row < 0 || col < 0 || col >= cols_) return false;
    const std::size_t slot = Slot(row, col);
    if (slot >= cells_.size()) return false;
    cells_[slot] = text;
    cellsUsed_ = std::max(cellsUsed_, slot + 1);
    return true;
}

// Only the slots that ever held a text are looked at: the table is large and mostly empty.
void GridModel::ClearCells() {
    for (std::size_t slot = 0; slot < cellsUsed_; ++slot) {
        if (!cells_[slot].empty()) std::string().swap(cells_[slot]);
    }
    cellsUsed_ = 0;
}

// --- Per-column settings ---

GridResult GridModel::FormatString(std::int32_t col, std::string& format) const {
    if (!HasCells()) return GridResult::NotReadable;
    if (col < 0 || col >= maxCols_) return GridResult::BadIndex;
    format = formats_[static_cast<std::size_t>(col)];
    return GridResult::Ok;
}

// Before the cell table exists (design time) a format is taken and forgotten.
GridResult GridModel::SetFormatString(std::int32_t col, const std::string& format) {
    if (!HasCells()) return GridResult::Ok;
    if (col < 0 || col >= maxCols_) return GridResult::BadIndex;
    formats_[static_cast<std::size_t>(col)] = format;
    return GridResult::Ok;
}

namespace {

GridResult ReadColumnEntry(const std::vector<std::int16_t>& list, std::int32_t col,
                           std::int32_t cols, std::int16_t& value) {
    if (col < 0 || col >= cols) return GridResult::BadIndex;
    value = static_cast<std::size_t>(col) < list.size() ? list[static_cast<std::size_t>(col)] : 0;
    return GridResult::Ok;
}

GridResult WriteColumnEntry(std::vector<std::int16_t>& list, std::int32_t col,
                            std::int32_t limit, std::int16_t value) {
    if (col < 0 || col >= limit) return GridResult::BadIndex;
    const auto entry = static_cast<std::size_t>(col);
    if (entry >= list.size()) list.resize(entry + 1);
    list[entry] = value;
    return GridResult::Ok;
}

}  // namespace

GridResult GridModel::TextAlign(std::int32_t col, std::int16_t& value) const {
    return ReadColumnEntry(textAlign_, col, cols_, value);
}

GridResult GridModel::SetTextAlign(std::int32_t col, std::int16_t value) {
    return WriteColumnEntry(textAlign_, col, maxCols_, value);
}

GridResult GridModel::ImeMode(std::int32_t col, std::int16_t& value) const {
    return ReadColumnEntry(imeModes_, col, cols_, value);
}

GridResult GridModel::SetImeMode(std::int32_t col, std::int16_t value) {
    return WriteColumnEntry(imeModes_, col, maxCols_, value);
}

GridResult GridModel::CellMaxLength(std::int32_t col, std::int16_t& value) const {
    if (col < fixedCols_ || col > cols_) return GridResult::BadIndex;
    const auto entry = static_cast<std::size_t>(col - fixedCols_);
    value = entry < maxLengths_.size() ? maxLengths_[entry] : 0;
    return GridResult::Ok;
}

GridResult GridModel::SetCellMaxLength(std::int32_t col, std::int16_t value) {
    if (col < fixedCols_ || col > cols_) return GridResult::BadIndex;
    const auto entry = static_cast<std::size_t>(col - fixedCols_);
    if (entry >= maxLengths_.size()) maxLengths_.resize(entry + 1);
    maxLengths_[entry] = value;
    return GridResult::Ok;
}

GridResult GridModel::Position(std::int32_t index, std::uint32_t& position) const {
    if (index < 0 || static_cast<std::size_t>(index) >= positions_.size()) {
        return GridResult::BadIndex;
    }
    position = positions_[static_cast<std::size_t>(index)];
    return GridResult::Ok;
}

// --- Texts into cells ---

// The pieces go straight from the line into their cells: a fill stores thousands of rows.
void GridModel::StoreRow(std::int32_t row, const std::string& line, const GridFormatter& format) {
    if (!HasCells() || row < 0) return;
    std::int32_t col = fixedCols_;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        if (tab == std::string::npos && start == line.size() && start > 0) return;  // trailing tab
        const std::size_t end = tab == std::string::npos ? line.size() : tab;
        if (col >= cols_) {  // on at the first data column of the next row
            col = fixedCols_;
            ++row;
        }
        const std::size_t slot = Slot(row, col);
        if (slot >= cells_.size()) return;  // past the table: the rest is dropped
        const std::string& columnFormat = formats_[static_cast<std::size_t>(col)];
        if (end == start || columnFormat.empty() || !format) {
            cells_[slot].assign(line, start, end - start);
        } else {
            cells_[slot] = format(line.substr(start, end - start), columnFormat);
        }
        cellsUsed_ = std::max(cellsUsed_, slot + 1);
        ++col;
        if (tab == std::string::npos) return;
        start = tab + 1;
    }
}

void GridModel::RemoveDataRow(std::int32_t row) {
    if (!HasCells() || row < fixedRows_ || row >= rows_) return;
    for (std::int32_t r = row; r < rows_; ++r) {
        for (std::int32_t c = fixedCols_; c < cols_; ++c) {
            SetCell(r, c, r + 1 < rows_ ? Cell(r + 1, c) : std::string());
        }
    }
    const auto index = static_cast<std::size_t>(row - fixedRows_);
    if (index < positions_.size()) positions_.erase(positions_.begin() + static_cast<long>(index));
}

int GridModel::AssignText(const std::string& text, const Current& at, const GridFormatter& format) {
    if (!HasCells()) return 0;
    int changed = 0;
    if (at.fillStyle == kFillSelection) {
        if (at.selStartRow < fixedRows_ || at.selStartCol < fixedCols_) return 0;
        const std::int32_t lastRow = std::min(at.selEndRow, rows_ - 1);
        const std::int32_t lastCol = std::min(at.selEndCol, cols_ - 1);
        for (std::int32_t r = at.selStartRow; r <= lastRow; ++r) {
            for (std::int32_t c = at.selStartCol; c <= lastCol; ++c) changed += SetCell(r, c, text);
        }
        return changed;
    }
    if (at.row < 0 || at.col < 0) return 0;
    std::string whole = text;
    if (at.col < maxCols_ && format && !formats_[static_cast<std::size_t>(at.col)].empty()) {
        whole = format(text, formats_[static_cast<std::size_t>(at.col)]);
    }
    if (whole.find('\t') == std::string::npos) return SetCell(at.row, at.col, whole) ? 1 : 0;
    std::int32_t row = at.row, col = at.col;
    for (const std::string& piece : CutAtTabRuns(whole)) {
        if (col >= cols_) {
            col = fixedCols_;
            ++row;
        }
        if (row >= rows_ || !SetCell(row, col, piece)) break;
        ++changed;
        ++col;
    }
    return changed;
}

void GridModel::WriteHeaderRow(const std::string& fieldList) {
    if (fixedRows_ < 1) return;
    std::int32_t col = fixedCols_;
    for (const std::string& name : SplitFieldList(fieldList)) SetCell(0, col++, name);
}

// Every data row gets its number, the last ones too.
void GridModel::WriteRecordNumbers() {
    if (fixedCols_ < 1) return;
    for (std::int32_t row = fixedRows_; row < rows_; ++row) {
        // "%4d", without the runtime's formatter (slow on Windows, and called for every row).
        std::string number = std::to_string(row - fixedRows_ + 1);
        if (number.size() < 4) number.insert(0, 4 - number.size(), ' ');
        SetCell(row, 0, number);
    }
}

void GridModel::RebuildMaxLengths(const std::string& fieldList,
                                  const std::function<std::int16_t(const std::string&)>& sizeOf) {
    maxLengths_.clear();
    for (const std::string& name : SplitFieldList(fieldList)) maxLengths_.push_back(sizeOf(name));
}

}  // namespace zelmor
