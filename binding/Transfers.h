// Moving values between a table's record buffer and the controls of one form bound to it: to
// the controls after a record was read, from them before a record is written, and clearing
// them. The form is the data control's form window.
#pragma once

#include <string>

#include "binding/BindingRegistry.h"
#include "core/BoundOperations.h"

namespace zelmor {

int TransferToControls(BindingRegistry& registry, DataSource& source, TableDef& table);
int TransferFromControls(BindingRegistry& registry, DataSource& source, TableDef& table);
int ClearControls(BindingRegistry& registry, DataSource& source, TableDef& table);

// The bound controls of one form as a record operation sees them: their values, and showing a
// record in them. `cancelled` is the pre-operation event of the caller (a button's SetData).
class FormControls : public BoundOperationHost {
public:
    FormControls(BindingRegistry& registry, WindowHandle formWindow)
        : registry_(registry), formWindow_(formWindow) {}

    bool ReadFieldValue(const TableDef& table, const FieldDef& field, std::string& text) override;
    bool CancelledByHandler() override { return false; }
    void ShowRecord(const TableDef& table) override;
    // Clears every control bound to a field of the table.
    void ClearRecord(const TableDef& table);

private:
    BindingRegistry& registry_;
    WindowHandle formWindow_;
};

}  // namespace zelmor
