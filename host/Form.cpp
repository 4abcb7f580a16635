#include "host/Form.h"

#include <olectl.h>
#include <windowsx.h>

#include "host/WindowClass.h"

namespace zelmor::host {

namespace {

using com::ComPtr;

const wchar_t kFormClass[] = L"ZelmorForm";
constexpr DWORD kFormStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN | WS_VISIBLE;
// Where forms appear on the screen: near the top left, so that a whole form fits on a small
// screen for screenshots.
constexpr int kFormLeft = 20;
constexpr int kFormTop = 20;

bool IsKeyboardMessage(UINT message) {
    return message >= WM_KEYFIRST && message <= WM_KEYLAST;
}

template <typename Interface, typename Object>
HRESULT HandOut(const ComPtr<Object>& object, Interface** out) {
    if (!out) return E_POINTER;
    *out = static_cast<Interface*>(object.Get());
    if (*out) (*out)->AddRef();
    return *out ? S_OK : E_UNEXPECTED;
}

}  // namespace

Form::Form(std::wstring name, const std::wstring& caption, SIZE clientSize, SiteMode mode)
    : name_(std::move(name)), mode_(mode) {
    RegisterWindowClass(kFormClass, Procedure);
    RECT frame{0, 0, clientSize.cx, clientSize.cy};
    AdjustWindowRectEx(&frame, kFormStyle, FALSE, 0);
    CreateWindowExW(0, kFormClass, caption.c_str(), kFormStyle, kFormLeft, kFormTop,
                    frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                    GetModuleHandleW(nullptr), this);
    formObject_ = com::MakeInstance<FormObject>(name_, window_);
    container_ = com::MakeInstance<FormContainer>(
        ComPtr<IDispatch>(static_cast<IDispatch*>(formObject_.Get())));
    frame_ = com::MakeInstance<InPlaceFrame>(window_);
    formatter_ = com::MakeInstance<HostFormatter>();
}

Form::~Form() {
    Close();
}

LRESULT CALLBACK Form::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            form->PaintContents(window, dc);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_CONTEXTMENU:
            // At design time a right click on a control opens its property pages.
            if (form->mode_ == SiteMode::Design) {
                POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                if (ControlSite* site =
                        form->ControlOfWindow(reinterpret_cast<HWND>(wParam), screen)) {
                    form->OpenPropertyFrame(*site, 0);
                    return 0;
                }
            }
            break;
        case WM_CLOSE:
            if (form->beforeClose) form->beforeClose();
            // The controls go before the windows they sit in.
            form->Close();
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            form->window_ = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Form::SetMode(SiteMode mode) {
    if (mode == mode_) return;
    mode_ = mode;
    for (const SiteEntry& entry : sites_) entry.site->AmbientChanged(DISPID_AMBIENT_USERMODE);
}

// --- Containers ---

bool Form::CanAdd(const std::wstring& name) const {
    // Every control and container has a name of its own on its form.
    return window_ && !name.empty() && !FindControl(name) && !FindContainer(name);
}

HWND Form::ParentWindow(const Placement& placement) const {
    return placement.container ? placement.container->Window() : window_;
}

Frame* Form::AddFrame(const Placement& placement, const std::wstring& caption,
                      FrameClass frameClass) {
    if (!CanAdd(placement.name)) return nullptr;
    auto frame =
        std::make_unique<Frame>(placement.name, caption, frameClass, ParentWindow(placement),
                                placement.rect, static_cast<ContentPainter&>(*this));
    Frame* added = frame.get();
    containers_.push_back({std::move(frame), placement.container, placement.page});
    ShowTabPageOf(placement.container);
    return added;
}

TabContainer* Form::AddTab(const Placement& placement, const std::vector<std::wstring>& pages) {
    if (!CanAdd(placement.name)) return nullptr;
    auto tab = std::make_unique<TabContainer>(placement.name, pages, ParentWindow(placement),
                                              placement.rect, static_cast<ContentPainter&>(*this));
    TabContainer* added = tab.get();
    added->onPageChanged = [this, added](int) { ShowTabPageOf(added); };
    containers_.push_back({std::move(tab), placement.container, placement.page});
    ShowTabPageOf(placement.container);
    return added;
}

Container* Form::FindContainer(const std::wstring& name) const {
    for (const ContainerEntry& entry : containers_) {
        if (lstrcmpiW(entry.container->Name().c_str(), name.c_str()) == 0) {
            return entry.container.get();
        }
    }
    return nullptr;
}

void Form::ShowTabPageOf(Container* container) {
    auto* tab = dynamic_cast<TabContainer*>(container);
    if (!tab) return;
    int page = tab->SelectedPage();
    for (const SiteEntry& entry : sites_) {
        if (entry.container == tab) entry.site->SetVisible(entry.page == page);
    }
    for (const ContainerEntry& entry : containers_) {
        if (entry.parent == tab) {
            ShowWindow(entry.container->Window(), entry.page == page ? SW_SHOWNA : SW_HIDE);
        }
    }
}

// --- Controls ---

ControlSite* Form::AddControl(const Placement& placement, REFCLSID clsid,
                              std::vector<NamedValue> properties, HRESULT* result) {
    ComPtr<IUnknown> control;
    HRESULT hr =
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, control.PutVoid());
    if (FAILED(hr)) {
        if (result) *result = hr;
        return nullptr;
    }
    return AddControl(placement, control.Get(), std::move(properties), result);
}

ControlSite* Form::AddControl(const Placement& placement, const std::wstring& programId,
                              std::vector<NamedValue> properties, HRESULT* result) {
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(programId.c_str(), &clsid);
    if (FAILED(hr)) {
        if (result) *result = hr;
        return nullptr;
    }
    return AddControl(placement, clsid, std::move(properties), result);
}

ControlSite* Form::AddControl(const Placement& placement, IUnknown* control,
                              std::vector<NamedValue> properties, HRESULT* result) {
    HRESULT hr = S_OK;
    if (!window_) {
        hr = E_UNEXPECTED;
    } else if (!control) {
        hr = E_POINTER;
    } else if (!CanAdd(placement.name)) {
        hr = E_INVALIDARG;
    }
    if (FAILED(hr)) {
        if (result) *result = hr;
        return nullptr;
    }
    Site site = com::MakeInstance<ControlSite>(static_cast<SiteHost&>(*this), placement.name,
                                               ParentWindow(placement), placement.rect);
    auto bag = com::MakeInstance<PropertyBag>(std::move(properties));
    hr = site->Attach(control, bag.Get());
    if (result) *result = hr;
    if (FAILED(hr)) {
        site->Detach();
        return nullptr;
    }
    container_->AddObject(control);
    sites_.push_back({site, placement.container, placement.page});
    ShowTabPageOf(placement.container);
    return site.Get();
}

ControlSite* Form::FindControl(const std::wstring& name) const {
    for (const SiteEntry& entry : sites_) {
        if (lstrcmpiW(entry.site->Name().c_str(), name.c_str()) == 0) return entry.site.Get();
    }
    return nullptr;
}

ControlSite* Form::ControlOfWindow(HWND window, POINT screen) const {
    for (const SiteEntry& entry : sites_) {
        HWND control = entry.site->ControlWindow();
        if (control && window && (control == window || IsChild(control, window))) {
            return entry.site.Get();
        }
    }
    // The message passed up from a container names the container: the point tells.
    for (const SiteEntry& entry : sites_) {
        HWND control = entry.site->ControlWindow();
        RECT rect{};
        if (control && IsWindowVisible(control) && GetWindowRect(control, &rect) &&
            PtInRect(&rect, screen)) {
            return entry.site.Get();
        }
    }
    return nullptr;
}

std::vector<ControlSite*> Form::Controls() const {
    std::vector<ControlSite*> controls;
    for (const SiteEntry& entry : sites_) controls.push_back(entry.site.Get());
    return controls;
}

IDispatch* Form::Dispatch() const {
    return static_cast<IDispatch*>(formObject_.Get());
}

IOleContainer* Form::ContainerObject() const {
    return static_cast<IOleContainer*>(container_.Get());
}

// --- The property frame ---

HRESULT Form::OpenPropertyFrame(ControlSite& site, size_t page) {
    if (!window_ || !site.Object()) return E_UNEXPECTED;
    PropertyFrame* shown = ShownPropertyFrame();
    if (shown && shown->Object() != site.Object()) {
        if (shown->ApplyEnabled()) return HRESULT_FROM_WIN32(ERROR_BUSY);
        propertyFrame_.reset();
        shown = nullptr;
    }
    if (!shown) {
        HRESULT hr = E_FAIL;
        propertyFrame_ = PropertyFrame::Open(window_, site.Object(), site.Name(), &hr);
        if (!propertyFrame_) return hr;
        shown = propertyFrame_.get();
    }
    if (page != shown->CurrentPage() && !shown->ShowPage(page)) return E_INVALIDARG;
    SetWindowPos(shown->Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return S_OK;
}

PropertyFrame* Form::ShownPropertyFrame() const {
    return propertyFrame_ && !propertyFrame_->Closed() ? propertyFrame_.get() : nullptr;
}

// --- What the sites ask of the form ---

HRESULT Form::GetContainer(IOleContainer** out) {
    return HandOut(container_, out);
}

HRESULT Form::GetFrame(IOleInPlaceFrame** out) {
    return HandOut(frame_, out);
}

HRESULT Form::GetFormatter(REFIID iid, void** out) {
    return formatter_->QueryInterface(iid, out);
}

HRESULT Form::GetAmbientFont(IFontDisp** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!ambientFont_) {
        // The system's font for dialogs and controls.
        LOGFONTW font{};
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
        HDC screen = GetDC(nullptr);
        LONG pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        LONG pixels = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
        FONTDESC description{};
        description.cbSizeofstruct = sizeof description;
        description.lpstrName = font.lfFaceName;
        description.cySize.int64 = MulDiv(pixels, 72 * 10000, pixelsPerInch);
        description.sWeight = static_cast<SHORT>(font.lfWeight);
        description.sCharset = font.lfCharSet;
        HRESULT hr = OleCreateFontIndirect(&description, IID_IFontDisp, ambientFont_.PutVoid());
        if (FAILED(hr)) return hr;
    }
    return ambientFont_.CopyTo(out);
}

void Form::SiteUIActivating(ControlSite& site) {
    for (const SiteEntry& entry : sites_) {
        if (entry.site.Get() != &site) entry.site->UIDeactivate();
    }
}

void Form::PaintContents(HWND window, HDC dc) {
    for (const SiteEntry& entry : sites_) {
        if (entry.site->SiteWindow() == window) entry.site->DrawInactive(dc);
    }
}

// --- Messages ---

bool Form::PreTranslateMessage(MSG& msg) {
    if (!IsKeyboardMessage(msg.message) || !window_) return false;
    if (PropertyFrame* frame = ShownPropertyFrame()) {
        if (frame->PreTranslateMessage(msg)) return true;
    }
    if (msg.hwnd != window_ && !IsChild(window_, msg.hwnd)) return false;
    // Held: the control may stop being the active one while it handles the message.
    ComPtr<IOleInPlaceActiveObject> active(frame_->ActiveObject());
    return active && active->TranslateAccelerator(&msg) == S_OK;
}

void Form::PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that waits for it
            return;
        }
        if (!PreTranslateMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

void Form::Run() {
    MSG msg;
    while (window_) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (got < 0) return;
        if (!PreTranslateMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

void Form::Close() {
    propertyFrame_.reset();  // its pages hold the control
    // Last made, first closed; the sites go before the windows they sit in.
    while (!sites_.empty()) {
        Site site = sites_.back().site;
        sites_.pop_back();
        if (IUnknown* control = site->Object()) container_->RemoveObject(control);
        site->Detach();
    }
    if (frame_) frame_->Clear();
    while (!containers_.empty()) containers_.pop_back();  // inner containers first
    if (window_) DestroyWindow(window_);
}

}  // namespace zelmor::host
