#include "host/PropertyFrame.h"

#include <commctrl.h>

#include <algorithm>

#include "com/Guarded.h"
#include "host/Automation.h"
#include "host/WindowClass.h"

namespace zelmor::host {

namespace {

using com::ComPtr;

const wchar_t kFrameClass[] = L"ZelmorPropertyFrame";
const wchar_t kPageHostClass[] = L"ZelmorPropertyPages";

// The frame's buttons and its status line. Apply has the identifier dialogs give it.
constexpr int kApplyId = 0x3021;
constexpr int kStatusId = 0x3022;
constexpr int kTabsId = 0x3023;

// Layout, in pixels.
constexpr int kMargin = 8;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 24;
constexpr int kButtonGap = 6;
constexpr int kStatusHeight = 16;
// The smallest page area: room for the three buttons under it.
constexpr int kLeastPageWidth = 3 * kButtonWidth + 2 * kButtonGap + 120;
constexpr int kLeastPageHeight = 80;
// Where the frame appears, from the owner's top left.
constexpr int kOffsetFromOwner = 40;

constexpr DWORD kFrameStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFrameExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

bool IsKeyboardMessage(UINT message) {
    return message >= WM_KEYFIRST && message <= WM_KEYLAST;
}

// A title as a person reads it, for comparing: without "&" (a doubled one stays).
std::wstring WithoutAmpersands(const std::wstring& text) {
    std::wstring plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) ++i;
        else if (text[i] == L'&') continue;
        plain += text[i];
    }
    return plain;
}

// What a failed Apply says: the page's own description when it gave one, and the error.
std::wstring FailureText(HRESULT hr) {
    std::wstring text = HresultText(hr);
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.Put()) == S_OK && info) {
        BSTR description = nullptr;
        if (SUCCEEDED(info->GetDescription(&description)) && description && *description) {
            text = std::wstring(description) + L" (" + text + L")";
        }
        SysFreeString(description);
    }
    return text;
}

HWND MakeChild(const wchar_t* className, const wchar_t* text, DWORD style, HWND parent, int id,
               HFONT font) {
    HWND window = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10,
                                  parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  GetModuleHandleW(nullptr), nullptr);
    if (window) SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return window;
}

// The common controls' tab control, from the library loaded when the first frame opens: the
// programs that link the host but never open a frame do not load it.
void InitTabControl() {
    static HMODULE library = LoadLibraryW(L"comctl32.dll");
    using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto init = library ? reinterpret_cast<Init>(reinterpret_cast<void*>(
                              GetProcAddress(library, "InitCommonControlsEx")))
                        : nullptr;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES};
    if (init) init(&controls);
}

}  // namespace

// --- The page site ---

void* PageSite::FindInterface(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IPropertyPageSite) {
        return static_cast<IPropertyPageSite*>(this);
    }
    return nullptr;
}

STDMETHODIMP PageSite::OnStatusChange(DWORD flags) {
    if (!frame_) return E_UNEXPECTED;
    return com::Guarded([&] {
        frame_->PageStatusChanged(page_, flags);
        return S_OK;
    });
}

STDMETHODIMP PageSite::GetLocaleID(LCID* locale) {
    if (!locale) return E_POINTER;
    *locale = GetUserDefaultLCID();
    return S_OK;
}

STDMETHODIMP PageSite::GetPageContainer(IUnknown** container) {
    if (container) *container = nullptr;
    return E_NOTIMPL;  // the frame offers nothing more to its pages
}

STDMETHODIMP PageSite::TranslateAccelerator(MSG* msg) {
    if (!msg) return E_POINTER;
    if (!frame_) return S_FALSE;
    bool taken = false;
    com::Guarded([&] {
        taken = frame_->DialogKey(msg);
        return S_OK;
    });
    return taken ? S_OK : S_FALSE;
}

// --- Opening and closing ---

PropertyFrame::PropertyFrame(HWND owner, IUnknown* object) : owner_(owner), object_(object) {}

PropertyFrame::~PropertyFrame() {
    Close();
}

std::unique_ptr<PropertyFrame> PropertyFrame::Open(HWND owner, IUnknown* object,
                                                   const std::wstring& name, HRESULT* result) {
    HRESULT hr = E_POINTER;
    std::unique_ptr<PropertyFrame> frame;
    if (object) {
        frame.reset(new (std::nothrow) PropertyFrame(owner, object));
        hr = frame ? frame->Create(name) : E_OUTOFMEMORY;
    }
    if (result) *result = hr;
    if (FAILED(hr)) return nullptr;
    return frame;
}

HRESULT PropertyFrame::Create(const std::wstring& name) {
    previousFocus_ = GetFocus();
    HRESULT hr = LoadPages();
    if (FAILED(hr)) return hr;
    CreateWindows(name);
    if (!window_) return HRESULT_FROM_WIN32(GetLastError() ? GetLastError() : ERROR_INVALID_HANDLE);
    if (!ShowPage(0)) return E_FAIL;
    if (missingPages_ > 0) {
        SetProblem(std::to_wstring(missingPages_) + L" of " +
                   std::to_wstring(missingPages_ + pages_.size()) +
                   L" pages are not available here");
    }
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
    return S_OK;
}

HRESULT PropertyFrame::LoadPages() {
    auto specify = object_.As<ISpecifyPropertyPages>();
    if (!specify) return E_NOINTERFACE;
    CAUUID ids{};
    HRESULT hr = specify->GetPages(&ids);
    if (FAILED(hr)) return hr;
    std::vector<CLSID> clsids(ids.pElems, ids.pElems + ids.cElems);
    CoTaskMemFree(ids.pElems);
    // A frame with nothing to show is no frame.
    if (clsids.empty()) return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);

    IUnknown* objects[] = {object_.Get()};
    HRESULT firstMissing = S_OK;
    for (const CLSID& clsid : clsids) {
        Page page;
        page.clsid = clsid;
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                              page.page.PutVoid());
        if (FAILED(hr)) {
            // A page this machine does not have (a stock page missing from the system) is
            // left out, so that the control's own pages can still be used; it is named on the
            // status line.
            if (SUCCEEDED(firstMissing)) firstMissing = hr;
            ++missingPages_;
            continue;
        }
        page.site = com::MakeInstance<PageSite>(*this, pages_.size());
        if (!page.site) return E_OUTOFMEMORY;
        // Kept first, so that Close lets go of whatever was started.
        pages_.push_back(std::move(page));
        Page& added = pages_.back();
        hr = added.page->SetPageSite(static_cast<IPropertyPageSite*>(added.site.Get()));
        if (FAILED(hr)) return hr;
        PROPPAGEINFO info{};
        info.cb = sizeof info;
        hr = added.page->GetPageInfo(&info);
        if (FAILED(hr)) return hr;
        added.title = info.pszTitle ? info.pszTitle : L"";
        added.size = info.size;
        CoTaskMemFree(info.pszTitle);
        CoTaskMemFree(info.pszDocString);
        CoTaskMemFree(info.pszHelpFile);
        hr = added.page->SetObjects(1, objects);
        if (FAILED(hr)) return hr;
    }
    return pages_.empty() ? firstMissing : S_OK;
}

void PropertyFrame::CreateWindows(const std::wstring& name) {
    InitTabControl();
    RegisterWindowClass(kFrameClass, Procedure);
    RegisterWindowClass(kPageHostClass, DefWindowProcW);
    font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    RECT ownerRect{};
    if (owner_) GetWindowRect(owner_, &ownerRect);
    std::wstring caption = name + L" Properties";
    CreateWindowExW(kFrameExStyle, kFrameClass, caption.c_str(), kFrameStyle,
                    ownerRect.left + kOffsetFromOwner, ownerRect.top + kOffsetFromOwner, 100, 100,
                    owner_, nullptr, GetModuleHandleW(nullptr), this);
    if (!window_) return;

    tabs_ = MakeChild(WC_TABCONTROLW, L"", WS_CLIPSIBLINGS | WS_TABSTOP, window_, kTabsId, font_);
    for (size_t i = 0; i < pages_.size(); ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(pages_[i].title.c_str());
        SendMessageW(tabs_, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    pageHost_ = CreateWindowExW(WS_EX_CONTROLPARENT, kPageHostClass, L"",
                                WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 10, 10, window_,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    ok_ = MakeChild(L"Button", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, window_, IDOK, font_);
    cancel_ = MakeChild(L"Button", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, window_, IDCANCEL, font_);
    apply_ = MakeChild(L"Button", L"&Apply", BS_PUSHBUTTON | WS_TABSTOP, window_, kApplyId, font_);
    status_ = MakeChild(L"Static", L"", SS_LEFTNOWORDWRAP, window_, kStatusId, font_);

    // The page area holds the largest page; the tabs go around it and the buttons under it.
    RECT area{0, 0, kLeastPageWidth, kLeastPageHeight};
    for (const Page& page : pages_) {
        area.right = std::max<LONG>(area.right, page.size.cx);
        area.bottom = std::max<LONG>(area.bottom, page.size.cy);
    }
    RECT tabRect = area;
    SendMessageW(tabs_, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&tabRect));
    OffsetRect(&tabRect, kMargin - tabRect.left, kMargin - tabRect.top);
    MoveWindow(tabs_, tabRect.left, tabRect.top, tabRect.right - tabRect.left,
               tabRect.bottom - tabRect.top, FALSE);
    RECT display = tabRect;
    SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    MoveWindow(pageHost_, display.left, display.top, area.right, area.bottom, FALSE);
    SetWindowPos(pageHost_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

    // The status line runs the whole width under the pages; the buttons go under it, right.
    int width = tabRect.right + kMargin;
    int statusTop = tabRect.bottom + kMargin / 2;
    MoveWindow(status_, kMargin, statusTop, width - 2 * kMargin, kStatusHeight, FALSE);
    int buttonsTop = statusTop + kStatusHeight + kMargin / 2;
    int x = width - kMargin - kButtonWidth;
    for (HWND button : {apply_, cancel_, ok_}) {
        MoveWindow(button, x, buttonsTop, kButtonWidth, kButtonHeight, FALSE);
        x -= kButtonWidth + kButtonGap;
    }
    RECT frame{0, 0, width, buttonsTop + kButtonHeight + kMargin};
    AdjustWindowRectEx(&frame, kFrameStyle, FALSE, kFrameExStyle);
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateApplyButton();
}

void PropertyFrame::Close() {
    // The pages go first: they may still speak to their sites and windows while they leave.
    std::vector<Page> pages = std::move(pages_);
    pages_.clear();
    for (Page& page : pages) {
        if (page.site) page.site->Detach();
        if (!page.page) continue;
        if (page.activated) page.page->Deactivate();
        page.page->SetObjects(0, nullptr);
        page.page->SetPageSite(nullptr);
    }
    pages.clear();
    if (!window_) return;
    bool hadFocus = GetFocus() == window_ || IsChild(window_, GetFocus()) ||
                    GetActiveWindow() == window_;
    DestroyWindow(window_);
    window_ = nullptr;
    if (hadFocus && previousFocus_ && IsWindow(previousFocus_)) SetFocus(previousFocus_);
}

// --- Pages ---

int PropertyFrame::FindPage(const std::wstring& title) const {
    std::wstring wanted = WithoutAmpersands(title);
    for (size_t i = 0; i < pages_.size(); ++i) {
        if (lstrcmpiW(WithoutAmpersands(pages_[i].title).c_str(), wanted.c_str()) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

RECT PropertyFrame::PageArea() const {
    RECT area{};
    GetClientRect(pageHost_, &area);
    return area;
}

bool PropertyFrame::ShowPage(size_t index) {
    if (!window_ || index >= pages_.size()) return false;
    Page& page = pages_[index];
    if (!page.activated) {
        RECT area = PageArea();
        HRESULT hr = page.page->Activate(pageHost_, &area, FALSE);
        if (FAILED(hr)) {
            SetProblem(page.title + L": " + FailureText(hr));
            return false;
        }
        page.activated = true;
    }
    for (size_t i = 0; i < pages_.size(); ++i) {
        if (i != index && pages_[i].activated) pages_[i].page->Show(SW_HIDE);
    }
    page.page->Show(SW_SHOW);
    current_ = index;
    if (static_cast<size_t>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)) != index) {
        SendMessageW(tabs_, TCM_SETCURSEL, index, 0);
    }
    return true;
}

HWND PropertyFrame::PageWindow() const {
    if (!pageHost_ || pages_.empty() || !pages_[current_].activated) return nullptr;
    // The shown page's window is the visible one among the windows the pages made.
    for (HWND child = GetWindow(pageHost_, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowVisible(child)) return child;
    }
    return nullptr;
}

// --- Applying ---

bool PropertyFrame::ApplyEnabled() const {
    return apply_ && IsWindowEnabled(apply_);
}

void PropertyFrame::UpdateApplyButton() {
    bool dirty = std::any_of(pages_.begin(), pages_.end(), [](const Page& p) { return p.dirty; });
    if (apply_) EnableWindow(apply_, dirty);
}

void PropertyFrame::SetProblem(std::wstring problem) {
    problem_ = std::move(problem);
    if (status_) SetWindowTextW(status_, problem_.c_str());
}

void PropertyFrame::PageStatusChanged(size_t page, DWORD flags) {
    if (page >= pages_.size()) return;
    if (flags & PROPPAGESTATUS_DIRTY) pages_[page].dirty = true;
    UpdateApplyButton();
}

HRESULT PropertyFrame::Apply() {
    if (Closed()) return E_UNEXPECTED;
    HRESULT first = S_OK;
    std::wstring problem;
    for (Page& page : pages_) {
        if (!page.dirty && page.page->IsPageDirty() != S_OK) continue;
        SetErrorInfo(0, nullptr);
        HRESULT hr = page.page->Apply();
        // A page that took only part of its changes still has the rest to apply.
        bool left = page.page->IsPageDirty() == S_OK;
        if (SUCCEEDED(hr) && left) hr = E_FAIL;
        page.dirty = FAILED(hr);
        if (FAILED(hr) && SUCCEEDED(first)) {
            first = hr;
            problem = page.title + L": " + FailureText(hr);
        }
    }
    SetProblem(problem);
    UpdateApplyButton();
    return first;
}

HRESULT PropertyFrame::Ok() {
    HRESULT hr = Apply();
    if (SUCCEEDED(hr)) Close();
    return hr;
}

void PropertyFrame::Cancel() {
    Close();
}

// --- Keys and window messages ---

bool PropertyFrame::DialogKey(MSG* msg) {
    return window_ && IsDialogMessageW(window_, msg);
}

bool PropertyFrame::PreTranslateMessage(MSG& msg) {
    if (!window_ || !IsKeyboardMessage(msg.message)) return false;
    if (msg.hwnd != window_ && !IsChild(window_, msg.hwnd)) return false;
    if (current_ < pages_.size() && pages_[current_].activated &&
        IsChild(pageHost_, msg.hwnd) && pages_[current_].page->TranslateAccelerator(&msg) == S_OK) {
        return true;
    }
    return DialogKey(&msg);
}

LRESULT CALLBACK PropertyFrame::Procedure(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* frame =
            static_cast<PropertyFrame*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        frame->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
    }
    auto* frame = reinterpret_cast<PropertyFrame*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!frame) return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    HRESULT hr = com::Guarded([&] {
        result = frame->Handle(message, wParam, lParam);
        return S_OK;
    });
    return SUCCEEDED(hr) ? result : 0;
}

LRESULT PropertyFrame::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_;
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                    Ok();
                    return 0;
                case IDCANCEL:
                    Cancel();
                    return 0;
                case kApplyId:
                    Apply();
                    return 0;
                default:
                    break;
            }
            break;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header && header->hwndFrom == tabs_ && header->code == TCN_SELCHANGE) {
                LRESULT selected = SendMessageW(tabs_, TCM_GETCURSEL, 0, 0);
                if (selected >= 0) ShowPage(static_cast<size_t>(selected));
                return 0;
            }
            break;
        }
        case WM_CLOSE:
            Cancel();
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            window_ = nullptr;
            tabs_ = pageHost_ = ok_ = cancel_ = apply_ = status_ = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// --- Fields ---

namespace {

bool HasClass(HWND window, const wchar_t* className) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return lstrcmpiW(name, className) == 0;
}

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// A label's text as it is compared: without "&", blanks around it and a trailing colon.
std::wstring LabelName(const std::wstring& text) {
    std::wstring name = WithoutAmpersands(text);
    auto blank = [](wchar_t c) { return c == L' ' || c == L'\t' || c == 0x3000; };
    while (!name.empty() && blank(name.back())) name.pop_back();
    if (!name.empty() && (name.back() == L':' || name.back() == 0xFF1A)) name.pop_back();
    while (!name.empty() && blank(name.back())) name.pop_back();
    size_t start = 0;
    while (start < name.size() && blank(name[start])) ++start;
    return name.substr(start);
}

bool IsCheckBox(HWND window) {
    if (!HasClass(window, L"Button")) return false;
    LONG type = GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
           type == BS_AUTO3STATE;
}

// Tells the field's parent what a person's action on the field tells it.
void Notify(HWND field, WORD code) {
    SendMessageW(GetParent(field), WM_COMMAND,
                 MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(field)), code),
                 reinterpret_cast<LPARAM>(field));
}

std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

std::wstring SetEdit(HWND field, const std::wstring& value) {
    if (GetWindowLongW(field, GWL_STYLE) & ES_READONLY) return L"the field is read-only";
    // Replacing the selection is what typing does: the edit box itself sends EN_CHANGE.
    SendMessageW(field, EM_SETSEL, 0, -1);
    SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(value.c_str()));
    std::wstring shown = TextOf(field);
    return shown == value ? L"" : L"the field shows " + Quoted(shown);
}

std::wstring SetCombo(HWND field, const std::wstring& value) {
    LRESULT index =
        SendMessageW(field, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(value.c_str()));
    if (index != CB_ERR) {
        SendMessageW(field, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        Notify(field, CBN_SELCHANGE);
        return L"";
    }
    if ((GetWindowLongW(field, GWL_STYLE) & 3) == CBS_DROPDOWNLIST) {
        return L"the list has no item " + Quoted(value);
    }
    SetWindowTextW(field, value.c_str());
    Notify(field, CBN_EDITUPDATE);
    Notify(field, CBN_EDITCHANGE);
    return L"";
}

std::wstring SetCheckBox(HWND field, const std::wstring& value) {
    bool wanted;
    if (lstrcmpiW(value.c_str(), L"True") == 0) wanted = true;
    else if (lstrcmpiW(value.c_str(), L"False") == 0) wanted = false;
    else return L"a check box takes true or false";
    bool checked = SendMessageW(field, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (checked == wanted) return L"";  // a person would not click it
    SendMessageW(field, BM_SETCHECK, wanted ? BST_CHECKED : BST_UNCHECKED, 0);
    Notify(field, BN_CLICKED);
    return L"";
}

}  // namespace

HWND FindPageField(HWND page, const std::wstring& label) {
    if (!page) return nullptr;
    std::wstring wanted = LabelName(label);
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!HasClass(child, L"Static") ||
            lstrcmpiW(LabelName(TextOf(child)).c_str(), wanted.c_str()) != 0) {
            continue;
        }
        for (HWND next = GetWindow(child, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT)) {
            if (GetWindowLongW(next, GWL_STYLE) & WS_TABSTOP) return next;
            if (HasClass(next, L"Static")) break;  // the next label: this one labels nothing
        }
    }
    return nullptr;
}

std::wstring SetPageField(HWND page, const std::wstring& label, const std::wstring& value) {
    if (!page) return L"no page is shown";
    HWND field = FindPageField(page, label);
    if (!field) return L"no field labelled " + Quoted(label);
    if (!IsWindowEnabled(field)) return L"the field " + Quoted(label) + L" is disabled";
    if (HasClass(field, L"Edit")) return SetEdit(field, value);
    if (HasClass(field, L"ComboBox")) return SetCombo(field, value);
    if (IsCheckBox(field)) return SetCheckBox(field, value);
    return L"the field " + Quoted(label) + L" is not an edit box, combo box or check box";
}

bool ReadPageField(HWND page, const std::wstring& label, std::wstring* value) {
    HWND field = FindPageField(page, label);
    if (!field) return false;
    if (IsCheckBox(field)) {
        *value = SendMessageW(field, BM_GETCHECK, 0, 0) == BST_CHECKED ? L"True" : L"False";
    } else {
        *value = TextOf(field);
    }
    return true;
}

}  // namespace zelmor::host
