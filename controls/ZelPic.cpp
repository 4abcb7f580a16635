#include "controls/ZelPic.h"
#include "controls/BrowsingTables.h"

#include "com/AnsiText.h"
#include "com/Gdi.h"
#include "com/Guarded.h"
#include "messages/Messages.h"
#include "module/PageClassIds.h"

namespace zelmor {

namespace {

// The persisted properties after the extent, in their order.
const com::PropertyMapEntry kProperties[] = {
    {L"DbSource", DISPID_DBSOURCE},         {L"DbTable", DISPID_DBTABLE},
    {L"DbField", DISPID_DBFIELD},           {L"Stretch", DISPID_PIC_STRETCH},
    {L"BlobPath", DISPID_PIC_BLOBPATH},     {L"Appearance", DISPID_APPEARANCE},
    {L"BackColor", DISPID_BACKCOLOR},       {L"BorderStyle", DISPID_BORDERSTYLE},
    {L"Enabled", DISPID_ENABLED},           {L"ForeColor", DISPID_FORECOLOR},
    {L"Font", DISPID_FONT},                 {L"MouseIcon", DISPID_MOUSEICON},
    {L"MousePointer", DISPID_MOUSEPOINTER}, {L"Picture", DISPID_PICTURE},
};

const CLSID* const kPages[] = {&CLSID_ZelPicPpg, &CLSID_CFontPropPage, &CLSID_CColorPropPage,
                               &CLSID_CPicturePropPage};

const com::ControlClass kPictureClass = {
    &CLSID_ZelPic,
    &DIID__DZelPicEvents,
    com::kControlMiscStatus,
    SIZEL{2540, 2540},  // 96 x 96 pixels
    com::MakePropertyMap(kProperties),
    kPages,
    sizeof kPages / sizeof kPages[0],
    com::kKeyEvents | com::kMouseEvents,
    &kPictureBrowsing,
};

constexpr int kHimetricPerInch = 2540;

}  // namespace

ZelPic::ZelPic() : BoundControlObject(kPictureClass), logic_(Site(), zelmor::Registry(), *this) {
    Stock().backColor = com::kSystemButtonFace;
    Stock().foreColor = com::kSystemButtonText;
}

// --- Drawing ---

void ZelPic::OnDraw(HDC dc, const RECT& bounds) {
    RECT area = bounds;
    com::Brush background(CreateSolidBrush(com::ColourOf(Stock().backColor)));
    FillRect(dc, &area, background.Get());
    if (Stock().borderStyle == 1) {
        FrameRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    if (Stock().appearance != 0) {
        DrawEdge(dc, &area, EDGE_SUNKEN, BF_RECT);
        InflateRect(&area, -2, -2);
    }
    RenderPicture(dc, area);
}

// Stretched into the whole area, or at the picture's own size at its top-left corner; never
// outside the area.
void ZelPic::RenderPicture(HDC dc, const RECT& area) {
    auto picture = Stock().picture.As<IPicture>();
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    if (!picture || FAILED(picture->get_Width(&width)) || FAILED(picture->get_Height(&height)) ||
        area.right <= area.left || area.bottom <= area.top) {
        return;
    }
    int cx = area.right - area.left;
    int cy = area.bottom - area.top;
    if (!stretch_) {
        cx = MulDiv(width, GetDeviceCaps(dc, LOGPIXELSX), kHimetricPerInch);
        cy = MulDiv(height, GetDeviceCaps(dc, LOGPIXELSY), kHimetricPerInch);
    }
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    if (palette_) {
        SelectPalette(dc, palette_.Get(), TRUE);
        RealizePalette(dc);
    }
    picture->Render(dc, area.left, area.top, cx, cy, 0, height, width, -height, &area);
    RestoreDC(dc, saved);
}

// The picture's own window takes the mouse: the stock mouse events, then Click and DblClick.
bool ZelPic::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            if (Site().UserMode()) FireMouseEvent(message, wParam, lParam);
            result = 0;
            return true;
        case WM_LBUTTONUP:
            if (Site().UserMode()) {
                FireMouseEvent(message, wParam, lParam);
                FireEvent(DISPID_CLICK);
            }
            result = 0;
            return true;
        case WM_LBUTTONDBLCLK:
            if (Site().UserMode()) FireEvent(DISPID_DBLCLICK);
            result = 0;
            return true;
        default:
            return BoundControlObject::OnMessage(message, wParam, lParam, result);
    }
}

// --- PictureView ---

void ZelPic::LoadPicture(ImageKind kind, const std::string& path) {
    // A metafile takes the box's size, less its frame.
    RECT client{};
    if (Window()) GetClientRect(Window(), &client);
    const SIZE extent{std::max<LONG>(client.right - 2, 1), std::max<LONG>(client.bottom - 2, 1)};
    LoadedPicture loaded;
    const int message = LoadPictureFile(kind, path, extent, loaded);
    if (message == VE001) {
        ShowMessage(VE001, "ZelPic", __LINE__);
    } else if (message != 0) {
        ShowMessage(message);  // the picture shown stays
    } else if (loaded.picture) {
        ShowPicture(std::move(loaded));
    }
}

void ZelPic::ClearPicture() {
    if (Stock().picture) ShowPicture(LoadedPicture());
}

void ZelPic::ShowPicture(LoadedPicture loaded) {
    // The old picture goes before the palette its bitmap was made with.
    Stock().picture = std::move(loaded.picture);
    palette_ = std::move(loaded.palette);
    FireViewChange();
    FireEvent(DISPID_PIC_EVENT_CHANGE);
}

// --- Properties ---

STDMETHODIMP ZelPic::get_PictureType(short* value) {
    return Out(value, pictureType_);
}
STDMETHODIMP ZelPic::put_PictureType(short value) {
    return SetProperty(DISPID_PIC_PICTURETYPE, pictureType_, value);
}

STDMETHODIMP ZelPic::get_Stretch(VARIANT_BOOL* value) {
    return OutBool(value, stretch_);
}
STDMETHODIMP ZelPic::put_Stretch(VARIANT_BOOL value) {
    return SetProperty(DISPID_PIC_STRETCH, stretch_, value != VARIANT_FALSE);
}

STDMETHODIMP ZelPic::get_BlobPath(BSTR* value) {
    return com::Guarded([&] { return com::AnsiToOut(logic_.blobPath, value); });
}
STDMETHODIMP ZelPic::put_BlobPath(BSTR value) {
    return com::Guarded(
        [&] { return SetProperty(DISPID_PIC_BLOBPATH, logic_.blobPath, com::AnsiOf(value)); });
}

HRESULT CreateZelPic(REFIID iid, void** out) {
    return com::CreateInstance<ZelPic>(iid, out);
}

}  // namespace zelmor
