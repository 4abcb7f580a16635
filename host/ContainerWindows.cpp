#include "host/ContainerWindows.h"

#include "host/WindowClass.h"

namespace zelmor::host {

namespace {

const wchar_t kDesignFrameClass[] = L"ThunderFrame";
const wchar_t kRunTimeFrameClass[] = L"ThunderRTFrame";
const wchar_t kRunTime5FrameClass[] = L"ThunderRT5Frame";

HFONT CaptionFont() {
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// A caption in rect, in the container's font, placed as format says (DT_CENTER, ...).
void DrawCaption(HDC dc, const std::wstring& text, RECT rect, UINT format) {
    HGDIOBJ oldFont = SelectObject(dc, CaptionFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, oldFont);
}

}  // namespace

const wchar_t kTabClassName[] = L"SSTabCtlWndClass";

const wchar_t* FrameClassName(FrameClass frameClass) {
    switch (frameClass) {
        case FrameClass::Design:
            return kDesignFrameClass;
        case FrameClass::RunTime:
            return kRunTimeFrameClass;
        case FrameClass::RunTime5:
            return kRunTime5FrameClass;
    }
    return kRunTime5FrameClass;
}

// --- Container ---

Container::Container(std::wstring name, ContentPainter& painter)
    : name_(std::move(name)), painter_(painter) {}

Container::~Container() {
    if (window_) DestroyWindow(window_);
}

void Container::CreateContainerWindow(const wchar_t* className, HWND parent, const RECT& rect,
                                      const std::wstring& text) {
    RegisterWindowClass(className, Procedure);
    CreateWindowExW(WS_EX_CONTROLPARENT, className, text.c_str(),
                    WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                    GetModuleHandleW(nullptr), this);
}

LRESULT CALLBACK Container::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* container =
            static_cast<Container*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        container->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(container));
    }
    auto* container = reinterpret_cast<Container*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!container) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        container->window_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return container->Handle(message, wParam, lParam);
}

LRESULT Container::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window_, &paint);
            RECT client;
            GetClientRect(window_, &client);
            Paint(dc, client);
            painter_.PaintContents(window_, dc);
            EndPaint(window_, &paint);
            return 0;
        }
        case WM_LBUTTONDOWN:
            OnClick(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

// --- Frame ---

Frame::Frame(std::wstring name, const std::wstring& caption, FrameClass frameClass, HWND parent,
             const RECT& rect, ContentPainter& painter)
    : Container(std::move(name), painter) {
    CreateContainerWindow(FrameClassName(frameClass), parent, rect, caption);
}

void Frame::Paint(HDC dc, const RECT& client) {
    // The border runs through the middle of the caption, which sits on the frame's background.
    constexpr int kCaptionHeight = 14;
    constexpr int kCaptionIndent = 8;
    RECT border = client;
    border.top += kCaptionHeight / 2;
    DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);

    wchar_t caption[256] = {};
    int length = GetWindowTextW(Window(), caption, 256);
    if (length == 0) return;
    HGDIOBJ oldFont = SelectObject(dc, CaptionFont());
    SIZE extent{};
    GetTextExtentPoint32W(dc, caption, length, &extent);
    SelectObject(dc, oldFont);
    RECT label{client.left + kCaptionIndent, client.top,
               client.left + kCaptionIndent + extent.cx + 4, client.top + kCaptionHeight};
    FillRect(dc, &label, GetSysColorBrush(COLOR_BTNFACE));
    DrawCaption(dc, caption, label, DT_CENTER);
}

// --- TabContainer ---

TabContainer::TabContainer(std::wstring name, std::vector<std::wstring> pages, HWND parent,
                           const RECT& rect, ContentPainter& painter)
    : Container(std::move(name), painter), pages_(std::move(pages)) {
    CreateContainerWindow(kTabClassName, parent, rect, L"");
}

RECT TabContainer::TabRect(int page) const {
    RECT client{};
    GetClientRect(Window(), &client);
    int count = pages_.empty() ? 1 : PageCount();
    int width = client.right / count;
    return RECT{page * width, 0, (page + 1) * width, kTabHeight};
}

bool TabContainer::Select(int page) {
    if (page < 0 || page >= PageCount()) return false;
    if (page != selected_) {
        selected_ = page;
        InvalidateRect(Window(), nullptr, TRUE);
        if (onPageChanged) onPageChanged(page);
    }
    return true;
}

void TabContainer::Paint(HDC dc, const RECT& client) {
    RECT body = client;
    body.top += kTabHeight - 2;
    DrawEdge(dc, &body, EDGE_RAISED, BF_RECT);
    for (int page = 0; page < PageCount(); ++page) {
        RECT tab = TabRect(page);
        // The selected tab stands out and joins the page below it.
        if (page != selected_) tab.top += 2;
        FillRect(dc, &tab, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(dc, &tab, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT);
        DrawCaption(dc, pages_[static_cast<size_t>(page)], tab, DT_CENTER);
    }
}

void TabContainer::OnClick(POINT point) {
    for (int page = 0; page < PageCount(); ++page) {
        RECT tab = TabRect(page);
        if (PtInRect(&tab, point)) {
            Select(page);
            return;
        }
    }
}

}  // namespace zelmor::host
