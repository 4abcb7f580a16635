#include "grid/GridLogic.h"

#include "controls/ButtonLogic.h"
#include "core/Dictionary.h"
#include "extended/ExtendedFill.h"
#include "platform/CodePage.h"

namespace zelmor {

// The fetch's records become rows from FixedRows on; Rows grows up to the capacity, and a full
// grid ends the fetch.
class GridLogic::Rows : public ExtendedFillTarget {
  public:
    explicit Rows(GridLogic& grid) : grid_(grid), model_(grid.model) {}
    void ClearLines() override {
        model_.ClearCells();
        model_.Positions().clear();
        row_ = model_.FixedRows();
    }
    bool RaiseFormat(std::string& line) override {
        grid_.abort = false;
        grid_.view_.RaiseFormat(line);
        return grid_.abort;
    }
    bool AddLine(const std::string& line, std::uint32_t position) override {
        if (row_ == model_.Rows() && model_.Rows() < model_.MaxRows()) model_.SetRows(row_ + 1);
        if (row_ >= model_.Rows()) return false;
        if (grid_.allowUpdate || grid_.allowDelete) model_.Positions().push_back(position);
        model_.StoreRow(row_++, line, [this](const std::string& text, const std::string& format) {
            return grid_.view_.FormatText(text, format);
        });
        return true;
    }
    void RaiseBtrieveError(int status) override {
        grid_.view_.RaiseBtrieveError(platform::Utf16ToAnsi(grid_.dbListTable), status);
    }

  private:
    GridLogic& grid_;
    GridModel& model_;
    std::int32_t row_ = 0;
};

GridLogic::GridLogic(ControlHost& host, BindingRegistry& registry, GridView& view,
                     GridLimits limits)
    : BoundField(ControlKind::Grid, RegistryList::List, host, registry), model(limits),
      view_(view) {}

TableDef* GridLogic::ListTable() {
    return Registry().FindBoundTable(Host().FormWindow(), platform::Utf16ToAnsi(dbListSource),
                                     platform::Utf16ToAnsi(dbListTable));
}

bool GridLogic::Fill() {
    TableDef* table = ListTable();
    if (table == nullptr) return false;
    const int keyPosition = ButtonKeyPosition(*table, platform::Utf16ToAnsi(dbListIndex));
    listKey_ = keyPosition;
    if (OpenOnDemand(*table, dbListSource) != 0 || !table->open) return false;
    ExtendedFillRequest request;
    request.operation = operation;
    request.locks = locks;
    request.conditions = conditions;
    request.ignoreCase = compareCase != 0;
    request.fields = dbListFields;
    request.skipRecords = skipRecords;
    request.maxRecords = maxRecords;
    request.leaveResults = leaveResults;
    request.savePosition = allowUpdate || allowDelete;
    request.separator = "\t";
    request.gridRows = true;
    Rows rows(*this);
    int kept = -1;
    // The table is looked up again afterwards: a handler may have reloaded the dictionary.
    const TableWatch watch(*table);
    if (RunExtendedFill(*table, keyPosition, request, rows, kept) != 0) return false;
    if (leaveResults && kept >= 0) resultId = static_cast<std::int16_t>(kept);
    if (setColNames) model.WriteHeaderRow(dbListFields);
    if (setRecordNumbers) model.WriteRecordNumbers();
    if (allowUpdate && watch.Intact()) {
        model.RebuildMaxLengths(dbListFields, [&](const std::string& name) -> std::int16_t {
            for (const FieldDef& field : table->fields) {
                if (field.name == name) return static_cast<std::int16_t>(field.size);
            }
            return 0;
        });
    }
    view_.Filled();
    return true;
}

}  // namespace zelmor
