#include "controls/BoundField.h"

#include "core/Dictionary.h"
#include "core/TableFiles.h"
#include "messages/Messages.h"
#include "platform/CodePage.h"

namespace zelmor {

void BoundField::Register() {
    if (registered_ || !host_.UserMode()) return;
    int status = -1;
    switch (list_) {
        case RegistryList::None:
            return;
        case RegistryList::Field:
            status = registry_.RegisterFieldControl(*this);
            break;
        case RegistryList::List:
            status = registry_.RegisterListControl(*this);
            break;
        case RegistryList::Scroll:
            status = registry_.RegisterScrollControl(*this);
            break;
    }
    registered_ = status == 0;
}

void BoundField::Unregister() {
    if (!registered_) return;
    switch (list_) {
        case RegistryList::None:
            break;
        case RegistryList::Field:
            registry_.UnregisterFieldControl(*this);
            break;
        case RegistryList::List:
            registry_.UnregisterListControl(*this);
            break;
        case RegistryList::Scroll:
            registry_.UnregisterScrollControl(*this);
            break;
    }
    registered_ = false;
}

int BoundField::FieldType() {
    if (fieldType_ < 0 && host_.UserMode()) {
        fieldType_ = registry_.FindBoundFieldType(
            host_.FormWindow(), platform::Utf16ToAnsi(dbSource), platform::Utf16ToAnsi(dbTable),
            platform::Utf16ToAnsi(dbField));
    }
    return fieldType_;
}

TableDef* BoundField::FindTable() {
    return registry_.FindBoundTable(host_.FormWindow(), platform::Utf16ToAnsi(dbSource),
                                    platform::Utf16ToAnsi(dbTable));
}

int BoundField::OpenOnDemand(TableDef& table, const std::u16string& sourceName) {
    if (table.open) return 0;
    DataSource* source =
        registry_.FindDataSourceOnForm(host_.FormWindow(), platform::Utf16ToAnsi(sourceName));
    int status = source == nullptr || source->Context() == nullptr
                     ? rc::kNotOpen
                     : OpenTable(*source->Context(), table, source->OwnerName(), source->OpenMode());
    if (status != 0) ShowMessage(VE803, table.name.c_str(), status);
    return status;
}

}  // namespace zelmor
