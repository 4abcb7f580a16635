// The grid apart from its window: its model, its binding as a list control of its data source,
// and the fill: the records along a key that satisfy the conditions, read in blocks of extended
// operations into rows, through the Format event, with the header row, the record numbers and
// the editor's length limits after it. ZelGrid owns one and is its view.
#pragma once

#include <cstdint>
#include <string>

#include "controls/BoundField.h"
#include "grid/GridModel.h"

namespace zelmor {

struct TableDef;

// What the grid's logic asks of its window and events.
class GridView {
  public:
    virtual ~GridView() = default;
    // Fires Format with the record's line, which the handler may change.
    virtual void RaiseFormat(std::string& line) = 0;
    // Gives the status as the handler left it (a message follows only when it is not 0).
    virtual int RaiseBtrieveError(const std::string& tableName, int status) = 0;
    // A column's format string applied to a text (the host's format service).
    virtual std::string FormatText(const std::string& text, const std::string& format) = 0;
    // A fill succeeded, whoever started it: the window shows the new rows.
    virtual void Filled() {}
    // The editing events; the Before events give true when the handler cancelled.
    virtual bool RaiseBeforeColUpdate(const std::string& text) = 0;
    virtual void RaiseAfterColUpdate() = 0;
    virtual bool RaiseBeforeUpdate() = 0;
    virtual void RaiseAfterUpdate() = 0;
    virtual bool RaiseBeforeDelete() = 0;
    virtual void RaiseAfterDelete() = 0;
};

// DbUpdateOption of the grid.
enum GridUpdateOption : std::int16_t { kUpdateGridNone = 0, kUpdateGridInitial = 1 };

class GridLogic : public BoundField {
  public:
    GridLogic(ControlHost& host, BindingRegistry& registry, GridView& view, GridLimits limits);

    GridModel model;

    // Properties (names as the host language gives them; texts in the ANSI code page).
    std::u16string dbListSource;
    std::u16string dbListTable;
    std::u16string dbListIndex;
    std::string dbListFields;
    std::string conditions;
    int compareCase = 0;
    int operation = 1;  // OpGetNextEx
    int locks = 0;
    std::int16_t skipRecords = 100;
    std::int32_t maxRecords = 300;
    bool leaveResults = false;
    std::int16_t resultId = 0;
    std::int16_t updateOption = kUpdateGridInitial;
    bool abort = false;
    bool setColNames = true;
    bool setRecordNumbers = true;
    bool allowUpdate = false;
    bool allowDelete = false;

    // BoundControl: its data source, and the fill when it becomes ready.
    std::u16string GetListSource() override { return dbListSource; }
    std::int16_t GetUpdateOption() override { return updateOption; }
    void FillList() override { Fill(); }

    // Reads the records into the rows. True when the fetch succeeded: the header row, record
    // numbers and length limits are then written, and the view hears of it.
    bool Fill();

    // --- Editing (run time) ---
    // An edited cell of the current row has not been written back; a whole row is selected.
    bool rowDirty = false;
    bool rowSelected = false;
    // The editor's text, when it differs from what the cell had when editing began: unless
    // BeforeColUpdate cancels, it is stored as an assignment to Text is and the row is dirty.
    void CommitEdit(const std::string& edited, const std::string& original,
                    const GridModel::Current& at);
    // A dirty row goes back to its record, found by its physical position; a row whose data
    // cells are all empty is not written and stays dirty.
    void WriteBackRow(std::int32_t row);
    // The selected row's record is deleted and the row leaves the grid. `selStartRow` moves up
    // when it was the last row with a record; when it is still a data row the table is
    // positioned on its record.
    void DeleteSelectedRow(std::int32_t& selStartRow);

  private:
    // The list table and the key of the last fill.
    TableDef* ListTable();
    // BtrieveError, then the message when the handler left a status.
    void ReportFailure(int message, int status);
    class Rows;

    GridView& view_;
    int listKey_ = 0;  // the key position of the last fill
};

}  // namespace zelmor
