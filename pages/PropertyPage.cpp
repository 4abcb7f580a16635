#include "pages/PropertyPage.h"

#include <shlobj.h>

#include <cstring>
#include <cwchar>
#include <new>

#include "binding/BindingRegistry.h"
#include "binding/FormDiscovery.h"
#include "com/AnsiText.h"
#include "com/Guarded.h"
#include "com/ModuleState.h"
#include "com/TaskMemory.h"
#include "pages/PageChoices.h"
#include "pages/PageResources.h"
#include "platform/Platform.h"

namespace zelmor::pages {

namespace {

HRESULT DispatchIdOf(IDispatch* object, const wchar_t* property, DISPID& id) {
    LPOLESTR name = const_cast<LPOLESTR>(property);
    return object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
}

HRESULT GetProperty(IDispatch* object, const wchar_t* property, VARIANT* value) {
    DISPID id = 0;
    HRESULT hr = DispatchIdOf(object, property, id);
    if (FAILED(hr)) return hr;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value,
                          nullptr, nullptr);
}

// Sets a property; on failure `description` receives the object's text for it, if it gave one.
HRESULT PutProperty(IDispatch* object, const wchar_t* property, const VARIANT& value,
                    std::wstring& description) {
    DISPID id = 0;
    HRESULT hr = DispatchIdOf(object, property, id);
    if (FAILED(hr)) return hr;
    VARIANT argument = value;  // the callee does not change or free its arguments
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS parameters = {&argument, &named, 1, 1};
    EXCEPINFO exception{};
    hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &parameters,
                        nullptr, &exception, nullptr);
    if (hr == DISP_E_EXCEPTION) {
        if (exception.pfnDeferredFillIn != nullptr) exception.pfnDeferredFillIn(&exception);
        if (exception.bstrDescription != nullptr) description = exception.bstrDescription;
        hr = exception.scode != 0 ? exception.scode : E_FAIL;
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrHelpFile);
    }
    return hr;
}

std::wstring TextOf(const VARIANT& value) {
    VARIANT text;
    VariantInit(&text);
    std::wstring result;
    if (SUCCEEDED(VariantChangeType(&text, const_cast<VARIANT*>(&value), 0, VT_BSTR)) &&
        V_BSTR(&text) != nullptr) {
        result.assign(V_BSTR(&text), SysStringLen(V_BSTR(&text)));
    }
    VariantClear(&text);
    return result;
}

bool NumberOf(const VARIANT& value, long& number) {
    VARIANT converted;
    VariantInit(&converted);
    if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&value), 0, VT_I4))) {
        return false;
    }
    number = V_I4(&converted);
    return true;
}

com::Variant TextVariant(const std::wstring& text) {
    com::Variant value;
    V_VT(value.Get()) = VT_BSTR;
    V_BSTR(value.Get()) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (V_BSTR(value.Get()) == nullptr) throw std::bad_alloc();
    return value;
}

com::Variant NumberVariant(long number) {
    com::Variant value;
    V_VT(value.Get()) = VT_I4;
    V_I4(value.Get()) = number;
    return value;
}

bool IsClass(HWND window, const wchar_t* className) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    return _wcsicmp(name, className) == 0;
}

}  // namespace

PropertyPage::PropertyPage(const PageDefinition& page) : page_(page), fields_(page.fieldCount) {}

void* PropertyPage::FindInterface(REFIID iid) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyPage) ||
        IsEqualIID(iid, IID_IPropertyPage2)) {
        return static_cast<IPropertyPage2*>(this);
    }
    return nullptr;
}

void PropertyPage::FinalRelease() {
    if (window_ != nullptr) DestroyWindow(window_);
    window_ = nullptr;
    objects_.clear();
    site_ = nullptr;
}

// --- IPropertyPage ---

STDMETHODIMP PropertyPage::SetPageSite(IPropertyPageSite* site) {
    return com::Guarded([&] {
        if (site != nullptr && site_) return E_UNEXPECTED;
        site_ = com::ComPtr<IPropertyPageSite>(site);
        return S_OK;
    });
}

STDMETHODIMP PropertyPage::Activate(HWND parent, LPCRECT rect, BOOL) {
    return com::Guarded([&]() -> HRESULT {
        if (window_ != nullptr) return E_UNEXPECTED;
        if (rect == nullptr) return E_POINTER;
        HWND window =
            CreateDialogParamW(com::ModuleState::Instance(), MAKEINTRESOURCEW(page_.dialog), parent,
                               DialogProcedure, reinterpret_cast<LPARAM>(this));
        if (window == nullptr) return HRESULT_FROM_WIN32(GetLastError());
        window_ = window;
        MoveWindow(window_, rect->left, rect->top, rect->right - rect->left,
                   rect->bottom - rect->top, FALSE);
        LoadValues();
        return S_OK;
    });
}

STDMETHODIMP PropertyPage::Deactivate() {
    return com::Guarded([&]() -> HRESULT {
        if (window_ == nullptr) return E_UNEXPECTED;
        // What the user changed goes on waiting for Apply without the boxes.
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            if (fields_[i].changed) fields_[i].pending = ValueToWrite(i);
        }
        HWND window = window_;
        window_ = nullptr;
        DestroyWindow(window);
        return S_OK;
    });
}

STDMETHODIMP PropertyPage::GetPageInfo(PROPPAGEINFO* info) {
    return com::Guarded([&]() -> HRESULT {
        if (info == nullptr) return E_POINTER;
        // The size of the dialog in this system's dialog font: made once, measured, gone.
        HWND window = window_;
        if (window == nullptr) {
            window =
                CreateDialogParamW(com::ModuleState::Instance(), MAKEINTRESOURCEW(page_.dialog),
                                   GetDesktopWindow(), DialogProcedure, 0);
            if (window == nullptr) return HRESULT_FROM_WIN32(GetLastError());
        }
        RECT bounds{};
        GetWindowRect(window, &bounds);
        if (window != window_) DestroyWindow(window);
        LPOLESTR title = com::TaskMemText(page_.title);
        LPOLESTR help = com::TaskMemText(page_.help);
        if (title == nullptr || help == nullptr) {
            CoTaskMemFree(title);
            CoTaskMemFree(help);
            return E_OUTOFMEMORY;
        }
        info->cb = sizeof *info;
        info->pszTitle = title;
        info->size = SIZE{bounds.right - bounds.left, bounds.bottom - bounds.top};
        info->pszDocString = help;
        info->pszHelpFile = nullptr;
        info->dwHelpContext = 0;
        return S_OK;
    });
}

STDMETHODIMP PropertyPage::SetObjects(ULONG count, IUnknown** objects) {
    return com::Guarded([&]() -> HRESULT {
        if (count > 0 && objects == nullptr) return E_POINTER;
        std::vector<com::ComPtr<IDispatch>> dispatches;
        for (ULONG i = 0; i < count; ++i) {
            if (objects[i] == nullptr) return E_POINTER;
            com::ComPtr<IDispatch> dispatch;
            HRESULT hr = objects[i]->QueryInterface(IID_IDispatch, dispatch.PutVoid());
            if (FAILED(hr)) return hr;
            dispatches.push_back(dispatch);
        }
        objects_ = std::move(dispatches);
        for (FieldState& field : fields_) field = FieldState{};
        dirty_ = false;
        if (window_ != nullptr) LoadValues();
        return S_OK;
    });
}

STDMETHODIMP PropertyPage::Show(UINT command) {
    if (window_ == nullptr) return E_UNEXPECTED;
    ShowWindow(window_, static_cast<int>(command));
    return S_OK;
}

STDMETHODIMP PropertyPage::Move(LPCRECT rect) {
    if (rect == nullptr) return E_POINTER;
    if (window_ == nullptr) return E_UNEXPECTED;
    MoveWindow(window_, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
               TRUE);
    return S_OK;
}

STDMETHODIMP PropertyPage::IsPageDirty() {
    return dirty_ ? S_OK : S_FALSE;
}

STDMETHODIMP PropertyPage::Apply() {
    return com::Guarded([&]() -> HRESULT {
        // Nothing can go in without an object: the changes stay.
        if (objects_.empty()) return dirty_ ? E_UNEXPECTED : S_OK;
        HRESULT result = S_OK;
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            if (!fields_[i].changed) continue;
            const com::Variant value = ValueToWrite(i);
            HRESULT hr = S_OK;
            std::wstring description;
            for (const com::ComPtr<IDispatch>& object : objects_) {
                hr = PutProperty(object.Get(), page_.fields[i].name, *value.Get(), description);
                if (FAILED(hr)) break;
            }
            if (FAILED(hr)) {
                // The first refusal is told; the value stays, still to be applied.
                if (SUCCEEDED(result)) {
                    result = hr;
                    ReportRefusal(i, hr, description);
                }
                continue;
            }
            fields_[i].changed = false;
            fields_[i].pending = com::Variant();
            // The box shows what the object made of the value.
            if (window_ != nullptr && !objects_.empty()) {
                com::Variant stored;
                if (SUCCEEDED(GetProperty(objects_[0].Get(), page_.fields[i].name, stored.Put()))) {
                    ShowValue(i, *stored.Get());
                }
            }
        }
        dirty_ = false;
        for (const FieldState& field : fields_) dirty_ |= field.changed;
        return result;
    });
}

STDMETHODIMP PropertyPage::Help(LPCOLESTR) {
    return E_NOTIMPL;
}

STDMETHODIMP PropertyPage::TranslateAccelerator(MSG* msg) {
    if (msg == nullptr) return E_POINTER;
    if (window_ != nullptr && IsDialogMessageW(window_, msg)) return S_OK;
    return S_FALSE;
}

STDMETHODIMP PropertyPage::EditProperty(DISPID dispid) {
    return com::Guarded([&]() -> HRESULT {
        if (objects_.empty()) return E_UNEXPECTED;
        for (std::size_t i = 0; i < page_.fieldCount; ++i) {
            DISPID id = 0;
            if (SUCCEEDED(DispatchIdOf(objects_[0].Get(), page_.fields[i].name, id)) &&
                id == dispid) {
                if (window_ != nullptr) SetFocus(Box(i));
                return S_OK;
            }
        }
        return E_NOTIMPL;
    });
}

// --- The dialog ---

INT_PTR CALLBACK PropertyPage::DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        return FALSE;  // the page takes the focus when the frame gives it
    }
    auto* page = reinterpret_cast<PropertyPage*>(GetWindowLongPtrW(window, DWLP_USER));
    if (page == nullptr || message != WM_COMMAND) return FALSE;
    INT_PTR handled = FALSE;
    com::Guarded([&] {
        handled = page->OnCommand(LOWORD(wParam), HIWORD(wParam));
        return S_OK;
    });
    return handled;
}

INT_PTR PropertyPage::OnCommand(int id, int code) {
    if (window_ == nullptr) return FALSE;
    if (id >= IDC_PAGE_BROWSE && id < IDC_PAGE_BROWSE + static_cast<int>(page_.fieldCount)) {
        if (code == BN_CLICKED) Browse(static_cast<std::size_t>(id - IDC_PAGE_BROWSE));
        return TRUE;
    }
    if (id < IDC_PAGE_FIELD || id >= IDC_PAGE_FIELD + static_cast<int>(page_.fieldCount)) {
        return FALSE;
    }
    const std::size_t index = static_cast<std::size_t>(id - IDC_PAGE_FIELD);
    HWND box = Box(index);
    if (code == CBN_SELCHANGE && IsClass(box, L"ComboBox") &&
        page_.fields[index].kind != FieldKind::Choice) {
        // A name picked from the list: the edit part shows it before anyone reads the box.
        const LRESULT selected = SendMessageW(box, CB_GETCURSEL, 0, 0);
        if (selected >= 0) {
            const LRESULT length = SendMessageW(box, CB_GETLBTEXTLEN, selected, 0);
            std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
            SendMessageW(box, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text.data()));
            loading_ = true;
            SetWindowTextW(box, text.c_str());
            loading_ = false;
        }
    }
    if (code == EN_CHANGE || code == CBN_SELCHANGE || code == CBN_EDITCHANGE ||
        code == LBN_SELCHANGE ||
        (code == BN_CLICKED && page_.fields[index].kind == FieldKind::Check)) {
        OnFieldChanged(index);
    }
    return TRUE;
}

HWND PropertyPage::Box(std::size_t index) const {
    return GetDlgItem(window_, IDC_PAGE_FIELD + static_cast<int>(index));
}

std::wstring PropertyPage::BoxText(std::size_t index) const {
    HWND box = Box(index);
    const int length = GetWindowTextLengthW(box);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(box, text.data(), length + 1)));
    return text;
}

bool PropertyPage::IsDictionaryKind(FieldKind kind) const {
    return kind == FieldKind::Table || kind == FieldKind::Field || kind == FieldKind::Index ||
           kind == FieldKind::FieldList;
}

void PropertyPage::LoadValues() {
    // Whatever happens, the page is not left loading, nor pointing at values that are gone.
    struct Restore {
        PropertyPage& page;
        ~Restore() {
            page.loading_ = false;
            page.loadedValues_ = nullptr;
        }
    } restore{*this};
    loading_ = true;
    std::vector<com::Variant> values(page_.fieldCount);
    if (!objects_.empty()) {
        for (std::size_t i = 0; i < page_.fieldCount; ++i) {
            if (SUCCEEDED(GetProperty(objects_[0].Get(), page_.fields[i].name, values[i].Put()))) {
                fields_[i].readType = V_VT(values[i].Get());
            }
        }
    }
    // The plain boxes first, then the dictionary boxes, filled by the names just read, then
    // their values.
    for (std::size_t i = 0; i < page_.fieldCount; ++i) {
        if (!IsDictionaryKind(page_.fields[i].kind)) ShowValue(i, *values[i].Get());
    }
    loadedValues_ = &values;
    PrepareDictionaryBoxes(true);
    loadedValues_ = nullptr;
    for (std::size_t i = 0; i < page_.fieldCount; ++i) {
        if (IsDictionaryKind(page_.fields[i].kind)) ShowValue(i, *values[i].Get());
    }
    loading_ = false;
    CheckConditions();
}

void PropertyPage::ShowValue(std::size_t index, const VARIANT& value) {
    const PropertyField& field = page_.fields[index];
    HWND box = Box(index);
    const bool wasLoading = loading_;
    loading_ = true;
    switch (field.kind) {
        case FieldKind::Check: {
            long number = 0;
            NumberOf(value, number);
            SendMessageW(box, BM_SETCHECK, number != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        }
        case FieldKind::Choice: {
            SendMessageW(box, CB_RESETCONTENT, 0, 0);
            long current = 0;
            const bool known = NumberOf(value, current);
            LRESULT selected = -1;
            for (std::size_t c = 0; c < field.choiceCount; ++c) {
                const Choice& choice = field.choices[c];
                std::wstring text =
                    std::to_wstring(choice.value) + L" - " + com::WideOf(choice.name);
                LRESULT item =
                    SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
                SendMessageW(box, CB_SETITEMDATA, item, choice.value);
                if (known && choice.value == current) selected = item;
            }
            if (known && selected < 0) {
                // A value the list does not name is shown as it is, so that it is not lost.
                std::wstring text = std::to_wstring(current);
                selected =
                    SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
                SendMessageW(box, CB_SETITEMDATA, selected, current);
            }
            SendMessageW(box, CB_SETCURSEL, selected, 0);
            break;
        }
        case FieldKind::FieldList:
            fields_[index].listed = SplitFieldList(com::AnsiOf(TextOf(value)));
            if (IsClass(box, L"ListBox")) {
                const LRESULT count = SendMessageW(box, LB_GETCOUNT, 0, 0);
                for (LRESULT item = 0; item < count; ++item) {
                    const LRESULT length = SendMessageW(box, LB_GETTEXTLEN, item, 0);
                    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
                    SendMessageW(box, LB_GETTEXT, item, reinterpret_cast<LPARAM>(text.data()));
                    text.resize(std::wcslen(text.c_str()));
                    bool listed = false;
                    for (const std::string& name : fields_[index].listed) {
                        listed |= CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text.c_str(),
                                                 -1, com::WideOf(name).c_str(), -1) == CSTR_EQUAL;
                    }
                    SendMessageW(box, LB_SETSEL, listed ? TRUE : FALSE, item);
                }
                break;
            }
            SetWindowTextW(box, TextOf(value).c_str());
            break;
        default:
            SetWindowTextW(box, TextOf(value).c_str());
            break;
    }
    loading_ = wasLoading;
}

void PropertyPage::PrepareDictionaryBoxes(bool firstTime) {
    for (std::size_t i = 0; i < page_.fieldCount; ++i) {
        const PropertyField& field = page_.fields[i];
        if (!IsDictionaryKind(field.kind)) continue;
        HWND box = Box(i);
        if (IsClass(box, L"Edit")) continue;  // made a text box already
        if (firstTime && ContextOf(field.sourceProperty) == nullptr) {
            ReplaceWithTextBox(i);
            continue;
        }
        const std::wstring text = field.kind == FieldKind::FieldList ? L"" : BoxText(i);
        FillChoices(i, DictionaryChoices(field));
        if (field.kind != FieldKind::FieldList) {
            const bool wasLoading = loading_;
            loading_ = true;
            SetWindowTextW(box, text.c_str());
            loading_ = wasLoading;
        }
    }
}

void PropertyPage::FillChoices(std::size_t index, const std::vector<std::string>& choices) {
    HWND box = Box(index);
    const bool list = IsClass(box, L"ListBox");
    const bool wasLoading = loading_;
    loading_ = true;
    SendMessageW(box, list ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
    for (const std::string& choice : choices) {
        std::wstring text = com::WideOf(choice);
        SendMessageW(box, list ? LB_ADDSTRING : CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(text.c_str()));
    }
    loading_ = wasLoading;
}

// Without a dictionary to offer, a name is typed: the box becomes a text box in the same place
// and the same tab order, under the same number.
void PropertyPage::ReplaceWithTextBox(std::size_t index) {
    HWND old = Box(index);
    RECT bounds{};
    GetWindowRect(old, &bounds);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&bounds), 2);
    RECT height{0, 0, 0, 12};
    MapDialogRect(window_, &height);
    HWND edit = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"Edit", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
        bounds.left, bounds.top, bounds.right - bounds.left, height.bottom, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PAGE_FIELD + index)),
        com::ModuleState::Instance(), nullptr);
    if (edit == nullptr) return;  // the box stays as it is, offering nothing
    SendMessageW(edit, WM_SETFONT, SendMessageW(window_, WM_GETFONT, 0, 0), FALSE);
    SetWindowPos(edit, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    DestroyWindow(old);
}

std::vector<std::string> PropertyPage::DictionaryChoices(const PropertyField& field) {
    FormContext* context = ContextOf(field.sourceProperty);
    if (context == nullptr) return {};
    if (field.kind == FieldKind::Table) return TableChoices(*context);
    const std::string table = com::AnsiOf(NameOf(field.tableProperty));
    if (field.kind == FieldKind::Index) return IndexChoices(*context, table);
    return FieldChoices(*context, table);
}

// The dictionary of the data control the property names, when that control is on the form of
// the first object.
FormContext* PropertyPage::ContextOf(const wchar_t* sourceProperty) {
    if (objects_.empty() || sourceProperty == nullptr) return nullptr;
    const std::string sourceName = com::AnsiOf(NameOf(sourceProperty));
    if (sourceName.empty()) return nullptr;
    auto object = objects_[0].As<IOleObject>();
    if (!object) return nullptr;
    com::ComPtr<IOleClientSite> site;
    if (FAILED(object->GetClientSite(site.Put())) || !site) return nullptr;
    const WindowHandle form = FindFormWindow(site.Get());
    if (form == 0) return nullptr;
    DataSource* source = Registry().FindDataSourceOnForm(form, sourceName);
    return source != nullptr ? source->Context() : nullptr;
}

std::wstring PropertyPage::NameOf(const wchar_t* property) {
    if (property == nullptr) return {};
    const int index = page_.IndexOf(property);
    if (index >= 0 && loadedValues_ != nullptr) {
        return TextOf(*(*loadedValues_)[static_cast<std::size_t>(index)].Get());
    }
    if (index >= 0 && window_ != nullptr) {
        const PropertyField& field = page_.fields[index];
        if (field.kind != FieldKind::Choice && field.kind != FieldKind::Check) {
            return BoxText(static_cast<std::size_t>(index));
        }
    }
    if (objects_.empty()) return {};
    com::Variant value;
    if (FAILED(GetProperty(objects_[0].Get(), property, value.Put()))) return {};
    return TextOf(*value.Get());
}

void PropertyPage::CheckConditions() {
    for (std::size_t i = 0; i < page_.fieldCount; ++i) {
        const PropertyField& field = page_.fields[i];
        if (field.kind != FieldKind::Condition) continue;
        std::wstring message;
        if (FormContext* context = ContextOf(field.sourceProperty)) {
            const TableDef* table =
                FindTableWithFields(*context, com::AnsiOf(NameOf(field.tableProperty)));
            if (table != nullptr) {
                bool ignoreCase = false;
                const int compare = page_.IndexOf(L"DbCompareCase");
                if (compare >= 0) {
                    const LRESULT item =
                        SendMessageW(Box(static_cast<std::size_t>(compare)), CB_GETCURSEL, 0, 0);
                    ignoreCase = item >= 0 && SendMessageW(Box(static_cast<std::size_t>(compare)),
                                                           CB_GETITEMDATA, item, 0) != 0;
                }
                message = com::WideOf(CheckCondition(*table, com::AnsiOf(BoxText(i)), ignoreCase));
            }
        }
        SetDlgItemTextW(window_, IDC_PAGE_MESSAGE + static_cast<int>(i), message.c_str());
    }
}

void PropertyPage::OnFieldChanged(std::size_t index) {
    if (loading_) return;
    fields_[index].changed = true;
    SetDirty();
    // The boxes that offer the names of this source or table follow it.
    const wchar_t* name = page_.fields[index].name;
    for (std::size_t i = 0; i < page_.fieldCount; ++i) {
        const PropertyField& field = page_.fields[i];
        if (!IsDictionaryKind(field.kind)) continue;
        const bool follows =
            (field.sourceProperty && std::wcscmp(field.sourceProperty, name) == 0) ||
            (field.tableProperty && std::wcscmp(field.tableProperty, name) == 0);
        if (follows && !IsClass(Box(i), L"Edit")) {
            const std::wstring text = field.kind == FieldKind::FieldList ? L"" : BoxText(i);
            FillChoices(i, DictionaryChoices(field));
            if (field.kind != FieldKind::FieldList) {
                loading_ = true;
                SetWindowTextW(Box(i), text.c_str());
                loading_ = false;
            }
        }
    }
    CheckConditions();
}

void PropertyPage::SetDirty() {
    dirty_ = true;
    if (site_) site_->OnStatusChange(PROPPAGESTATUS_DIRTY);
}

void PropertyPage::Browse(std::size_t index) {
    std::wstring title = page_.fields[index].name;
    BROWSEINFOW browse{};
    browse.hwndOwner = window_;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
    if (chosen == nullptr) return;
    wchar_t path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(chosen, path)) SetWindowTextW(Box(index), path);  // marks it changed
    CoTaskMemFree(chosen);
}

com::Variant PropertyPage::ValueToWrite(std::size_t index) {
    if (window_ == nullptr) return fields_[index].pending;
    const PropertyField& field = page_.fields[index];
    HWND box = Box(index);
    switch (field.kind) {
        case FieldKind::Check: {
            const bool checked = SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
            com::Variant value;
            if (fields_[index].readType == VT_BOOL) {
                V_VT(value.Get()) = VT_BOOL;
                V_BOOL(value.Get()) = checked ? VARIANT_TRUE : VARIANT_FALSE;
            } else {
                V_VT(value.Get()) = VT_I4;
                V_I4(value.Get()) = checked ? 1 : 0;
            }
            return value;
        }
        case FieldKind::Choice: {
            const LRESULT item = SendMessageW(box, CB_GETCURSEL, 0, 0);
            return NumberVariant(
                item >= 0 ? static_cast<long>(SendMessageW(box, CB_GETITEMDATA, item, 0)) : 0);
        }
        case FieldKind::Number: {
            // A whole number goes as a number; anything else goes as typed, for the object to
            // refuse with its own error.
            const std::wstring text = BoxText(index);
            wchar_t* end = nullptr;
            const long number = std::wcstol(text.c_str(), &end, 10);
            if (!text.empty() && end != nullptr && *end == L'\0') return NumberVariant(number);
            return TextVariant(text);
        }
        case FieldKind::FieldList:
            if (IsClass(box, L"ListBox")) {
                std::vector<std::string> choices;
                std::vector<bool> selected;
                const LRESULT count = SendMessageW(box, LB_GETCOUNT, 0, 0);
                for (LRESULT item = 0; item < count; ++item) {
                    const LRESULT length = SendMessageW(box, LB_GETTEXTLEN, item, 0);
                    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
                    SendMessageW(box, LB_GETTEXT, item, reinterpret_cast<LPARAM>(text.data()));
                    text.resize(std::wcslen(text.c_str()));
                    choices.push_back(com::AnsiOf(text));
                    selected.push_back(SendMessageW(box, LB_GETSEL, item, 0) > 0);
                }
                return TextVariant(com::WideOf(
                    JoinFieldList(MergeFieldSelection(fields_[index].listed, choices, selected))));
            }
            return TextVariant(BoxText(index));
        default:
            return TextVariant(BoxText(index));
    }
}

void PropertyPage::ReportRefusal(std::size_t index, HRESULT hr, const std::wstring& description) {
    std::wstring text = description;
    if (text.empty()) {
        wchar_t code[32];
        std::swprintf(code, 32, L"0x%08lX", static_cast<unsigned long>(hr));
        text = code;
    }
    const std::wstring message = std::wstring(page_.fields[index].name) + L": " + text;
    // The page site learns it as the error of Apply.
    com::ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(create.Put()))) {
        create->SetDescription(const_cast<LPOLESTR>(message.c_str()));
        create->SetSource(const_cast<LPOLESTR>(page_.className));
        if (auto info = create.As<IErrorInfo>()) SetErrorInfo(0, info.Get());
    }
    platform::CurrentPlatform().ShowMessageBox(
        com::AnsiOf(message), platform::box::kOk | platform::box::kIconExclamation);
    if (window_ != nullptr) {
        HWND box = Box(index);
        SetFocus(box);
        if (IsClass(box, L"Edit")) SendMessageW(box, EM_SETSEL, 0, -1);
    }
}

HRESULT CreatePropertyPage(const PageDefinition& page, REFIID iid, void** out) {
    return com::Guarded([&] { return com::CreateInstance<PropertyPage>(iid, out, page); });
}

}  // namespace zelmor::pages
