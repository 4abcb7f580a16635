#include "controls/ButtonLogic.h"

#include "binding/Transfers.h"
#include "core/Dictionary.h"
#include "core/TableFiles.h"
#include "messages/Messages.h"
#include "platform/CodePage.h"

namespace zelmor {

namespace {

bool WritesRecords(int operation) {
    return operation == kDbInsert || operation == kDbUpdate || operation == kDbDelete ||
           operation == kDbInsertNCC || operation == kDbUpdateNCC;
}

bool KnownOperation(int operation) {
    return operation >= kDbInsert && operation <= kDbUpdateNCC;
}

}  // namespace

int ButtonKeyPosition(const TableDef& table, const std::string& keyName) {
    int position = FindKeyByName(table, keyName);
    return position < 0 ? 0 : position;
}

// The values of the form's bound controls, the SetData event, and the record shown.
class ButtonLogic::Controls : public FormControls {
  public:
    Controls(ButtonLogic& button, WindowHandle form)
        : FormControls(button.Registry(), form), button_(button) {}
    bool CancelledByHandler() override {
        button_.abort = false;
        button_.view_.RaiseSetData();
        return button_.abort;
    }

  private:
    ButtonLogic& button_;
};

void ButtonLogic::ResolveIndex() {
    TableDef* table = FindTable();
    if (table != nullptr) indexId = ButtonKeyPosition(*table, platform::Utf16ToAnsi(dbIndex));
}

int ButtonLogic::Run() {
    const WindowHandle form = Host().FormWindow();
    if (!confirmMsg.empty() && !view_.Confirm(confirmMsg)) return 0;
    const std::string sourceName = platform::Utf16ToAnsi(dbSource);
    TableDef* table = FindTable();
    if (table == nullptr) {
        ShowMessage(VE802);
        return 0;
    }
    // The table's name is copied: an event handler may free the dictionary that holds it.
    const std::string tableName = table->name;
    indexId = ButtonKeyPosition(*table, platform::Utf16ToAnsi(dbIndex));
    if (int status = OpenOnDemand(*table, dbSource); status != 0) return status;
    if (!KnownOperation(operation)) {
        ShowMessage(VE801);
        return 0;
    }
    const TableWatch watch(*table);
    Controls controls(*this, form);
    int status = RunBoundOperation(*table, operation, locks, indexId, controls);
    if (status == 0) {
        if (WritesRecords(operation) && clearControlData && watch.Intact()) {
            controls.ClearRecord(*table);
        }
        Registry().NotifySourceMoved(nullptr, sourceName, tableName, indexId);
        return status;
    }
    if (status == rc::kAborted) return status;
    if (view_.RaiseBtrieveError(tableName, status) != 0) ShowMessage(VE807, status);
    return status;
}

}  // namespace zelmor
