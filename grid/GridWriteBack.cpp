// The grid's editing on its records: an edited cell committed, an edited row written back to its
// record by the record's physical position, and a selected row's record deleted.
#include "core/Dictionary.h"
#include "core/FieldAccess.h"
#include "core/RecordOperations.h"
#include "core/recordmanager/RecordManager.h"
#include "grid/GridLogic.h"
#include "messages/Messages.h"
#include "platform/CodePage.h"

namespace zelmor {

void GridLogic::CommitEdit(const std::string& edited, const std::string& original,
                           const GridModel::Current& at) {
    if (edited == original) return;
    if (view_.RaiseBeforeColUpdate(edited)) return;
    rowDirty = true;
    model.AssignText(edited, at, [this](const std::string& text, const std::string& format) {
        return view_.FormatText(text, format);
    });
    view_.RaiseAfterColUpdate();
}

void GridLogic::ReportFailure(int message, int status) {
    if (view_.RaiseBtrieveError(platform::Utf16ToAnsi(dbListTable), status) != 0) {
        ShowMessage(message, status);
    }
}

void GridLogic::WriteBackRow(std::int32_t row) {
    if (!allowUpdate || !rowDirty) return;
    const auto index = static_cast<std::size_t>(row - model.FixedRows());
    if (row < model.FixedRows() || index >= model.Positions().size()) return;
    TableDef* table = ListTable();
    if (table == nullptr) return;
    const TableWatch watch(*table);
    const std::int32_t remembered = DbGetPosition(*table);
    if (view_.RaiseBeforeUpdate() || !watch.Intact()) return;  // the row stays dirty
    int status = DbGetDirectByID(*table, model.Positions()[index], kNoKey);
    if (status != 0) {
        rowDirty = false;
        ReportFailure(VE820, status);
        return;
    }
    bool anyText = false;
    const auto names = SplitFieldList(dbListFields);
    for (std::size_t k = 0; k < names.size(); ++k) {
        const std::string& text = model.Cell(row, model.FixedCols() + static_cast<std::int32_t>(k));
        anyText = anyText || !text.empty();
        DbSetFieldData(*table, names[k], text);
    }
    if (!anyText) return;  // nothing to write: the row stays dirty
    rowDirty = false;
    status = DbAccessByID(*table, op::kUpdate, listKey_);
    if (status != 0) {
        ReportFailure(VE821, status);
        return;
    }
    if (remembered >= 0) {
        status = DbGetDirectByID(*table, static_cast<std::uint32_t>(remembered), listKey_);
        if (status != 0) {
            ReportFailure(VE822, status);
            return;
        }
    }
    view_.RaiseAfterUpdate();
}

void GridLogic::DeleteSelectedRow(std::int32_t& selStartRow) {
    const auto index = static_cast<std::size_t>(selStartRow - model.FixedRows());
    if (!allowDelete || !rowSelected || selStartRow < model.FixedRows() ||
        index >= model.Positions().size()) {
        return;
    }
    TableDef* table = ListTable();
    if (table == nullptr) return;
    const TableWatch watch(*table);
    int status = DbGetDirectByID(*table, model.Positions()[index], kNoKey);
    if (status != 0) {
        rowSelected = false;
        ReportFailure(VE820, status);
        return;
    }
    if (view_.RaiseBeforeDelete() || !watch.Intact()) return;
    status = DbAccessByID(*table, op::kDelete, listKey_);
    if (status != 0) {
        rowSelected = false;
        ReportFailure(VE821, status);
        return;
    }
    model.RemoveDataRow(selStartRow);
    if (selStartRow - model.FixedRows() >= static_cast<std::int32_t>(model.Positions().size())) {
        --selStartRow;
    }
    const auto now = static_cast<std::size_t>(selStartRow - model.FixedRows());
    if (selStartRow >= model.FixedRows() && now < model.Positions().size()) {
        status = DbGetDirectByID(*table, model.Positions()[now], listKey_);
        if (status != 0) ReportFailure(VE820, status);
    }
    view_.RaiseAfterDelete();
    rowSelected = false;
}

}  // namespace zelmor
