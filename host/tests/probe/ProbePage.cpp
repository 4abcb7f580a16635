#include "ProbePage.h"

#include <olectl.h>

#include <cwchar>

#include "com/Guarded.h"
#include "com/ModuleState.h"
#include "com/Variant.h"

namespace zelmor::host::testing {

namespace {

const wchar_t kPageClass[] = L"ZelProbePage";
constexpr int kTextId = 101;
constexpr int kNumberId = 102;

// The page's error information, as a control reports a refused value.
void Explain(const std::wstring& description) {
    com::ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(create.Put()))) return;
    create->SetDescription(const_cast<LPOLESTR>(description.c_str()));
    if (auto info = create.As<IErrorInfo>()) SetErrorInfo(0, info.Get());
}

std::wstring TextOfWindow(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

HWND Child(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int id,
           int x, int y, int width) {
    HWND window = CreateWindowExW(className[0] == L'E' ? WS_EX_CLIENTEDGE : 0, className, text,
                                  WS_CHILD | WS_VISIBLE | style, x, y, width, 22, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  com::ModuleState::Instance(), nullptr);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    return window;
}

}  // namespace

void* ProbePage::FindInterface(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IPropertyPage) return static_cast<IPropertyPage*>(this);
    return nullptr;
}

void ProbePage::FinalRelease() {
    Deactivate();
    objects_.clear();
    site_ = nullptr;
}

STDMETHODIMP ProbePage::SetPageSite(IPropertyPageSite* site) {
    site_ = com::ComPtr<IPropertyPageSite>(site);
    return S_OK;
}

STDMETHODIMP ProbePage::SetObjects(ULONG count, IUnknown** objects) {
    if (count > 0 && !objects) return E_POINTER;
    return com::Guarded([&] {
        objects_.clear();
        for (ULONG i = 0; i < count; ++i) {
            com::ComPtr<IProbe> probe;
            if (!objects[i] || FAILED(objects[i]->QueryInterface(IID_IProbe, probe.PutVoid()))) {
                objects_.clear();
                return E_NOINTERFACE;
            }
            objects_.push_back(probe);
        }
        return S_OK;
    });
}

STDMETHODIMP ProbePage::GetPageInfo(PROPPAGEINFO* info) {
    if (!info) return E_POINTER;
    const wchar_t title[] = L"Probe";
    info->pszTitle = static_cast<LPOLESTR>(CoTaskMemAlloc(sizeof title));
    if (!info->pszTitle) return E_OUTOFMEMORY;
    memcpy(info->pszTitle, title, sizeof title);
    info->size = kSize;
    info->pszDocString = nullptr;
    info->pszHelpFile = nullptr;
    info->dwHelpContext = 0;
    return S_OK;
}

STDMETHODIMP ProbePage::Activate(HWND parent, LPCRECT rect, BOOL) {
    if (!rect) return E_POINTER;
    if (window_) return E_UNEXPECTED;
    return com::Guarded([&] {
        WNDCLASSEXW description{};
        description.cbSize = sizeof description;
        HINSTANCE instance = com::ModuleState::Instance();
        if (!GetClassInfoExW(instance, kPageClass, &description)) {
            description.lpfnWndProc = Procedure;
            description.hInstance = instance;
            description.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
            description.lpszClassName = kPageClass;
            RegisterClassExW(&description);
        }
        window_ = CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"", WS_CHILD, rect->left,
                                  rect->top, rect->right - rect->left, rect->bottom - rect->top,
                                  parent, nullptr, instance, nullptr);
        if (!window_) return E_FAIL;
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        Child(window_, L"Static", L"&Text:", 0, 0, 8, 10, 70);
        text_ = Child(window_, L"Edit", L"", WS_TABSTOP | ES_AUTOHSCROLL, kTextId, 84, 8, 140);
        Child(window_, L"Static", L"Number:", 0, 0, 8, 40, 70);
        number_ = Child(window_, L"Edit", L"", WS_TABSTOP | ES_AUTOHSCROLL, kNumberId, 84, 38, 80);
        // The fields show the first probe's values.
        filling_ = true;
        if (!objects_.empty()) {
            BSTR text = nullptr;
            long number = 0;
            objects_[0]->get_Text(&text);
            objects_[0]->get_Number(&number);
            SetWindowTextW(text_, text ? text : L"");
            SetWindowTextW(number_, std::to_wstring(number).c_str());
            SysFreeString(text);
        }
        filling_ = false;
        return S_OK;
    });
}

STDMETHODIMP ProbePage::Deactivate() {
    if (window_) DestroyWindow(window_);
    window_ = text_ = number_ = nullptr;
    return S_OK;
}

STDMETHODIMP ProbePage::Show(UINT command) {
    if (!window_) return E_UNEXPECTED;
    ShowWindow(window_, static_cast<int>(command));
    return S_OK;
}

STDMETHODIMP ProbePage::Move(LPCRECT rect) {
    if (!rect) return E_POINTER;
    if (!window_) return E_UNEXPECTED;
    MoveWindow(window_, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
               TRUE);
    return S_OK;
}

STDMETHODIMP ProbePage::Apply() {
    if (!window_ || !dirty_) return S_OK;
    return com::Guarded([&] {
        std::wstring text = TextOfWindow(text_);
        std::wstring numberText = TextOfWindow(number_);
        wchar_t* end = nullptr;
        long number = std::wcstol(numberText.c_str(), &end, 10);
        if (numberText.empty() || *end != L'\0') {
            Explain(L"Number: a whole number expected");
            return static_cast<HRESULT>(CTL_E_INVALIDPROPERTYVALUE);
        }
        for (const com::ComPtr<IProbe>& probe : objects_) {
            BSTR value = SysAllocString(text.c_str());
            HRESULT hr = probe->put_Text(value);
            SysFreeString(value);
            if (SUCCEEDED(hr)) hr = probe->put_Number(number);
            // S_FALSE: the container refused the change.
            if (hr == S_FALSE) hr = CTL_E_SETNOTPERMITTED;
            if (FAILED(hr)) {
                Explain(L"Number: " + numberText + L" is refused");
                return hr;
            }
        }
        dirty_ = false;
        return S_OK;
    });
}

void ProbePage::FieldChanged() {
    if (filling_) return;
    dirty_ = true;
    if (site_) site_->OnStatusChange(PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE);
}

LRESULT CALLBACK ProbePage::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* page = reinterpret_cast<ProbePage*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (page && message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE) {
        com::Guarded([&] {
            page->FieldChanged();
            return S_OK;
        });
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HRESULT CreateProbePage(REFIID iid, void** out) {
    return com::CreateInstance<ProbePage>(iid, out);
}

}  // namespace zelmor::host::testing
