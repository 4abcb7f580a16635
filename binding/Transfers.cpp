#include "binding/Transfers.h"

#include "core/Dictionary.h"
#include "core/FieldAccess.h"

namespace zelmor {

bool FormControls::ReadFieldValue(const TableDef& table, const FieldDef& field,
                                  std::string& text) {
    return registry_.GetFieldControls(formWindow_, table.name, field.name, text) > 0;
}

// A control's handler may close the table or reload the dictionary while a value is shown:
// the transfer then stops.
void FormControls::ShowRecord(const TableDef& table) {
    const TableWatch watch(table);
    for (std::size_t i = 0; watch.Intact() && i < table.fields.size(); ++i) {
        registry_.SetFieldControls(formWindow_, table.name, table.fields[i].name,
                                   DbGetFieldDataByID(table, static_cast<int>(i)));
    }
}

int TransferToControls(BindingRegistry& registry, DataSource& source, TableDef& table) {
    FormControls(registry, source.GetFormWindow()).ShowRecord(table);
    return 0;
}

// Values are written one after another, stepping over each nullable field's null byte as every
// other write into a record does, so that a table with nullable fields gets its values where
// the record holds them.
int TransferFromControls(BindingRegistry& registry, DataSource& source, TableDef& table) {
    FormControls controls(registry, source.GetFormWindow());
    ReadControlsIntoRecord(table, controls, Placement::Walk);
    return 0;
}

void FormControls::ClearRecord(const TableDef& table) {
    const TableWatch watch(table);
    for (std::size_t i = 0; watch.Intact() && i < table.fields.size(); ++i) {
        registry_.ClearFieldControls(formWindow_, table.name, table.fields[i].name);
    }
}

int ClearControls(BindingRegistry& registry, DataSource& source, TableDef& table) {
    FormControls(registry, source.GetFormWindow()).ClearRecord(table);
    return 0;
}

}  // namespace zelmor
