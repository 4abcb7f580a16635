#include "ProbeControl.h"

#include <olectl.h>

#include "ProbePage.h"
#include "com/Variant.h"

namespace zelmor::host::testing {

namespace {

// The persisted properties. Number is left out on purpose: a form sets it by name.
const com::PropertyMapEntry kProperties[] = {
    {L"Kind", 1},
    {L"Items", 2},
    {L"Text", DISPID_TEXT},
    {L"Font", DISPID_FONT},
};

// One property page, the probe's own.
const CLSID* const kPages[] = {&CLSID_ZelProbePage};

const com::ControlClass kProbeClass = {
    &CLSID_ZelProbe,
    &DIID__DProbeEvents,
    kProbeMiscStatus,
    SIZEL{2540, 635},
    com::MakePropertyMap(kProperties),
    kPages,
    1,
};

bool IsKind(const std::wstring& kind) {
    return kind == L"Edit" || kind == L"ListBox" || kind == L"Button";
}

}  // namespace

const COLORREF ProbeControl::kRunColour = RGB(0, 128, 255);
const COLORREF ProbeControl::kDesignColour = RGB(255, 160, 0);

ProbeControl::ProbeControl() : Control(kProbeClass) {}

// --- Properties ---

STDMETHODIMP ProbeControl::get_Text(BSTR* value) {
    return com::CopyToOut(HostedChild() ? ChildText() : text_, value);
}

STDMETHODIMP ProbeControl::put_Text(BSTR value) {
    text_ = com::TextOf(value);
    if (HostedChild() && kind_ != L"ListBox") SetWindowTextW(HostedChild(), text_.c_str());
    PropertyChanged(DISPID_TEXT);
    return S_OK;
}

STDMETHODIMP ProbeControl::get_Kind(BSTR* value) {
    return com::CopyToOut(kind_, value);
}

STDMETHODIMP ProbeControl::put_Kind(BSTR value) {
    std::wstring kind = com::TextOf(value);
    if (!IsKind(kind)) return CTL_E_INVALIDPROPERTYVALUE;
    HRESULT hr = SetProperty(1, kind_, kind);
    if (hr == S_OK && Window()) CreateChild();
    return hr;
}

STDMETHODIMP ProbeControl::get_Items(BSTR* value) {
    return com::CopyToOut(items_, value);
}

STDMETHODIMP ProbeControl::put_Items(BSTR value) {
    HRESULT hr = SetStringProperty(2, items_, value);
    if (hr == S_OK && Window()) CreateChild();
    return hr;
}

STDMETHODIMP ProbeControl::get_Number(long* value) {
    if (!value) return E_POINTER;
    *value = number_;
    return S_OK;
}

STDMETHODIMP ProbeControl::put_Number(long value) {
    if (value < 0) return CTL_E_INVALIDPROPERTYVALUE;
    return SetProperty(3, number_, value);
}

STDMETHODIMP ProbeControl::get_Font(IFontDisp** value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    IFont* font = StockFont();
    return font ? font->QueryInterface(IID_IFontDisp, reinterpret_cast<void**>(value)) : S_OK;
}

STDMETHODIMP ProbeControl::put_Font(IFontDisp* value) {
    com::ComPtr<IFont> font = com::ComPtr<IFontDisp>(value).As<IFont>();
    com::ComPtr<IFont> copy;
    if (!font || FAILED(font->Clone(copy.Put()))) return CTL_E_INVALIDPROPERTYVALUE;
    if (!RequestEdit(DISPID_FONT)) return S_FALSE;
    SetStockFont(copy);
    PropertyChanged(DISPID_FONT);
    return S_OK;
}

STDMETHODIMP ProbeControl::Ask(BSTR message, long style, long* answer) {
    if (!answer) return E_POINTER;
    std::wstring text = com::TextOf(message);
    *answer = MessageBoxW(nullptr, text.c_str(), L"Probe", static_cast<UINT>(style) | MB_TASKMODAL);
    return S_OK;
}

void ProbeControl::OnPropertiesLoaded() {
    if (!text_.empty() && text_[0] == L'?') {
        MessageBoxW(nullptr, text_.c_str() + 1, L"Probe", MB_YESNO | MB_TASKMODAL);
    }
}

// --- Window ---

void ProbeControl::OnWindowCreated() {
    CreateChild();
}

void ProbeControl::CreateChild() {
    DestroyHostedChild();
    if (!UserMode()) return;  // at design time the control only draws itself
    if (kind_ == L"ListBox") {
        HWND list =
            CreateHostedChild(L"ListBox", WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY, WS_EX_CLIENTEDGE);
        size_t start = 0;
        while (list && start < items_.size()) {
            size_t end = items_.find(L'|', start);
            if (end == std::wstring::npos) end = items_.size();
            std::wstring item = items_.substr(start, end - start);
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
            start = end + 1;
        }
    } else if (kind_ == L"Button") {
        CreateHostedChild(L"Button", WS_VISIBLE | BS_PUSHBUTTON, 0, text_.c_str());
    } else {
        CreateHostedChild(L"Edit", WS_VISIBLE | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, text_.c_str());
    }
}

std::wstring ProbeControl::ChildText() const {
    HWND child = HostedChild();
    if (kind_ == L"ListBox") {
        LRESULT index = SendMessageW(child, LB_GETCURSEL, 0, 0);
        if (index < 0) return std::wstring();
        LRESULT length = SendMessageW(child, LB_GETTEXTLEN, index, 0);
        std::wstring item(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        length = SendMessageW(child, LB_GETTEXT, index, reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<size_t>(length > 0 ? length : 0));
        return item;
    }
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(child)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(child, text.data(), static_cast<int>(text.size()))));
    return text;
}

void ProbeControl::OnAmbientChanged(DISPID dispid) {
    if (dispid == DISPID_AMBIENT_USERMODE && Window()) CreateChild();
}

void ProbeControl::OnDraw(HDC dc, const RECT& bounds) {
    if (UserMode()) {
        HBRUSH brush = CreateSolidBrush(kRunColour);
        FillRect(dc, &bounds, brush);
        DeleteObject(brush);
        return;
    }
    HBRUSH hatch = CreateHatchBrush(HS_BDIAGONAL, kDesignColour);
    FillRect(dc, &bounds, hatch);
    DeleteObject(hatch);
    std::wstring label = AmbientDisplayName() + L" (" + kind_ + L")";
    RECT text = bounds;
    SetBkMode(dc, OPAQUE);
    DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

bool ProbeControl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_COMMAND && reinterpret_cast<HWND>(lParam) == HostedChild()) {
        switch (HIWORD(wParam)) {
            case BN_CLICKED:
                if (kind_ == L"Button") FireEvent(DISPID_CLICK);
                return true;
            case LBN_SELCHANGE:
            case EN_CHANGE: {
                if (kind_ == L"ListBox") FireEvent(DISPID_CLICK);
                com::EventArguments arguments;
                arguments.Add(ChildText());
                FireEvent(1, arguments);
                return true;
            }
            default:
                break;
        }
    }
    return Control::OnMessage(message, wParam, lParam, result);
}

HRESULT ProbeControl::OnTranslateAccelerator(MSG* msg) {
    if (msg->message == WM_CHAR) {
        short key = static_cast<short>(msg->wParam);
        com::EventArguments arguments;
        arguments.AddByRef(&key);
        FireEvent(DISPID_KEYPRESS, arguments);
        if (key == 0) return S_OK;  // the handler ate the key
        msg->wParam = static_cast<WPARAM>(static_cast<unsigned short>(key));
    }
    return Control::OnTranslateAccelerator(msg);
}

HRESULT CreateProbeControl(REFIID iid, void** out) {
    return com::CreateInstance<ProbeControl>(iid, out);
}

}  // namespace zelmor::host::testing
