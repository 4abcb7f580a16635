#include "controls/ListLogic.h"

#include <algorithm>
#include <new>

#include "controls/ButtonLogic.h"
#include "core/BoundOperations.h"
#include "core/Dictionary.h"
#include "core/FieldAccess.h"
#include "core/RecordOperations.h"
#include "core/recordmanager/RecordManager.h"
#include "extended/ExtendedFill.h"
#include "messages/Messages.h"
#include "platform/CodePage.h"
#include "values/PendingLine.h"

namespace zelmor {

// The extended pass's lines go to the list window; its events are the control's.
class ListLogic::ExtendedTarget : public ExtendedFillTarget {
  public:
    explicit ExtendedTarget(ListLogic& list) : list_(list) {}
    void ClearLines() override { list_.view_.ClearItems(); }
    bool RaiseFormat(std::string& line) override { return list_.Format(line); }
    bool AddLine(const std::string& line, std::uint32_t itemData) override {
        const int index = list_.view_.AddItem(line);
        if (index >= 0 && list_.extended.savePosition) list_.view_.SetItemData(index, itemData);
        return true;
    }
    void RaiseBtrieveError(int status) override {
        list_.view_.RaiseBtrieveError(platform::Utf16ToAnsi(list_.dbListTable), status);
    }

  private:
    ListLogic& list_;
};

std::string ListLogic::Separator() const {
    if (kind_ == ControlKind::ExListBox) return extended.tabStops.empty() ? " " : "\t";
    return extended.delimitChar.empty() ? " " : extended.delimitChar;
}

bool ListLogic::Format(std::string& line) {
    abort = false;
    view_.RaiseFormat(line);
    return abort;
}

void ListLogic::FillList() {
    TableDef* table =
        Registry().FindBoundTable(Host().FormWindow(), platform::Utf16ToAnsi(dbListSource),
                                  platform::Utf16ToAnsi(dbListTable));
    if (table == nullptr) return;
    const int position = ButtonKeyPosition(*table, platform::Utf16ToAnsi(dbListIndex));
    listIndexId = static_cast<std::int16_t>(position);
    if (OpenOnDemand(*table, dbListSource) != 0 || !table->open) return;
    struct DrawingHeld {
        ListView& view;
        explicit DrawingHeld(ListView& v) : view(v) { view.HoldDrawing(true); }
        ~DrawingHeld() { view.HoldDrawing(false); }
    } held(view_);
    if (Extended()) {
        FillByExtendedOperation(*table);
    } else {
        FillByKey(*table);
    }
}

void ListLogic::FillByKey(TableDef& table) {
    const std::int32_t position = DbGetPosition(table);
    // The field of exactly that name, letter case included.
    const std::string fieldName = platform::Utf16ToAnsi(dbListField);
    const auto field = std::find_if(table.fields.begin(), table.fields.end(),
                                    [&](const FieldDef& f) { return f.name == fieldName; });
    if (field == table.fields.end()) return;
    const int fieldId = static_cast<int>(field - table.fields.begin());
    std::fill(table.record.begin(), table.record.end(), 0);
    int status = ReadWholeRecord(table, op::kGetFirst, 0, listIndexId);
    if (status != 0) return;  // an empty table keeps the list it had
    view_.ClearItems();
    const TableWatch watch(table);
    std::string line;
    while (status == 0) {
        try {
            line = DbGetFieldDataByID(table, fieldId);
        } catch (const std::bad_alloc&) {
            ShowMessage(VE001, "Zeldb", __LINE__);
            return;
        }
        if (!FormatLine(TableFillPendingLine(), line, [&](std::string& text) {
                return Format(text);
            })) {
            break;
        }
        // A handler may have closed the table or reloaded the dictionary.
        if (!watch.Intact()) return;
        if (!line.empty()) view_.AddItem(line);
        status = ReadWholeRecord(table, op::kGetNext, 0, listIndexId);
    }
    if (position >= 0 && watch.Intact()) {
        DbGetDirectByID(table, static_cast<std::uint32_t>(position), listIndexId);
    }
}

void ListLogic::FillByExtendedOperation(TableDef& table) {
    ExtendedFillRequest request;
    request.operation = extended.operation;
    request.locks = extended.locks;
    request.conditions = extended.conditions;
    request.ignoreCase = extended.compareCase != 0;
    request.fields = platform::Utf16ToAnsi(dbListField);
    request.skipRecords = extended.skipRecords;
    request.maxRecords = extended.maxRecords;
    request.leaveResults = extended.leaveResults;
    request.savePosition = extended.savePosition;
    request.separator = Separator();
    ExtendedTarget target(*this);
    int kept = -1;
    RunExtendedFill(table, listIndexId, request, target, kept);
    if (extended.leaveResults && kept >= 0) resultId = static_cast<std::int16_t>(kept);
}

}  // namespace zelmor
