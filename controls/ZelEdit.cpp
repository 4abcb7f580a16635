#include "controls/ZelEdit.h"
#include "controls/BrowsingTables.h"

#include "com/AnsiText.h"
#include "com/Guarded.h"
#include "controls/HostFormat.h"
#include "controls/Win32Ime.h"
#include "module/PageClassIds.h"
#include "values/GlobalOptions.h"

namespace zelmor {

namespace {

// The persisted properties after the extent, in their order.
const com::PropertyMapEntry kProperties[] = {
    {L"DbSource", DISPID_DBSOURCE},
    {L"DbTable", DISPID_DBTABLE},
    {L"DbField", DISPID_DBFIELD},
    {L"MaxLength", DISPID_EDIT_MAXLENGTH},
    {L"PasswordChar", DISPID_EDIT_PASSWORDCHAR},
    {L"Format", DISPID_EDIT_FORMAT},
    {L"MultiLine", DISPID_EDIT_MULTILINE},
    {L"Alignment", DISPID_EDIT_ALIGNMENT},
    {L"ReadOnly", DISPID_EDIT_READONLY},
    {L"UpperCase", DISPID_EDIT_UPPERCASE},
    {L"IMEMode", DISPID_EDIT_IMEMODE},
    {L"NumericMask", DISPID_EDIT_NUMERICMASK},
    {L"FormatOption", DISPID_EDIT_FORMATOPTION},
    {L"Appearance", DISPID_APPEARANCE},
    {L"BorderStyle", DISPID_BORDERSTYLE},
    {L"BackColor", DISPID_BACKCOLOR},
    {L"ForeColor", DISPID_FORECOLOR},
    {L"Font", DISPID_FONT},
    {L"MouseIcon", DISPID_MOUSEICON},
    {L"MousePointer", DISPID_MOUSEPOINTER},
    {L"TabStop", DISPID_TABSTOP},
    {L"Text", DISPID_TEXT},
    {L"Enabled", DISPID_ENABLED},
};

const CLSID* const kPages[] = {&CLSID_ZelEditPpg, &CLSID_CFontPropPage, &CLSID_CColorPropPage};

const com::ControlClass kEditClass = {
    &CLSID_ZelEdit,
    &DIID__DZelEditEvents,
    com::kControlMiscStatus,
    SIZEL{2540, 635},  // 96 x 24 pixels
    com::MakePropertyMap(kProperties),
    kPages,
    sizeof kPages / sizeof kPages[0],
    com::kKeyEvents | com::kMouseEvents,
    &kEditBrowsing,
};

constexpr int kRunTimeTextLimit = 32000;  // MaxLength 0 set at run time

// The window styles the settings ask for; fixed when the window is made.
DWORD EditStyle(const EditLogic& logic) {
    DWORD style = WS_VISIBLE | WS_CLIPSIBLINGS | ES_AUTOHSCROLL;
    if (logic.multiLine) style |= ES_MULTILINE | ES_AUTOVSCROLL;
    if (logic.readOnly) style |= ES_READONLY;
    if (logic.upperCase) style |= ES_UPPERCASE;
    if (logic.alignment == kAlignRight) style |= ES_RIGHT;
    if (logic.alignment == kAlignCenter) style |= ES_CENTER;
    return style;
}

struct Selection {
    DWORD start = 0;
    DWORD end = 0;
};

// The edit window's selection; nothing selected without a window.
Selection SelectionOf(HWND edit) {
    Selection selection;
    if (edit) {
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selection.start),
                     reinterpret_cast<LPARAM>(&selection.end));
    }
    return selection;
}

}  // namespace

ZelEdit::ZelEdit() : BoundControlObject(kEditClass), logic_(Site(), zelmor::Registry(), *this) {}

// --- The window ---

void ZelEdit::CreateWindows() {
    DWORD style = EditStyle(logic_);
    DWORD exStyle = 0;
    if (Stock().borderStyle == BorderSingleLine) {
        if (Stock().appearance != 0) {
            exStyle = WS_EX_CLIENTEDGE;
        } else {
            style |= WS_BORDER;
        }
    }
    CreateHostedChild(L"Edit", style, exStyle, com::WideOf(logic_.Text()).c_str());
    if (!Site().UserMode()) return;
    if (Options().FormMode() != 2) logic_.FieldType();
    if (logic_.maxLength != 0) ApplyMaxLength();
    if (!logic_.passwordChar.empty()) ApplyPasswordChar();
}

void ZelEdit::ApplyMaxLength() {
    if (!HostedChild()) return;
    WPARAM limit =
        logic_.maxLength != 0 ? static_cast<WPARAM>(logic_.maxLength) : kRunTimeTextLimit;
    SendMessageW(HostedChild(), EM_LIMITTEXT, limit, 0);
}

void ZelEdit::ApplyPasswordChar() {
    if (!HostedChild()) return;
    std::wstring first = com::WideOf(logic_.passwordChar.substr(0, 1));
    SendMessageW(HostedChild(), EM_SETPASSWORDCHAR, first.empty() ? 0 : first[0], 0);
    InvalidateRect(HostedChild(), nullptr, TRUE);
}

bool ZelEdit::OnCommand(HWND child, WORD code) {
    if (child != HostedChild() || code != EN_CHANGE) return false;
    FireEvent(DISPID_EDIT_EVENT_CHANGE);
    return true;
}

bool ZelEdit::OnChildMessage(HWND child, UINT message, WPARAM wParam, LPARAM lParam,
                             LRESULT& result) {
    const bool running = Site().UserMode();
    switch (message) {
        case WM_CHAR:
            if (running && logic_.OnCharacter(static_cast<char16_t>(wParam))) {
                result = 0;
                return true;
            }
            break;
        case WM_KEYDOWN:
            if (DropsRepeatedKey(message, IsLeftOrRight(wParam))) {
                result = 0;
                return true;
            }
            break;
        case WM_SETFOCUS:
            if (running) logic_.OnFocusGained();
            break;
        case WM_KILLFOCUS:
            if (running) logic_.OnFocusLost();
            break;
        default:
            break;
    }
    return BoundControlObject::OnChildMessage(child, message, wParam, lParam, result);
}

// Left and right move the caret: they go straight to the window, not to the container.
HRESULT ZelEdit::OnTranslateAccelerator(MSG* msg) {
    if (HandKeyToWindow(msg, IsLeftOrRight(msg->wParam))) return S_OK;
    return BoundControlObject::OnTranslateAccelerator(msg);
}

// --- EditView ---

std::string ZelEdit::WindowText() {
    HWND child = HostedChild();
    return child ? com::AnsiOf(TextOfWindow(child)) : std::string();
}

void ZelEdit::ShowText(const std::string& text) {
    if (HostedChild()) SetWindowTextW(HostedChild(), com::WideOf(text).c_str());
}

void ZelEdit::PutCaretAtEnd() {
    if (!HostedChild()) return;
    LRESULT length = GetWindowTextLengthW(HostedChild());
    SendMessageW(HostedChild(), EM_SETSEL, static_cast<WPARAM>(length), length);
}

std::optional<std::string> ZelEdit::Format(const std::string& value, const std::string& format) {
    return FormatWithHost(ClientSite(), value, format);
}

ImeCalls& ZelEdit::Ime() {
    return PlatformImeCalls();
}

// --- Properties ---

STDMETHODIMP ZelEdit::get_Text(BSTR* value) {
    return com::Guarded([&] { return com::AnsiToOut(logic_.Text(), value); });
}

STDMETHODIMP ZelEdit::put_Text(BSTR value) {
    return com::Guarded([&] {
        logic_.SetValueText(com::AnsiOf(value));
        SetDirty(true);
        return S_OK;
    });
}

STDMETHODIMP ZelEdit::get_MaxLength(short* value) {
    return Out(value, logic_.maxLength);
}
STDMETHODIMP ZelEdit::put_MaxLength(short value) {
    if (value < 0) return CTL_E_INVALIDPROPERTYVALUE;
    Store(logic_.maxLength, value);
    if (Site().UserMode()) ApplyMaxLength();
    return S_OK;
}

STDMETHODIMP ZelEdit::get_PasswordChar(BSTR* value) {
    return com::Guarded([&] { return com::AnsiToOut(logic_.passwordChar, value); });
}
STDMETHODIMP ZelEdit::put_PasswordChar(BSTR value) {
    return com::Guarded([&] {
        std::string text = com::AnsiOf(value);
        if (text == logic_.passwordChar) return S_OK;
        Store(logic_.passwordChar, text);
        ApplyPasswordChar();
        return S_OK;
    });
}

STDMETHODIMP ZelEdit::get_Format(BSTR* value) {
    return com::Guarded([&] { return com::AnsiToOut(logic_.format, value); });
}
STDMETHODIMP ZelEdit::put_Format(BSTR value) {
    return com::Guarded([&] { return Store(logic_.format, com::AnsiOf(value)); });
}

STDMETHODIMP ZelEdit::get_MultiLine(VARIANT_BOOL* value) {
    return OutBool(value, logic_.multiLine);
}
STDMETHODIMP ZelEdit::put_MultiLine(VARIANT_BOOL value) {
    return Store(logic_.multiLine, value != VARIANT_FALSE);
}

STDMETHODIMP ZelEdit::get_Alignment(_enumAlignment* value) {
    return Out(value, logic_.alignment);
}
STDMETHODIMP ZelEdit::put_Alignment(_enumAlignment value) {
    if (value < AlignLeft || value > AlignCenter) return CTL_E_INVALIDPROPERTYVALUE;
    return Store(logic_.alignment, static_cast<int>(value));
}

STDMETHODIMP ZelEdit::get_ReadOnly(VARIANT_BOOL* value) {
    return OutBool(value, logic_.readOnly);
}
STDMETHODIMP ZelEdit::put_ReadOnly(VARIANT_BOOL value) {
    return Store(logic_.readOnly, value != VARIANT_FALSE);
}

STDMETHODIMP ZelEdit::get_UpperCase(VARIANT_BOOL* value) {
    return OutBool(value, logic_.upperCase);
}
STDMETHODIMP ZelEdit::put_UpperCase(VARIANT_BOOL value) {
    return Store(logic_.upperCase, value != VARIANT_FALSE);
}

STDMETHODIMP ZelEdit::get_IMEMode(_enumImeMode* value) {
    return Out(value, logic_.imeMode);
}
STDMETHODIMP ZelEdit::put_IMEMode(_enumImeMode value) {
    if (value < ImeNone || value > ImeHanEnglish) return CTL_E_INVALIDPROPERTYVALUE;
    return Store(logic_.imeMode, static_cast<int>(value));
}

STDMETHODIMP ZelEdit::get_NumericMask(VARIANT_BOOL* value) {
    return OutBool(value, logic_.numericMask);
}
STDMETHODIMP ZelEdit::put_NumericMask(VARIANT_BOOL value) {
    return Store(logic_.numericMask, value != VARIANT_FALSE);
}

STDMETHODIMP ZelEdit::get_FormatOption(_enumFormatOption* value) {
    return Out(value, logic_.formatOption);
}
STDMETHODIMP ZelEdit::put_FormatOption(_enumFormatOption value) {
    if (value < FormatNone || value > FormatEveryRight) return CTL_E_INVALIDPROPERTYVALUE;
    return Store(logic_.formatOption, static_cast<int>(value));
}

// --- The selection (run mode only) ---

HRESULT ZelEdit::RunModeOnly(HRESULT designModeError) const {
    return ControlBase::UserMode() ? S_OK : designModeError;
}

STDMETHODIMP ZelEdit::get_SelStart(short* value) {
    if (!value) return E_POINTER;
    if (HRESULT hr = RunModeOnly(CTL_E_SETNOTSUPPORTED); FAILED(hr)) return hr;
    *value = static_cast<short>(SelectionOf(HostedChild()).start);
    return S_OK;
}

STDMETHODIMP ZelEdit::put_SelStart(short value) {
    if (HRESULT hr = RunModeOnly(CTL_E_SETNOTSUPPORTED); FAILED(hr)) return hr;
    if (value < 0) return CTL_E_INVALIDPROPERTYVALUE;
    if (!HostedChild()) return S_OK;
    Selection selection = SelectionOf(HostedChild());
    if (static_cast<DWORD>(value) != selection.start) {
        SendMessageW(HostedChild(), EM_SETSEL, static_cast<WPARAM>(value), selection.end);
    }
    return S_OK;
}

STDMETHODIMP ZelEdit::get_SelLength(short* value) {
    if (!value) return E_POINTER;
    if (HRESULT hr = RunModeOnly(CTL_E_GETNOTSUPPORTED); FAILED(hr)) return hr;
    Selection selection = SelectionOf(HostedChild());
    *value = static_cast<short>(selection.end - selection.start);
    return S_OK;
}

// A length running past the end of the text changes nothing.
STDMETHODIMP ZelEdit::put_SelLength(short value) {
    if (HRESULT hr = RunModeOnly(CTL_E_SETNOTSUPPORTED); FAILED(hr)) return hr;
    if (value < 0) return CTL_E_INVALIDPROPERTYVALUE;
    if (!HostedChild()) return S_OK;
    const DWORD start = SelectionOf(HostedChild()).start;
    const DWORD length = static_cast<DWORD>(GetWindowTextLengthW(HostedChild()));
    if (start + static_cast<DWORD>(value) <= length) {
        SendMessageW(HostedChild(), EM_SETSEL, start, static_cast<LPARAM>(start + value));
    }
    return S_OK;
}

STDMETHODIMP ZelEdit::get_SelText(BSTR* value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    if (HRESULT hr = RunModeOnly(CTL_E_GETNOTSUPPORTED); FAILED(hr)) return hr;
    return com::Guarded([&] {
        std::wstring selected;
        if (HWND child = HostedChild()) {
            const auto [start, end] = SelectionOf(child);
            const std::wstring text = TextOfWindow(child);
            if (start < end && end <= text.size()) selected = text.substr(start, end - start);
        }
        return com::CopyToOut(selected, value);
    });
}

STDMETHODIMP ZelEdit::put_SelText(BSTR value) {
    if (HRESULT hr = RunModeOnly(CTL_E_SETNOTSUPPORTED); FAILED(hr)) return hr;
    if (!HostedChild()) return S_OK;
    // Through the code page, as every text of the control goes.
    return com::Guarded([&] {
        std::wstring text = com::WideOf(com::AnsiOf(value));
        SendMessageW(HostedChild(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
        return S_OK;
    });
}

HRESULT CreateZelEdit(REFIID iid, void** out) {
    return com::CreateInstance<ZelEdit>(iid, out);
}

}  // namespace zelmor
