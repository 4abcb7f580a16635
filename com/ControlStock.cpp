// The stock properties applied to the control's windows (font, enabled state, colours, mouse
// pointer) and the stock key and mouse events.
#include <olectl.h>

#include "com/ControlBase.h"
#include "com/ObjectRoot.h"
#include "com/Variant.h"

namespace zelmor::com {

namespace {

// Tells the control when a property of its font object changes (a host that sets Font.Size).
class FontNotifySink : public ObjectRoot, public IPropertyNotifySink {
  public:
    FontNotifySink(void (*changed)(void*), void* control) : changed_(changed), control_(control) {}

    STDMETHODIMP OnChanged(DISPID) override {
        changed_(control_);
        return S_OK;
    }
    STDMETHODIMP OnRequestEdit(DISPID) override { return S_OK; }

  protected:
    void* FindInterface(REFIID iid) override {
        if (iid == IID_IUnknown || iid == IID_IPropertyNotifySink) {
            return static_cast<IPropertyNotifySink*>(this);
        }
        return nullptr;
    }

  private:
    void (*changed_)(void*);
    void* control_;
};

// A font like the system's dialog font, for a container that offers none.
ComPtr<IFont> SystemFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    FONTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.lpstrName = metrics.lfMessageFont.lfFaceName;
    description.cySize.Lo = 9 * 10000;  // 9 points, in ten-thousandths
    description.sWeight = FW_NORMAL;
    description.sCharset = static_cast<SHORT>(metrics.lfMessageFont.lfCharSet);
    ComPtr<IFont> font;
    OleCreateFontIndirect(&description, IID_IFont, font.PutVoid());
    return font;
}

}  // namespace

IFont* ControlBase::StockFont() {
    if (stock_.font) return stock_.font.Get();
    Variant ambient;
    if (SUCCEEDED(GetAmbientProperty(DISPID_AMBIENT_FONT, ambient.Get())) &&
        V_VT(ambient.Get()) == VT_DISPATCH && V_DISPATCH(ambient.Get())) {
        auto font = ComPtr<IDispatch>(V_DISPATCH(ambient.Get())).As<IFont>();
        ComPtr<IFont> copy;
        if (font && SUCCEEDED(font->Clone(copy.Put()))) stock_.font = copy;
    }
    if (!stock_.font) stock_.font = SystemFont();
    FontChanged();
    return stock_.font.Get();
}

void ControlBase::SetStockFont(ComPtr<IFont> font) {
    stock_.font = std::move(font);
    FontChanged();
    ApplyFont();
}

void ControlBase::StopHearingFont() {
    if (fontPoint_) fontPoint_->Unadvise(fontCookie_);
    fontPoint_ = nullptr;
}

void ControlBase::FontChanged() {
    // Listen to the font object now in place, so that a change made to it is applied too.
    StopHearingFont();
    if (!stock_.font) return;
    auto sink = MakeInstance<FontNotifySink>(
        [](void* control) { static_cast<ControlBase*>(control)->ApplyFont(); }, this);
    auto container = stock_.font.As<IConnectionPointContainer>();
    ComPtr<IConnectionPoint> point;
    if (!sink || !container ||
        FAILED(container->FindConnectionPoint(IID_IPropertyNotifySink, point.Put()))) {
        return;
    }
    if (SUCCEEDED(point->Advise(static_cast<IPropertyNotifySink*>(sink.Get()), &fontCookie_))) {
        fontPoint_ = point;
    }
}

void ControlBase::ApplyFont() {
    if (!window_) return;
    HFONT handle = nullptr;
    if (IFont* font = StockFont()) font->get_hFont(&handle);
    // The font object keeps the handle alive as long as the control holds the object.
    for (const SubclassedChild& child : children_) {
        SendMessageW(child.window, WM_SETFONT, reinterpret_cast<WPARAM>(handle), TRUE);
    }
    FireViewChange();
}

void ControlBase::ApplyEnabled() {
    for (const SubclassedChild& child : children_) EnableWindow(child.window, stock_.enabled);
}

void ControlBase::ApplyColours() {
    for (const SubclassedChild& child : children_) InvalidateRect(child.window, nullptr, TRUE);
    FireViewChange();
}

HBRUSH ControlBase::BackgroundBrush() {
    if (!backgroundBrush_ || brushColour_ != stock_.backColor) {
        backgroundBrush_.Reset(CreateSolidBrush(ColourOf(stock_.backColor)));
        brushColour_ = stock_.backColor;
    }
    return backgroundBrush_ ? backgroundBrush_.Get()
                            : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}

HBRUSH ControlBase::OnChildColor(HWND, HDC dc, UINT message) {
    SetTextColor(dc, ColourOf(stock_.foreColor));
    SetBkColor(dc, ColourOf(stock_.backColor));
    if (message == WM_CTLCOLOREDIT) SetBkMode(dc, OPAQUE);
    return BackgroundBrush();
}

bool ControlBase::SetStockCursor() {
    if (!UserMode()) return false;
    HCURSOR cursor = CursorForPointer(stock_.mousePointer, stock_.mouseIcon.Get());
    if (!cursor) return false;
    SetCursor(cursor);
    return true;
}

short ControlBase::FireKeyEvent(DISPID dispid, short keyCode, short shift) {
    EventArguments arguments;
    arguments.AddByRef(&keyCode).Add(shift);
    FireEvent(dispid, arguments);
    return keyCode;
}

short ControlBase::FireKeyPress(short character) {
    EventArguments arguments;
    arguments.AddByRef(&character);
    FireEvent(DISPID_KEYPRESS, arguments);
    return character;
}

// Buttons: 1 left, 2 right; for a button going up, the one released. Shift: 1 Shift, 2 Ctrl.
// X and Y are the message's 16-bit positions taken unsigned, in pixels.
void ControlBase::FireMouseEvent(UINT message, WPARAM wParam, LPARAM lParam) {
    short button = 0;
    if (wParam & MK_LBUTTON) button |= 1;
    if (wParam & MK_RBUTTON) button |= 2;
    if (message == WM_LBUTTONUP) button |= 1;
    if (message == WM_RBUTTONUP) button |= 2;
    short shift = 0;
    if (wParam & MK_SHIFT) shift |= 1;
    if (wParam & MK_CONTROL) shift |= 2;
    DISPID dispid = message == WM_MOUSEMOVE ? DISPID_MOUSEMOVE
                    : message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN ? DISPID_MOUSEDOWN
                                                                           : DISPID_MOUSEUP;
    EventArguments arguments;
    arguments.Add(button)
        .Add(shift)
        .Add(static_cast<float>(LOWORD(lParam)))
        .Add(static_cast<float>(HIWORD(lParam)));
    FireEvent(dispid, arguments);
}

}  // namespace zelmor::com
