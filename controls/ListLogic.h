// The list and combo boxes apart from their windows: the list read from a table, along a key
// (one field a line) or by extended operations (several fields a line, filtered by the record
// manager), through the Format event; and the binding to a field of the record shown. The four
// COM classes (ZelListBox, ZelComboBox, ZelExListBox, ZelExComboBox) own one and are its view.
#pragma once

#include <cstdint>
#include <string>

#include "controls/BoundField.h"

namespace zelmor {

struct TableDef;

// What the list's logic asks of its window and events.
class ListView {
  public:
    virtual ~ListView() = default;
    // While a fill runs the window does not redraw for every item; it shows the list after.
    virtual void HoldDrawing(bool hold) = 0;
    virtual void ClearItems() = 0;
    // Adds an item at the end, or in order when the window sorts; gives its index, or -1.
    virtual int AddItem(const std::string& text) = 0;
    virtual void SetItemData(int index, std::uint32_t data) = 0;
    // Fires Format with the line, which the handler may change.
    virtual void RaiseFormat(std::string& line) = 0;
    virtual void RaiseBtrieveError(const std::string& tableName, int status) = 0;
    // A field transfer, as the window's kind does it: show a value, give the value shown
    // (false when the control has none to give), show none.
    virtual void ShowValue(const std::string& text) = 0;
    virtual std::string ShownValue() = 0;
    virtual void ClearValue() = 0;
};

// What the extended forms add to the list: the filter, the operation and the result set.
struct ExtendedListSettings {
    std::string conditions;  // ANSI
    int compareCase = 0;     // 0 case-sensitive, 1 ignore case
    int operation = 1;       // OpGetNextEx
    int locks = 0;
    std::int16_t skipRecords = 100;
    std::int32_t maxRecords = 300;
    bool leaveResults = false;
    bool savePosition = false;
    std::string delimitChar;  // the combo box's separator; empty: one blank
    std::string tabStops;     // the list box: not empty, fields are separated by a tab
};

class ListLogic : public BoundField {
  public:
    // kind: ListBox, ComboBox, ExListBox or ExComboBox.
    ListLogic(ControlKind kind, ControlHost& host, BindingRegistry& registry, ListView& view)
        : BoundField(kind, RegistryList::List, host, registry), kind_(kind), view_(view) {}

    // Properties (names as the host language gives them).
    std::u16string dbListSource;
    std::u16string dbListTable;
    std::u16string dbListField;  // one field name; for the extended forms a field list
    std::u16string dbListIndex;
    std::int16_t updateOption = kUpdateOnInit;
    bool abort = false;
    ExtendedListSettings extended;
    // Read-only for the program: the last kept result set, the key of the last fill.
    std::int16_t resultId = 0;
    std::int16_t listIndexId = 0;

    bool Extended() const {
        return kind_ == ControlKind::ExListBox || kind_ == ControlKind::ExComboBox;
    }
    // The text between two fields of an extended item.
    std::string Separator() const;

    // BoundControl
    std::u16string GetListSource() override { return dbListSource; }
    std::int16_t GetUpdateOption() override { return updateOption; }
    // Reads the list from its table. A list table, field or first record that cannot be found
    // or read leaves the list as it was.
    void FillList() override;
    void SetFieldText(const std::string& text) override { view_.ShowValue(text); }
    bool ReadFieldText(std::string& text) override {
        text = view_.ShownValue();
        return true;
    }
    void ClearFieldValue() override { view_.ClearValue(); }

  private:
    class ExtendedTarget;

    void FillByKey(TableDef& table);
    void FillByExtendedOperation(TableDef& table);
    // Fires Format; true when the handler set Abort.
    bool Format(std::string& line);

    ControlKind kind_;
    ListView& view_;
};

}  // namespace zelmor
