#include "binding/BindingRegistry.h"

#include <new>
#include <vector>

#include "core/Dictionary.h"
#include "messages/Messages.h"
#include "platform/CodePage.h"

namespace zelmor {

namespace {

constexpr std::size_t kMaxStoredName = 127;  // the field and table name slots hold 128 bytes

std::string Ansi(const std::u16string& text) { return platform::Utf16ToAnsi(text); }

std::string StoredName(const std::u16string& text) {
    std::string ansi = Ansi(text);
    platform::CutToBytes(ansi, kMaxStoredName);
    return ansi;
}

// Data source names given by callers match without regard to the case of A to Z.
bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

template <typename Entry>
int RemoveControl(std::list<Entry>& entries, const BoundControl& control) {
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (it->control == &control) {
            entries.erase(it);
            return 0;
        }
    }
    return -1;
}

// An entry under the same display name and form window is taken over by a new instance of the
// control (the host recreated it). The earlier instance is not touched: its container owns it.
template <typename Entry, typename WindowOf>
Entry* SameNameAndForm(std::list<Entry>& entries, const std::u16string& name, WindowHandle window,
                       WindowOf windowOf) {
    for (Entry& entry : entries) {
        if (entry.displayName == name && windowOf(entry) == window) return &entry;
    }
    return nullptr;
}

}  // namespace

template <typename Entry, typename Match, typename Call>
void BindingRegistry::CallEach(std::list<Entry>& entries, Match matches, Call call) {
    std::vector<BoundControl*> chosen;
    for (Entry& entry : entries) {
        if (matches(entry)) chosen.push_back(entry.control);
    }
    for (BoundControl* control : chosen) {
        bool stillRegistered = false;
        for (const Entry& entry : entries) stillRegistered |= entry.control == control;
        if (stillRegistered) call(*control);
    }
}

BindingRegistry::BindingRegistry(std::function<WindowHandle(WindowHandle)> parentOf)
    : parentOf_(std::move(parentOf)) {}

bool BindingRegistry::OnFormOrItsParent(WindowHandle entryWindow, WindowHandle window) const {
    return entryWindow == window || (window != 0 && entryWindow == parentOf_(window));
}

bool BindingRegistry::EntryOnForm(WindowHandle entryWindow, WindowHandle formWindow) const {
    return entryWindow == formWindow || (entryWindow != 0 && parentOf_(entryWindow) == formWindow);
}

int BindingRegistry::RegisterDataSource(DataSource& source) {
    WindowHandle window = source.GetFormWindow();
    if (window == 0) return 0;
    std::u16string name = source.GetDisplayName();
    for (DataSourceEntry& entry : dataSources_) {
        if (entry.displayName == name && entry.formWindow == window) {
            if (entry.source != &source) {
                entry.source = &source;
                entry.registration = ++lastRegistration_;
            }
            return 0;
        }
    }
    try {
        dataSources_.push_back(DataSourceEntry{name, window, &source, lastRegistration_ + 1});
        ++lastRegistration_;
    } catch (const std::bad_alloc&) {
        ShowMessage(VE001, "zelutil", __LINE__);
        return -1;
    }
    return 0;
}

// The entry that refers to this data control goes. (Matching by name and form window instead
// would remove the entry of a newer instance that took the name over.)
int BindingRegistry::UnregisterDataSource(DataSource& source) {
    for (auto it = dataSources_.begin(); it != dataSources_.end(); ++it) {
        if (it->source == &source) {
            dataSources_.erase(it);
            return 0;
        }
    }
    return -1;
}

std::uint64_t BindingRegistry::RegistrationOf(const DataSource& source) const {
    for (const DataSourceEntry& entry : dataSources_) {
        if (entry.source == &source) return entry.registration;
    }
    return 0;
}

DataSource* BindingRegistry::DataSourceByRegistration(std::uint64_t registration) const {
    for (const DataSourceEntry& entry : dataSources_) {
        if (registration != 0 && entry.registration == registration) return entry.source;
    }
    return nullptr;
}

int BindingRegistry::RegisterFieldControl(BoundControl& control) {
    std::optional<std::u16string> field = control.GetDbField();
    std::optional<std::u16string> table = control.GetDbTable();
    // An empty name is no name: such a control is never registered.
    if (!field || !table || field->empty() || table->empty()) return -1;
    std::u16string name = control.GetDisplayName();
    WindowHandle window = control.GetFormWindow();
    for (FieldControlEntry& entry : fieldControls_) {
        if (entry.control->GetDisplayName() == name && entry.control->GetFormWindow() == window) {
            entry.control = &control;
            return 0;
        }
    }
    try {
        fieldControls_.push_back(FieldControlEntry{StoredName(*field), StoredName(*table), &control});
    } catch (const std::bad_alloc&) {
        ShowMessage(VE001, "zelutil", __LINE__);
        return -1;
    }
    return 0;
}

int BindingRegistry::UnregisterFieldControl(BoundControl& control) {
    return RemoveControl(fieldControls_, control);
}

int BindingRegistry::RegisterListControl(BoundControl& control) {
    std::u16string name = control.GetDisplayName();
    WindowHandle window = control.GetFormWindow();
    auto windowOf = [](const ListControlEntry& entry) { return entry.formWindow; };
    if (ListControlEntry* entry = SameNameAndForm(listControls_, name, window, windowOf)) {
        entry->control = &control;
        return 0;
    }
    try {
        listControls_.push_back(ListControlEntry{window, control.GetListSource(), name,
                                                 control.GetDbField().value_or(u""),
                                                 control.GetDbTable().value_or(u""), &control});
    } catch (const std::bad_alloc&) {
        return -1;
    }
    return 0;
}

int BindingRegistry::UnregisterListControl(BoundControl& control) {
    return RemoveControl(listControls_, control);
}

int BindingRegistry::RegisterScrollControl(BoundControl& control) {
    std::u16string name = control.GetDisplayName();
    WindowHandle window = control.GetFormWindow();
    auto windowOf = [](const ScrollControlEntry& entry) { return entry.formWindow; };
    if (ScrollControlEntry* entry = SameNameAndForm(scrollControls_, name, window, windowOf)) {
        entry->control = &control;
        return 0;
    }
    try {
        scrollControls_.push_back(
            ScrollControlEntry{control.GetDbSource(), name, &control, window});
    } catch (const std::bad_alloc&) {
        return -1;
    }
    return 0;
}

int BindingRegistry::UnregisterScrollControl(BoundControl& control) {
    return RemoveControl(scrollControls_, control);
}

int BindingRegistry::UpdateScrollControl(BoundControl& control) {
    for (ScrollControlEntry& entry : scrollControls_) {
        if (entry.control != &control) continue;
        entry.dbSource = control.GetDbSource();
        entry.formWindow = control.GetFormWindow();
        entry.displayName = control.GetDisplayName();
        return 0;
    }
    return -1;
}

int BindingRegistry::FindDataSourceByFormName(const std::string& name,
                                              const std::string& formName, DataSource*& found) {
    for (DataSourceEntry& entry : dataSources_) {
        if (!EqualIgnoringAsciiCase(Ansi(entry.displayName), name)) continue;
        std::string entryForm;
        if (entry.source->QueryFormName(entryForm) == 0 && entryForm == formName) {
            found = entry.source;
            return found->Context() == nullptr ? lookup::kNoDictionary : lookup::kFound;
        }
    }
    return lookup::kNotFound;
}

int BindingRegistry::FindDataSourceByWindow(const std::string& name, WindowHandle window,
                                            DataSource*& found) {
    for (DataSourceEntry& entry : dataSources_) {
        if (EqualIgnoringAsciiCase(Ansi(entry.displayName), name) &&
            OnFormOrItsParent(entry.formWindow, window)) {
            found = entry.source;
            return found->Context() == nullptr ? lookup::kNoDictionary : lookup::kFound;
        }
    }
    return lookup::kNotFound;
}

int BindingRegistry::FindDataSourceByDictionary(const std::string& directory,
                                                DataSource*& found) {
    for (DataSourceEntry& entry : dataSources_) {
        if (EqualIgnoringAsciiCase(entry.source->DictionaryDirectory(), directory)) {
            found = entry.source;
            return found->Context() == nullptr ? lookup::kNoDictionary : lookup::kFound;
        }
    }
    return lookup::kNotFound;
}

DataSource* BindingRegistry::FindDataSourceOnForm(WindowHandle formWindow,
                                                  const std::string& name) {
    for (DataSourceEntry& entry : dataSources_) {
        if (Ansi(entry.displayName) == name && OnFormOrItsParent(entry.formWindow, formWindow)) {
            return entry.source;
        }
    }
    return nullptr;
}

TableDef* BindingRegistry::FindBoundTable(WindowHandle formWindow, const std::string& sourceName,
                                          const std::string& tableName) {
    for (DataSourceEntry& entry : dataSources_) {
        if (Ansi(entry.displayName) != sourceName ||
            !OnFormOrItsParent(entry.formWindow, formWindow)) {
            continue;
        }
        FormContext* context = entry.source->Context();
        if (context == nullptr) return nullptr;
        if (TableDef* table = context->TableByName(tableName)) return table;
    }
    return nullptr;
}

int BindingRegistry::FindBoundFieldType(WindowHandle formWindow, const std::string& sourceName,
                                        const std::string& tableName,
                                        const std::string& fieldName) {
    TableDef* table = FindBoundTable(formWindow, sourceName, tableName);
    if (table == nullptr) return -1;
    const FieldDef* field = table->FieldByName(fieldName);
    return field == nullptr ? -1 : field->dataType;
}

int BindingRegistry::NotifySourceReady(const std::string& sourceName, WindowHandle formWindow) {
    if (listControls_.empty() && scrollControls_.empty()) return -1;
    CallEach(
        listControls_,
        [&](ListControlEntry& entry) {
            return EntryOnForm(entry.formWindow, formWindow) &&
                   Ansi(entry.listSource) == sourceName && entry.control->GetUpdateOption() > 0;
        },
        [](BoundControl& control) { control.FillList(); });
    CallEach(
        scrollControls_,
        [&](ScrollControlEntry& entry) {
            return EntryOnForm(entry.formWindow, formWindow) && Ansi(entry.dbSource) == sourceName;
        },
        [](BoundControl& control) { control.OnSourceReady(); });
    return 0;
}

void BindingRegistry::NotifySourceMoved(BoundControl* caller, const std::string& sourceName,
                                        const std::string& tableName, std::int32_t keyPosition) {
    const std::string source = sourceName, table = tableName;
    CallEach(
        scrollControls_,
        [&](ScrollControlEntry& entry) {
            return entry.control != caller && Ansi(entry.dbSource) == source;
        },
        [&](BoundControl& control) { control.OnSourceMoved(table, keyPosition); });
}

bool BindingRegistry::SameOptionGroup(BoundControl& option, BoundControl& other) {
    return &other != &option && other.GetKind() == ControlKind::OptionButton &&
           other.GetDbSource() == option.GetDbSource() &&
           other.GetDbTable() == option.GetDbTable() && other.GetDbField() == option.GetDbField();
}

void BindingRegistry::UncheckOtherOptions(BoundControl& option) {
    CallEach(
        fieldControls_,
        [&](FieldControlEntry& entry) { return SameOptionGroup(option, *entry.control); },
        [](BoundControl& control) { control.Uncheck(); });
}

bool BindingRegistry::OtherOptionChosen(BoundControl& option) {
    for (FieldControlEntry& entry : fieldControls_) {
        if (SameOptionGroup(option, *entry.control) && entry.control->Chosen()) return true;
    }
    return false;
}

bool BindingRegistry::FieldControlBound(const FieldControlEntry& entry, WindowHandle formWindow,
                                        const std::string& tableName,
                                        const std::string& fieldName) const {
    return entry.control->GetFormWindow() == formWindow && entry.fieldName == fieldName &&
           entry.tableName == tableName;
}

bool BindingRegistry::ListControlBound(const ListControlEntry& entry, WindowHandle formWindow,
                                       const std::string& tableName,
                                       const std::string& fieldName) const {
    return entry.formWindow == formWindow && Ansi(entry.dbField) == fieldName &&
           Ansi(entry.dbTable) == tableName;
}

// The names are copied first: they may belong to a table that a control's handler frees.
void BindingRegistry::SetFieldControls(WindowHandle formWindow, const std::string& tableName,
                                       const std::string& fieldName, const std::string& text) {
    const std::string table = tableName, field = fieldName, value = text;
    auto setText = [&](BoundControl& control) { control.SetFieldText(value); };
    CallEach(
        fieldControls_,
        [&](FieldControlEntry& entry) { return FieldControlBound(entry, formWindow, table, field); },
        setText);
    CallEach(
        listControls_,
        [&](ListControlEntry& entry) { return ListControlBound(entry, formWindow, table, field); },
        setText);
}

int BindingRegistry::GetFieldControls(WindowHandle formWindow, const std::string& tableName,
                                      const std::string& fieldName, std::string& text) {
    const std::string table = tableName, field = fieldName;
    int supplied = 0;
    auto read = [&](BoundControl& control) {
        std::string value;
        if (control.ReadFieldText(value)) {
            text = value;
            ++supplied;
        }
    };
    CallEach(
        fieldControls_,
        [&](FieldControlEntry& entry) { return FieldControlBound(entry, formWindow, table, field); },
        read);
    CallEach(
        listControls_,
        [&](ListControlEntry& entry) { return ListControlBound(entry, formWindow, table, field); },
        read);
    return supplied;
}

void BindingRegistry::ClearFieldControls(WindowHandle formWindow, const std::string& tableName,
                                         const std::string& fieldName) {
    const std::string table = tableName, field = fieldName;
    auto clear = [](BoundControl& control) { control.ClearFieldValue(); };
    CallEach(
        fieldControls_,
        [&](FieldControlEntry& entry) { return FieldControlBound(entry, formWindow, table, field); },
        clear);
    CallEach(
        listControls_,
        [&](ListControlEntry& entry) { return ListControlBound(entry, formWindow, table, field); },
        clear);
}

}  // namespace zelmor
