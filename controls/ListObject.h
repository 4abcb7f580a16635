// The COM side the four list-type controls share: a "ListBox" or "ComboBox" window filled by
// ListLogic, the list operations (ListCount, ListIndex, List, ItemData, AddItem, RemoveItem,
// Clear, Refresh, Reload), the combo boxes' style and edit selection, the extended forms' fill
// settings, and the field transfers as each kind of window makes them. Members an interface lacks
// are simply never called. ZelListBox, ZelComboBox, ZelExListBox and ZelExComboBox each give
// their class description (ListClass).
#pragma once

#ifdef _WIN32

#include "controls/BoundControlObject.h"
#include "controls/ListLogic.h"

namespace zelmor {

// What tells the four classes apart.
struct ListClass {
    ControlKind kind;
    bool combo;
    // Dispatch IDs of the members whose setters notify (0: the class has no such member).
    DISPID style, integralHeight, sort, imeMode, updateOption, extendedFirst, tabStops;
    // Events (0: not raised).
    DISPID formatEvent, scrollEvent, changeEvent;
    bool extendedIntegralHeight;  // the default of IntegralHeight
};

template <typename DualInterface, DISPID kFirstNameId>
class ListObject : public BoundControlObject<DualInterface, kFirstNameId>, private ListView {
    using Base = BoundControlObject<DualInterface, kFirstNameId>;

  public:
    // The list's source.
    STDMETHODIMP get_DbListSource(BSTR* value) { return this->GetName(logic_.dbListSource, value); }
    STDMETHODIMP put_DbListSource(BSTR value) {
        return PutListName(DISPID_LIST_NAMES_DBLISTSOURCE, logic_.dbListSource, value);
    }
    STDMETHODIMP get_DbListTable(BSTR* value) { return this->GetName(logic_.dbListTable, value); }
    STDMETHODIMP put_DbListTable(BSTR value) {
        return PutListName(DISPID_LIST_NAMES_DBLISTTABLE, logic_.dbListTable, value);
    }
    STDMETHODIMP get_DbListField(BSTR* value) { return this->GetName(logic_.dbListField, value); }
    STDMETHODIMP put_DbListField(BSTR value) {
        return PutListName(DISPID_LIST_NAMES_DBLISTFIELD, logic_.dbListField, value);
    }
    STDMETHODIMP get_DbListFields(BSTR* value) { return get_DbListField(value); }
    STDMETHODIMP put_DbListFields(BSTR value) { return put_DbListField(value); }
    STDMETHODIMP get_DbListIndex(BSTR* value) { return this->GetName(logic_.dbListIndex, value); }
    STDMETHODIMP put_DbListIndex(BSTR value) {
        return PutListName(DISPID_LIST_NAMES_DBLISTINDEX, logic_.dbListIndex, value);
    }

    STDMETHODIMP get_IntegralHeight(VARIANT_BOOL* value);
    STDMETHODIMP put_IntegralHeight(VARIANT_BOOL value);
    STDMETHODIMP get_Sort(VARIANT_BOOL* value);
    STDMETHODIMP put_Sort(VARIANT_BOOL value);
    STDMETHODIMP get_DbUpdateOption(_enumUpdateOption* value);
    STDMETHODIMP put_DbUpdateOption(_enumUpdateOption value);
    STDMETHODIMP get_Abort(VARIANT_BOOL* value);
    STDMETHODIMP put_Abort(VARIANT_BOOL value);

    // The list operations.
    STDMETHODIMP get_ListCount(long* value);
    STDMETHODIMP put_ListCount(long value);
    STDMETHODIMP get_ListIndex(long* value);
    STDMETHODIMP put_ListIndex(long value);
    STDMETHODIMP get_List(long index, BSTR* value);
    STDMETHODIMP put_List(long index, BSTR value);
    STDMETHODIMP get_ItemData(long index, long* value);
    STDMETHODIMP put_ItemData(long index, long value);
    STDMETHODIMP AddItem(BSTR text, VARIANT index, long* result);
    STDMETHODIMP RemoveItem(long index, long* result);
    STDMETHODIMP Clear();
    STDMETHODIMP Refresh();
    STDMETHODIMP Reload() { return Refresh(); }

    // The combo boxes.
    STDMETHODIMP get_Style(_enumComboStyle* value);
    STDMETHODIMP put_Style(_enumComboStyle value);
    STDMETHODIMP get_ImeMode(_enumImeMode* value);
    STDMETHODIMP put_ImeMode(_enumImeMode value);
    STDMETHODIMP get_SelStart(long* value);
    STDMETHODIMP put_SelStart(long value);
    STDMETHODIMP get_SelLength(long* value);
    STDMETHODIMP put_SelLength(long value);
    STDMETHODIMP get_SelText(BSTR* value);
    STDMETHODIMP put_SelText(BSTR value);

    // The extended forms.
    STDMETHODIMP get_DbConditions(BSTR* value);
    STDMETHODIMP put_DbConditions(BSTR value);
    STDMETHODIMP get_DbCompareCase(_enumDbCompareCase* value);
    STDMETHODIMP put_DbCompareCase(_enumDbCompareCase value);
    STDMETHODIMP get_DbExOperation(_enumExOpCode* value);
    STDMETHODIMP put_DbExOperation(_enumExOpCode value);
    STDMETHODIMP get_DbLocks(_enumLocks* value);
    STDMETHODIMP put_DbLocks(_enumLocks value);
    STDMETHODIMP get_DbSkipRecords(short* value);
    STDMETHODIMP put_DbSkipRecords(short value);
    STDMETHODIMP get_DbMaxRecords(long* value);
    STDMETHODIMP put_DbMaxRecords(long value);
    STDMETHODIMP get_DbLeaveResults(VARIANT_BOOL* value);
    STDMETHODIMP put_DbLeaveResults(VARIANT_BOOL value);
    STDMETHODIMP get_DbSavePosition(VARIANT_BOOL* value);
    STDMETHODIMP put_DbSavePosition(VARIANT_BOOL value);
    STDMETHODIMP get_DbDelimitChar(BSTR* value);
    STDMETHODIMP put_DbDelimitChar(BSTR value);
    STDMETHODIMP get_DbTabStops(BSTR* value);
    STDMETHODIMP put_DbTabStops(BSTR value);
    STDMETHODIMP get_DbResultID(short* value);
    STDMETHODIMP put_DbResultID(short value);
    STDMETHODIMP get_DbListIndexID(short* value);
    STDMETHODIMP put_DbListIndexID(short value);

    ListLogic& Logic() { return logic_; }

  protected:
    ListObject(const com::ControlClass& controlClass, const ListClass& listClass);

    BoundField& Binding() override { return logic_; }
    void CreateWindows() override;
    void OnWindowCreated() override;
    void OnFocusArrived() override;
    bool OnCommand(HWND child, WORD code) override;
    bool OnChildMessage(HWND child, UINT message, WPARAM wParam, LPARAM lParam,
                        LRESULT& result) override;
    void LayoutChildren(int width, int height) override;

  private:
    // ListView
    void HoldDrawing(bool hold) override;
    void ClearItems() override;
    int AddItem(const std::string& text) override;
    void SetItemData(int index, std::uint32_t data) override;
    void RaiseFormat(std::string& line) override;
    void RaiseBtrieveError(const std::string& tableName, int status) override;
    void ShowValue(const std::string& text) override;
    std::string ShownValue() override;
    void ClearValue() override;

    // DbListSource and the other list names: `offset` from DbSource's ID.
    HRESULT PutListName(DISPID offset, std::u16string& name, BSTR value);
    HRESULT PutExtendedText(DISPID offset, std::string& text, BSTR value);
    template <typename T, typename U>
    HRESULT PutExtended(DISPID offset, T& field, const U& value) {
        return this->SetProperty(class_.extendedFirst + offset, field, value);
    }
    // The window's message for each kind of window.
    LRESULT Send(UINT comboMessage, UINT listMessage, WPARAM wParam = 0, LPARAM lParam = 0);
    long Count();
    std::wstring ItemText(long index);
    // The combo box's edit selection is there to read or write (run time, DropDownCombo).
    bool HasEditSelection();
    HWND EditWindow();
    void Recreate();

    const ListClass& class_;
    ListLogic logic_;
    int style_ = 0;  // _enumComboStyle
    int imeMode_ = 0;
    bool integralHeight_;
    bool sort_ = false;
};

}  // namespace zelmor

#endif
