#include "controls/ListObject.h"

#include <algorithm>
#include <new>

#include "com/AnsiText.h"
#include "com/Variant.h"
#include "com/Guarded.h"
#include "controls/ImeModes.h"
#include "controls/Win32Ime.h"

namespace zelmor {

namespace {

// The drop-down list of a combo box opens below its edit field this many pixels deep.
constexpr int kDropDownDepth = 160;
// The longest text a combo box's edit field gives a transfer.
constexpr int kLongestTransferText = 4096;

constexpr int kDropDownCombo = 0;
constexpr int kSimpleCombo = 1;
constexpr int kDropDownList = 2;

bool MissingArgument(const VARIANT& value) {
    return V_VT(&value) == VT_EMPTY ||
           (V_VT(&value) == VT_ERROR && V_ERROR(&value) == DISP_E_PARAMNOTFOUND);
}

}  // namespace

template <typename I, DISPID F>
ListObject<I, F>::ListObject(const com::ControlClass& controlClass, const ListClass& listClass)
    : Base(controlClass),
      class_(listClass),
      logic_(listClass.kind, this->Site(), zelmor::Registry(), *this),
      integralHeight_(listClass.extendedIntegralHeight) {
    this->Stock().backColor = com::kSystemWindow;
    this->Stock().foreColor = com::kSystemWindowText;
}

// --- The window ---

template <typename I, DISPID F>
void ListObject<I, F>::CreateWindows() {
    DWORD style = WS_VISIBLE | WS_CLIPSIBLINGS | WS_VSCROLL;
    const DWORD exStyle = this->Stock().appearance != 0 ? WS_EX_CLIENTEDGE : 0;
    const std::wstring text = com::WideOf(com::AnsiOf(this->Stock().text));
    if (class_.combo) {
        style |= CBS_DISABLENOSCROLL;
        if (!logic_.Extended()) style |= WS_CLIPCHILDREN;
        style |= style_ == kDropDownCombo ? CBS_DROPDOWN | CBS_AUTOHSCROLL
                 : style_ == kSimpleCombo ? CBS_SIMPLE | CBS_AUTOHSCROLL
                                          : CBS_DROPDOWNLIST;
        if (sort_) style |= CBS_SORT;
        if (!integralHeight_) style |= CBS_NOINTEGRALHEIGHT;
        this->CreateHostedChild(L"ComboBox", style, exStyle, text.c_str());
    } else {
        style |= LBS_NOTIFY | LBS_USETABSTOPS;
        if (sort_) style |= LBS_SORT;
        if (!integralHeight_) style |= LBS_NOINTEGRALHEIGHT;
        if (this->Stock().borderStyle != 0) style |= WS_BORDER;
        HWND list = this->CreateHostedChild(L"ListBox", style, exStyle, text.c_str());
        // At design time the list shows whose it is.
        if (list && !this->Site().UserMode()) {
            SendMessageW(list, LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(this->AmbientDisplayName().c_str()));
        }
    }
    RECT client{};
    GetClientRect(this->Window(), &client);
    LayoutChildren(client.right, client.bottom);
}

// At run time a list that fills on creation reads its table once it is registered.
template <typename I, DISPID F>
void ListObject<I, F>::OnWindowCreated() {
    Base::OnWindowCreated();
    if (logic_.Registered() && logic_.updateOption == kUpdateOnInit) logic_.FillList();
}

// A drop-down combo box is as high as its edit field shows plus its list: the part below the
// control's window is the list, which opens over the form.
template <typename I, DISPID F>
void ListObject<I, F>::LayoutChildren(int width, int height) {
    HWND child = this->HostedChild();
    if (!child) return;
    const bool dropsDown = class_.combo && style_ != kSimpleCombo;
    MoveWindow(child, 0, 0, width, dropsDown ? height + kDropDownDepth : height, TRUE);
}

template <typename I, DISPID F>
void ListObject<I, F>::Recreate() {
    if (!this->HostedChild()) return;
    CreateWindows();
    this->ApplyFont();
    this->ApplyEnabled();
}

template <typename I, DISPID F>
void ListObject<I, F>::OnFocusArrived() {
    if (!this->Site().UserMode()) return;
    if (logic_.updateOption == kUpdateOnFocus) logic_.FillList();
    if (class_.combo && style_ != kDropDownList && imeMode_ != kImeNone) {
        SetImeMode(PlatformImeCalls(), reinterpret_cast<WindowHandle>(EditWindow()), imeMode_);
    }
}

template <typename I, DISPID F>
bool ListObject<I, F>::OnCommand(HWND child, WORD code) {
    if (child != this->HostedChild()) return false;
    if (!this->Site().UserMode()) return true;
    const bool selected = class_.combo ? code == CBN_SELCHANGE : code == LBN_SELCHANGE;
    const bool twice = class_.combo ? code == CBN_DBLCLK : code == LBN_DBLCLK;
    if (selected) {
        this->FireEvent(DISPID_CLICK);
    } else if (twice) {
        this->FireEvent(DISPID_DBLCLICK);
    } else if (class_.combo && code == CBN_EDITCHANGE && class_.changeEvent != 0) {
        this->FireEvent(class_.changeEvent);
    } else {
        return false;
    }
    return true;
}

template <typename I, DISPID F>
bool ListObject<I, F>::OnChildMessage(HWND child, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result) {
    if (message == WM_VSCROLL && class_.scrollEvent != 0 && this->Site().UserMode()) {
        this->FireEvent(class_.scrollEvent);
    }
    return Base::OnChildMessage(child, message, wParam, lParam, result);
}

// --- ListView ---

template <typename I, DISPID F>
LRESULT ListObject<I, F>::Send(UINT comboMessage, UINT listMessage, WPARAM wParam,
                               LPARAM lParam) {
    HWND child = this->HostedChild();
    if (!child) return LB_ERR;
    return SendMessageW(child, class_.combo ? comboMessage : listMessage, wParam, lParam);
}

template <typename I, DISPID F>
long ListObject<I, F>::Count() {
    const LRESULT count = Send(CB_GETCOUNT, LB_GETCOUNT);
    return count < 0 ? 0 : static_cast<long>(count);
}

template <typename I, DISPID F>
std::wstring ListObject<I, F>::ItemText(long index) {
    const LRESULT length = Send(CB_GETLBTEXTLEN, LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (length < 0) return std::wstring();
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT got = Send(CB_GETLBTEXT, LB_GETTEXT, static_cast<WPARAM>(index),
                             reinterpret_cast<LPARAM>(text.data()));
    text.resize(got < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(got), text.size()));
    return text;
}

template <typename I, DISPID F>
void ListObject<I, F>::HoldDrawing(bool hold) {
    HWND child = this->HostedChild();
    if (!child) return;
    SendMessageW(child, WM_SETREDRAW, hold ? FALSE : TRUE, 0);
    if (!hold) RedrawWindow(child, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
}

template <typename I, DISPID F>
void ListObject<I, F>::ClearItems() {
    Send(CB_RESETCONTENT, LB_RESETCONTENT);
}

template <typename I, DISPID F>
int ListObject<I, F>::AddItem(const std::string& text) {
    const std::wstring wide = com::WideOf(text);
    const LRESULT index =
        Send(CB_ADDSTRING, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    return index < 0 ? -1 : static_cast<int>(index);
}

template <typename I, DISPID F>
void ListObject<I, F>::SetItemData(int index, std::uint32_t data) {
    Send(CB_SETITEMDATA, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
}

// Without a listener the line goes through as it is, and no text is made for the event.
template <typename I, DISPID F>
void ListObject<I, F>::RaiseFormat(std::string& line) {
    if (!this->HasEventSinks()) return;
    BSTR text = com::Bstr(com::WideOf(line)).Detach();
    com::EventArguments arguments;
    arguments.AddByRef(&text);
    this->FireEvent(class_.formatEvent, arguments);
    com::Bstr result;
    *result.Put() = text;
    line = com::AnsiOf(result.Text());
}

template <typename I, DISPID F>
void ListObject<I, F>::RaiseBtrieveError(const std::string& tableName, int status) {
    short value = static_cast<short>(status);
    com::EventArguments arguments;
    arguments.Add(com::WideOf(tableName)).AddByRef(&value);
    this->FireEvent(DISPID_LISTBOX_EVENT_BTRIEVEERROR, arguments);  // the same for every form
}

// A list selects the first item that begins with the text; a combo box with an edit field of
// style 0 shows the text there, the others select the item of that text (letter case aside).
template <typename I, DISPID F>
void ListObject<I, F>::ShowValue(const std::string& text) {
    HWND child = this->HostedChild();
    if (!child) return;
    const std::wstring wide = com::WideOf(text);
    const LPARAM pointer = reinterpret_cast<LPARAM>(wide.c_str());
    if (!class_.combo) {
        SendMessageW(child, LB_SELECTSTRING, static_cast<WPARAM>(-1), pointer);
    } else if (style_ == kDropDownCombo) {
        SetWindowTextW(child, wide.c_str());
    } else {
        const LRESULT found = SendMessageW(child, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           pointer);
        if (found >= 0) SendMessageW(child, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
    }
}

template <typename I, DISPID F>
std::string ListObject<I, F>::ShownValue() {
    HWND child = this->HostedChild();
    if (!child) return std::string();
    if (class_.combo && style_ == kDropDownCombo) {
        std::wstring text = this->TextOfWindow(child);
        if (text.size() > kLongestTransferText) text.resize(kLongestTransferText);
        return com::AnsiOf(text);
    }
    const LRESULT selected = Send(CB_GETCURSEL, LB_GETCURSEL);
    return selected < 0 ? std::string() : com::AnsiOf(ItemText(static_cast<long>(selected)));
}

template <typename I, DISPID F>
void ListObject<I, F>::ClearValue() {
    Send(CB_SETCURSEL, LB_SETCURSEL, static_cast<WPARAM>(-1));
    if (class_.combo && this->HostedChild()) SetWindowTextW(this->HostedChild(), L"");
}

// --- Properties ---

template <typename I, DISPID F>
HRESULT ListObject<I, F>::PutListName(DISPID offset, std::u16string& name, BSTR value) {
    return com::Guarded([&] { return this->PutName(F + offset, name, value); });
}

template <typename I, DISPID F>
HRESULT ListObject<I, F>::PutExtendedText(DISPID offset, std::string& text, BSTR value) {
    return com::Guarded([&] { return PutExtended(offset, text, com::AnsiOf(value)); });
}

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_IntegralHeight(VARIANT_BOOL* value) {
    return this->OutBool(value, integralHeight_);
}
// A list box's new value shows at once at design time; otherwise at the next window.
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_IntegralHeight(VARIANT_BOOL value) {
    HRESULT hr = this->SetProperty(class_.integralHeight, integralHeight_, value != VARIANT_FALSE);
    if (hr == S_OK && !class_.combo && !this->Site().UserMode()) Recreate();
    return hr;
}

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_Sort(VARIANT_BOOL* value) {
    return this->OutBool(value, sort_);
}
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_Sort(VARIANT_BOOL value) {
    return this->SetProperty(class_.sort, sort_, value != VARIANT_FALSE);
}

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_DbUpdateOption(_enumUpdateOption* value) {
    return this->Out(value, static_cast<_enumUpdateOption>(logic_.updateOption));
}
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_DbUpdateOption(_enumUpdateOption value) {
    if (value < UpdateNone || value > UpdateOnFocus) return CTL_E_INVALIDPROPERTYVALUE;
    return this->SetProperty(class_.updateOption, logic_.updateOption,
                             static_cast<std::int16_t>(value));
}

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_Abort(VARIANT_BOOL* value) {
    return this->OutBool(value, logic_.abort);
}
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_Abort(VARIANT_BOOL value) {
    logic_.abort = value != VARIANT_FALSE;
    return S_OK;
}

// --- The list operations ---

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_ListCount(long* value) {
    return this->Out(value, Count());
}
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_ListCount(long) {
    return CTL_E_SETNOTSUPPORTED;
}

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_ListIndex(long* value) {
    return this->Out(value, static_cast<long>(Send(CB_GETCURSEL, LB_GETCURSEL)));
}
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_ListIndex(long value) {
    Send(CB_SETCURSEL, LB_SETCURSEL, static_cast<WPARAM>(value));
    return S_OK;
}

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_List(long index, BSTR* value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    if (index < 0 || index >= Count()) return CTL_E_INVALIDPROPERTYARRAYINDEX;
    try {
        return com::CopyToOut(ItemText(index), value) == S_OK ? S_OK : CTL_E_OUTOFMEMORY;
    } catch (const std::bad_alloc&) {
        return CTL_E_OUTOFMEMORY;
    }
}

// The item at the index is replaced (the count appends).
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_List(long index, BSTR value) {
    const long count = Count();
    if (index < 0 || index > count) return CTL_E_INVALIDPROPERTYARRAYINDEX;
    return com::Guarded([&]() -> HRESULT {
        const std::wstring text = com::TextOf(value);
        if (index < count) Send(CB_DELETESTRING, LB_DELETESTRING, static_cast<WPARAM>(index));
        const LRESULT at = Send(CB_INSERTSTRING, LB_INSERTSTRING, static_cast<WPARAM>(index),
                                reinterpret_cast<LPARAM>(text.c_str()));
        return at < 0 ? CTL_E_OUTOFMEMORY : S_OK;
    });
}

// The plain list box checks the index; the extended forms give the window's answer (-1).
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_ItemData(long index, long* value) {
    if (!logic_.Extended() && (index < 0 || index > Count())) {
        return CTL_E_INVALIDPROPERTYARRAYINDEX;
    }
    const LRESULT data = Send(CB_GETITEMDATA, LB_GETITEMDATA, static_cast<WPARAM>(index));
    return this->Out(value, static_cast<long>(data));
}
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_ItemData(long index, long value) {
    if (!logic_.Extended() && (index < 0 || index > Count())) {
        return CTL_E_INVALIDPROPERTYARRAYINDEX;
    }
    Send(CB_SETITEMDATA, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(value));
    return S_OK;
}

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::AddItem(BSTR text, VARIANT index, long* result) {
    if (!result) return E_POINTER;
    *result = -1;
    return com::Guarded([&]() -> HRESULT {
        const std::wstring item = com::TextOf(text);
        const LPARAM pointer = reinterpret_cast<LPARAM>(item.c_str());
        LRESULT at;
        if (MissingArgument(index)) {
            at = Send(CB_ADDSTRING, LB_ADDSTRING, 0, pointer);
        } else {
            VARIANT number;
            VariantInit(&number);
            if (FAILED(VariantChangeType(&number, &index, 0, VT_I4))) return DISP_E_TYPEMISMATCH;
            const long position = V_I4(&number);
            if (position < -1 || position > Count()) return CTL_E_INVALIDPROPERTYARRAYINDEX;
            at = Send(CB_INSERTSTRING, LB_INSERTSTRING, static_cast<WPARAM>(position), pointer);
        }
        if (at < 0) return CTL_E_OUTOFMEMORY;
        *result = static_cast<long>(at);
        return S_OK;
    });
}

// Gives the count left, or the window's -1 for an index it does not have.
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::RemoveItem(long index, long* result) {
    if (!result) return E_POINTER;
    *result = static_cast<long>(Send(CB_DELETESTRING, LB_DELETESTRING, static_cast<WPARAM>(index)));
    if (!class_.combo && this->HostedChild()) InvalidateRect(this->HostedChild(), nullptr, TRUE);
    return S_OK;
}

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::Clear() {
    ClearItems();
    return S_OK;
}

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::Refresh() {
    return com::Guarded([&] {
        ClearItems();
        logic_.FillList();
        return S_OK;
    });
}

// --- The combo boxes ---

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_Style(_enumComboStyle* value) {
    return this->Out(value, static_cast<_enumComboStyle>(style_));
}
// The window is made again in the new style.
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_Style(_enumComboStyle value) {
    if (value < kDropDownCombo || value > kDropDownList) return CTL_E_INVALIDPROPERTYVALUE;
    HRESULT hr = this->SetProperty(class_.style, style_, static_cast<int>(value));
    if (hr == S_OK) Recreate();
    return hr;
}

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_ImeMode(_enumImeMode* value) {
    return this->Out(value, static_cast<_enumImeMode>(imeMode_));
}
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_ImeMode(_enumImeMode value) {
    if (value < ImeNone || value > ImeHanEnglish) return CTL_E_INVALIDPROPERTYVALUE;
    return this->SetProperty(class_.imeMode, imeMode_, static_cast<int>(value));
}

template <typename I, DISPID F>
bool ListObject<I, F>::HasEditSelection() {
    return class_.combo && style_ == kDropDownCombo && this->Site().UserMode() &&
           this->HostedChild() != nullptr;
}

template <typename I, DISPID F>
HWND ListObject<I, F>::EditWindow() {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    HWND child = this->HostedChild();
    if (child && GetComboBoxInfo(child, &info) && info.hwndItem) return info.hwndItem;
    return child;
}

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_SelStart(long* value) {
    if (!HasEditSelection()) return CTL_E_GETNOTSUPPORTED;
    DWORD start = 0;
    Send(CB_GETEDITSEL, 0, reinterpret_cast<WPARAM>(&start));
    return this->Out(value, static_cast<long>(start));
}
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_SelStart(long value) {
    if (!HasEditSelection()) return CTL_E_SETNOTSUPPORTED;
    DWORD start = 0, end = 0;
    Send(CB_GETEDITSEL, 0, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    // The selection runs from the new start to the end it had, never back before the start.
    if (static_cast<long>(start) != value) {
        const DWORD newEnd = std::max<DWORD>(end, static_cast<DWORD>(value));
        Send(CB_SETEDITSEL, 0, 0, MAKELPARAM(static_cast<WORD>(value), static_cast<WORD>(newEnd)));
    }
    return S_OK;
}

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_SelLength(long* value) {
    if (!HasEditSelection()) return CTL_E_GETNOTSUPPORTED;
    DWORD start = 0, end = 0;
    Send(CB_GETEDITSEL, 0, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return this->Out(value, static_cast<long>(end) - static_cast<long>(start));
}
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_SelLength(long value) {
    if (!HasEditSelection()) return CTL_E_SETNOTSUPPORTED;
    if (value < 0) return CTL_E_INVALIDPROPERTYVALUE;
    DWORD start = 0;
    Send(CB_GETEDITSEL, 0, reinterpret_cast<WPARAM>(&start));
    const DWORD end = start + static_cast<DWORD>(value);
    Send(CB_SETEDITSEL, 0, 0, MAKELPARAM(static_cast<WORD>(start), static_cast<WORD>(end)));
    return S_OK;
}

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_SelText(BSTR* value) {
    if (!HasEditSelection()) return CTL_E_GETNOTSUPPORTED;
    try {
        DWORD start = 0, end = 0;
        Send(CB_GETEDITSEL, 0, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        const std::wstring text = this->TextOfWindow(this->HostedChild());
        start = std::min<DWORD>(start, static_cast<DWORD>(text.size()));
        end = std::min<DWORD>(std::max(end, start), static_cast<DWORD>(text.size()));
        return com::CopyToOut(text.substr(start, end - start), value) == S_OK ? S_OK
                                                                              : CTL_E_OUTOFMEMORY;
    } catch (const std::bad_alloc&) {
        return CTL_E_OUTOFMEMORY;
    }
}
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_SelText(BSTR value) {
    if (!HasEditSelection()) return CTL_E_SETNOTSUPPORTED;
    return com::Guarded([&] {
        const std::wstring text = com::TextOf(value);
        SendMessageW(EditWindow(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
        return S_OK;
    });
}

// --- The extended forms ---

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_DbConditions(BSTR* value) {
    return com::Guarded([&] { return com::AnsiToOut(logic_.extended.conditions, value); });
}
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_DbConditions(BSTR value) {
    return PutExtendedText(DISPID_EXTENDED_DBCONDITIONS, logic_.extended.conditions, value);
}

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_DbCompareCase(_enumDbCompareCase* value) {
    return this->Out(value, static_cast<_enumDbCompareCase>(logic_.extended.compareCase));
}
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_DbCompareCase(_enumDbCompareCase value) {
    if (value != 0 && value != 1) return CTL_E_INVALIDPROPERTYVALUE;
    return PutExtended(DISPID_EXTENDED_DBCOMPARECASE, logic_.extended.compareCase,
                       static_cast<int>(value));
}

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_DbExOperation(_enumExOpCode* value) {
    return this->Out(value, static_cast<_enumExOpCode>(logic_.extended.operation));
}
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_DbExOperation(_enumExOpCode value) {
    if (value < 0 || value > 3) return CTL_E_INVALIDPROPERTYVALUE;
    return PutExtended(DISPID_EXTENDED_DBEXOPERATION, logic_.extended.operation,
                       static_cast<int>(value));
}

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_DbLocks(_enumLocks* value) {
    return this->Out(value, static_cast<_enumLocks>(logic_.extended.locks));
}
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_DbLocks(_enumLocks value) {
    if (value < LockNone || value > LockMultiNoWait) return CTL_E_INVALIDPROPERTYVALUE;
    return PutExtended(DISPID_EXTENDED_DBLOCKS, logic_.extended.locks, static_cast<int>(value));
}

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_DbSkipRecords(short* value) {
    return this->Out(value, logic_.extended.skipRecords);
}
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_DbSkipRecords(short value) {
    if (value < 0) return CTL_E_INVALIDPROPERTYVALUE;
    return PutExtended(DISPID_EXTENDED_DBSKIPRECORDS, logic_.extended.skipRecords, value);
}

// A request carries at most 65,535 records, and asks for one at least.
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_DbMaxRecords(long* value) {
    return this->Out(value, static_cast<long>(logic_.extended.maxRecords));
}
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_DbMaxRecords(long value) {
    if (value < 1 || value > 65535) return CTL_E_INVALIDPROPERTYVALUE;
    return PutExtended(DISPID_EXTENDED_DBMAXRECORDS, logic_.extended.maxRecords,
                       static_cast<std::int32_t>(value));
}

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_DbLeaveResults(VARIANT_BOOL* value) {
    return this->OutBool(value, logic_.extended.leaveResults);
}
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_DbLeaveResults(VARIANT_BOOL value) {
    return PutExtended(DISPID_EXTENDED_DBLEAVERESULTS, logic_.extended.leaveResults,
                       value != VARIANT_FALSE);
}

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_DbSavePosition(VARIANT_BOOL* value) {
    return this->OutBool(value, logic_.extended.savePosition);
}
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_DbSavePosition(VARIANT_BOOL value) {
    return PutExtended(DISPID_EXTENDED_DBSAVEPOSITION, logic_.extended.savePosition,
                       value != VARIANT_FALSE);
}

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_DbDelimitChar(BSTR* value) {
    return com::Guarded([&] { return com::AnsiToOut(logic_.extended.delimitChar, value); });
}
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_DbDelimitChar(BSTR value) {
    return PutExtendedText(DISPID_EXTENDED_DBDELIMITCHAR, logic_.extended.delimitChar, value);
}

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_DbTabStops(BSTR* value) {
    return com::Guarded([&] { return com::AnsiToOut(logic_.extended.tabStops, value); });
}
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_DbTabStops(BSTR value) {
    return com::Guarded([&] {
        return this->SetProperty(class_.tabStops, logic_.extended.tabStops, com::AnsiOf(value));
    });
}

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_DbResultID(short* value) {
    return this->Out(value, logic_.resultId);
}
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_DbResultID(short) {
    return CTL_E_SETNOTSUPPORTED;
}

template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::get_DbListIndexID(short* value) {
    return this->Out(value, logic_.listIndexId);
}
template <typename I, DISPID F>
STDMETHODIMP ListObject<I, F>::put_DbListIndexID(short) {
    return CTL_E_SETNOTSUPPORTED;
}

template class ListObject<IZelListBox, DISPID_LISTBOX_DBSOURCE>;
template class ListObject<IZelComboBox, DISPID_COMBO_DBSOURCE>;
template class ListObject<IZelExListBox, DISPID_LISTBOX_DBSOURCE>;
template class ListObject<IZelExComboBox, DISPID_COMBO_DBSOURCE>;

}  // namespace zelmor
