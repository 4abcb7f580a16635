// The grid's data apart from its window: the geometry with the invariants its setters keep, the
// cell store (one slot table at the largest size, a cell found by row × the current Cols +
// column, so that changing Cols re-maps the texts without moving them), row heights and column
// widths, the per-column settings, the records' positions, and how texts get into cells: a
// fetched row, an assignment to Text, the header row and the record numbers. ZelGrid owns one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "values/GlobalOptions.h"

namespace zelmor {

// Why a grid member refused: the control turns these into its automation errors.
enum class GridResult {
    Ok,
    InvalidValue,  // 380
    BadIndex,      // 381
    NotSettable,   // 383
    NotReadable,   // 394
};

// FillStyle: what an assignment to Text fills.
enum GridFillStyle : int { kFillCell = 0, kFillSelection = 1 };

// Applies a column's format string to a text; gives the text to store.
using GridFormatter =
    std::function<std::string(const std::string& text, const std::string& format)>;

class GridModel {
  public:
    static constexpr std::int32_t kDefaultRowHeight = 20;  // pixels
    static constexpr std::int32_t kDefaultColWidth = 50;

    explicit GridModel(GridLimits limits);

    std::int32_t MaxRows() const { return maxRows_; }
    std::int32_t MaxCols() const { return maxCols_; }

    // --- Geometry ---
    std::int32_t Rows() const { return rows_; }
    std::int32_t Cols() const { return cols_; }
    std::int32_t FixedRows() const { return fixedRows_; }
    std::int32_t FixedCols() const { return fixedCols_; }
    // Rows and Cols stay above their fixed counts and within the capacity; the fixed counts stay
    // below them and are not negative.
    GridResult SetRows(std::int32_t value);
    GridResult SetCols(std::int32_t value);
    GridResult SetFixedRows(std::int32_t value);
    GridResult SetFixedCols(std::int32_t value);
    // The width of the fixed columns and the height of the fixed rows, in pixels.
    std::int32_t FixedBandWidth() const;
    std::int32_t FixedBandHeight() const;

    // --- Sizes, in pixels ---
    // An index up to Rows (Cols) and below the capacity.
    GridResult RowHeight(std::int32_t row, std::int32_t& pixels) const;
    GridResult SetRowHeight(std::int32_t row, std::int32_t pixels);
    GridResult ColWidth(std::int32_t col, std::int32_t& pixels) const;
    GridResult SetColWidth(std::int32_t col, std::int32_t pixels);

    // --- Cells (run time: the table exists once made) ---
    // Makes the cell table and the format strings (at run time only).
    void MakeCellTable();
    bool HasCells() const { return !cells_.empty(); }
    // The text of a cell; empty outside the grid or without a table.
    const std::string& Cell(std::int32_t row, std::int32_t col) const;
    // False when the slot lies outside the table.
    bool SetCell(std::int32_t row, std::int32_t col, const std::string& text);
    // Empties every slot, fixed cells included.
    void ClearCells();
    // A deleted record's row leaves the grid: the data cells of every later row move up one
    // row, the last row's data cells become empty, Rows and the fixed cells stay, and the row's
    // position leaves the list.
    void RemoveDataRow(std::int32_t row);

    // --- Per-column settings ---
    // Format strings: an index from 0 to the capacity - 1.
    GridResult FormatString(std::int32_t col, std::string& format) const;
    GridResult SetFormatString(std::int32_t col, const std::string& format);
    // TextAlign and IMEMode: read below Cols (past the list: 0), written below the capacity.
    GridResult TextAlign(std::int32_t col, std::int16_t& value) const;
    GridResult SetTextAlign(std::int32_t col, std::int16_t value);
    GridResult ImeMode(std::int32_t col, std::int16_t& value) const;
    GridResult SetImeMode(std::int32_t col, std::int16_t value);
    // The editor's length limit of data column `col` (FixedCols .. Cols); 0: none.
    GridResult CellMaxLength(std::int32_t col, std::int16_t& value) const;
    GridResult SetCellMaxLength(std::int32_t col, std::int16_t value);

    // --- Records ---
    // The physical position of the record in data row FixedRows + index.
    GridResult Position(std::int32_t index, std::uint32_t& position) const;
    std::vector<std::uint32_t>& Positions() { return positions_; }

    // --- Texts into cells ---
    // A fetched line into row `row` from column FixedCols: cut at every tab (an empty piece leaves
    // its cell empty, a trailing tab adds nothing), each piece through its column's format,
    // going on at FixedCols of the next row after the last column.
    void StoreRow(std::int32_t row, const std::string& line, const GridFormatter& format);
    // An assignment to Text: the selection (FillStyle 1), or the current cell and, for a text
    // with tabs, the cells after it (runs of tabs are one separator). Gives the number of cells
    // changed.
    struct Current {
        std::int32_t row, col;
        std::int32_t selStartRow, selEndRow, selStartCol, selEndCol;
        int fillStyle;
    };
    int AssignText(const std::string& text, const Current& at, const GridFormatter& format);
    // Row 0 from FixedCols on: the names of the field list (cut at commas).
    void WriteHeaderRow(const std::string& fieldList);
    // Column 0 from FixedRows on: 1, 2, 3 ... as "%4d".
    void WriteRecordNumbers();
    // The editor's limits: for each name of the field list, the size of the table's field of
    // exactly that name, or 0.
    void RebuildMaxLengths(const std::string& fieldList,
                           const std::function<std::int16_t(const std::string&)>& sizeOf);

  private:
    std::size_t Slot(std::int32_t row, std::int32_t col) const;

    std::int32_t maxRows_;
    std::int32_t maxCols_;
    std::int32_t rows_ = 2;
    std::int32_t cols_ = 2;
    std::int32_t fixedRows_ = 1;
    std::int32_t fixedCols_ = 1;
    std::vector<std::int32_t> rowHeights_;
    std::vector<std::int32_t> colWidths_;
    std::vector<std::string> cells_;
    std::size_t cellsUsed_ = 0;  // the slots from here on have never held a text
    std::vector<std::string> formats_;
    std::vector<std::int16_t> textAlign_;
    std::vector<std::int16_t> imeModes_;
    std::vector<std::int16_t> maxLengths_;
    std::vector<std::uint32_t> positions_;
};

// The names of a field list cut at its commas (a comma inside a double-byte character is part
// of it).
std::vector<std::string> SplitFieldList(const std::string& fieldList);

}  // namespace zelmor
