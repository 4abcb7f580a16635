// The process-wide registry of every live data control and bound control, keyed by names and
// form windows. Controls never hold a pointer to their data control: they name it, and resolve
// it here each time. Four ordered lists; new entries go to the tail and lookups take the first
// match from the head.
//
// Every walk that calls out to controls (fills, transfers, moves) first picks the controls it will
// call, then calls each one only if it is still registered: a control's handler may unregister,
// destroy or add controls while the walk goes on.
#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <string>

#include "binding/BoundControl.h"

namespace zelmor {

struct TableDef;

// Result codes of the data source lookups.
namespace lookup {
constexpr int kFound = 0;
constexpr int kNotFound = -11;
constexpr int kNoDictionary = -20;
}  // namespace lookup

class BindingRegistry {
public:
    // `parentOf` gives a window's parent window (0 when none).
    explicit BindingRegistry(std::function<WindowHandle(WindowHandle)> parentOf);

    // Registration: 0, or -1 when the control is not registered.
    int RegisterDataSource(DataSource& source);
    int UnregisterDataSource(DataSource& source);
    int RegisterFieldControl(BoundControl& control);
    int UnregisterFieldControl(BoundControl& control);
    int RegisterListControl(BoundControl& control);
    int UnregisterListControl(BoundControl& control);
    int RegisterScrollControl(BoundControl& control);
    int UnregisterScrollControl(BoundControl& control);
    int UpdateScrollControl(BoundControl& control);

    // The data control of that name (letter case aside) whose form has that name (exactly).
    int FindDataSourceByFormName(const std::string& name, const std::string& formName,
                                 DataSource*& found);
    // The data control of that name (letter case aside) on that window or its parent.
    int FindDataSourceByWindow(const std::string& name, WindowHandle window, DataSource*& found);
    // The first data control whose dictionary directory is that one (letter case aside).
    int FindDataSourceByDictionary(const std::string& directory, DataSource*& found);
    // The data control registered exactly under that name on that form window or its parent.
    DataSource* FindDataSourceOnForm(WindowHandle formWindow, const std::string& name);

    // A bound control's table: its data source (exact name) on its form, and the table there.
    TableDef* FindBoundTable(WindowHandle formWindow, const std::string& sourceName,
                             const std::string& tableName);
    // The field's data type, or -1 when the table or field is not found.
    int FindBoundFieldType(WindowHandle formWindow, const std::string& sourceName,
                           const std::string& tableName, const std::string& fieldName);

    // The list controls and scroll bars of that form that name the source fill themselves.
    int NotifySourceReady(const std::string& sourceName, WindowHandle formWindow);
    // The scroll bars of that source, but the caller, follow a move of the table's position
    // along the key at that segment position.
    void NotifySourceMoved(BoundControl* caller, const std::string& sourceName,
                           const std::string& tableName, std::int32_t keyPosition);
    // The other option buttons of the same source, table and field (on any form) are unchecked.
    void UncheckOtherOptions(BoundControl& option);
    // Whether an option button of the same source, table and field, other than this one, is
    // the chosen one.
    bool OtherOptionChosen(BoundControl& option);

    // Field transfers: every control bound to the field on the form, field controls first.
    void SetFieldControls(WindowHandle formWindow, const std::string& tableName,
                          const std::string& fieldName, const std::string& text);
    // Gives the number of controls that supplied a value; the last one's text is the result.
    int GetFieldControls(WindowHandle formWindow, const std::string& tableName,
                         const std::string& fieldName, std::string& text);
    void ClearFieldControls(WindowHandle formWindow, const std::string& tableName,
                            const std::string& fieldName);

    // Every registration of a data control gets a number never given before (a control that
    // takes the entry over gets a new one), so that a caller holding the number never reaches
    // another control that happens to live at the same address. 0 when not registered.
    std::uint64_t RegistrationOf(const DataSource& source) const;
    // The data control still registered under that number, or nullptr.
    DataSource* DataSourceByRegistration(std::uint64_t registration) const;

    std::size_t DataSourceCount() const { return dataSources_.size(); }
    std::size_t FieldControlCount() const { return fieldControls_.size(); }
    std::size_t ListControlCount() const { return listControls_.size(); }
    std::size_t ScrollControlCount() const { return scrollControls_.size(); }

private:
    struct DataSourceEntry {
        std::u16string displayName;
        WindowHandle formWindow;
        DataSource* source;
        std::uint64_t registration;
    };
    struct FieldControlEntry {
        std::string fieldName;  // ANSI, at most 127 bytes
        std::string tableName;
        BoundControl* control;
    };
    struct ListControlEntry {
        WindowHandle formWindow;
        std::u16string listSource;
        std::u16string displayName;
        std::u16string dbField;
        std::u16string dbTable;
        BoundControl* control;
    };
    struct ScrollControlEntry {
        std::u16string dbSource;
        std::u16string displayName;
        BoundControl* control;
        WindowHandle formWindow;
    };

    // Calls `call` with every control of `entries` that `matches`, as described at the top.
    template <typename Entry, typename Match, typename Call>
    static void CallEach(std::list<Entry>& entries, Match matches, Call call);

    bool OnFormOrItsParent(WindowHandle entryWindow, WindowHandle window) const;
    static bool SameOptionGroup(BoundControl& option, BoundControl& other);
    bool EntryOnForm(WindowHandle entryWindow, WindowHandle formWindow) const;
    bool ListControlBound(const ListControlEntry& entry, WindowHandle formWindow,
                          const std::string& tableName, const std::string& fieldName) const;
    bool FieldControlBound(const FieldControlEntry& entry, WindowHandle formWindow,
                           const std::string& tableName, const std::string& fieldName) const;

    std::function<WindowHandle(WindowHandle)> parentOf_;
    std::list<DataSourceEntry> dataSources_;
    std::list<FieldControlEntry> fieldControls_;
    std::list<ListControlEntry> listControls_;
    std::list<ScrollControlEntry> scrollControls_;
    std::uint64_t lastRegistration_ = 0;
};

// The process's registry: the real window system's parents.
BindingRegistry& Registry();

}  // namespace zelmor
