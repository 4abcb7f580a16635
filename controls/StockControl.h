// The stock properties as members of a control's dual interface, written once for every control
// class: a control derives from StockControl<ItsInterface>, and each member its interface
// declares is answered here (members the interface lacks are simply never called). The state
// and what it does to the windows live in the control base (com/ControlBase.h).
#pragma once

#ifdef _WIN32

#include <olectl.h>

#include "com/Control.h"
#include "com/Variant.h"
#include "module/zelmor.h"

namespace zelmor {

template <typename DualInterface>
class StockControl : public com::Control<DualInterface> {
  public:
    // BackColor, ForeColor: a colour the platform cannot translate is refused.
    STDMETHODIMP get_BackColor(OLE_COLOR* value) { return Out(value, this->Stock().backColor); }
    STDMETHODIMP put_BackColor(OLE_COLOR value) {
        return PutColour(DISPID_BACKCOLOR, this->Stock().backColor, value);
    }
    STDMETHODIMP get_ForeColor(OLE_COLOR* value) { return Out(value, this->Stock().foreColor); }
    STDMETHODIMP put_ForeColor(OLE_COLOR value) {
        return PutColour(DISPID_FORECOLOR, this->Stock().foreColor, value);
    }

    // Font: assigned by value a copy is kept, by reference the object itself.
    STDMETHODIMP get_Font(IFontDisp** value) {
        if (!value) return E_POINTER;
        *value = nullptr;
        IFont* font = this->StockFont();
        return font ? font->QueryInterface(IID_IFontDisp, reinterpret_cast<void**>(value)) : S_OK;
    }
    STDMETHODIMP put_Font(IFontDisp* value) { return PutFont(value, true); }
    STDMETHODIMP putref_Font(IFontDisp* value) { return PutFont(value, false); }

    // Enabled: stored and applied to the hosted windows without asking the container.
    STDMETHODIMP get_Enabled(VARIANT_BOOL* value) { return OutBool(value, this->Stock().enabled); }
    STDMETHODIMP put_Enabled(VARIANT_BOOL value) {
        this->Stock().enabled = value != VARIANT_FALSE;
        this->SetDirty(true);
        this->ApplyEnabled();
        return S_OK;
    }

    STDMETHODIMP get_Window(long* value) {
        return Out(value, static_cast<long>(reinterpret_cast<LONG_PTR>(this->Window())));
    }

    STDMETHODIMP get_TabStop(VARIANT_BOOL* value) { return OutBool(value, this->Stock().tabStop); }
    STDMETHODIMP put_TabStop(VARIANT_BOOL value) {
        return this->SetProperty(DISPID_TABSTOP, this->Stock().tabStop, value != VARIANT_FALSE);
    }

    // Text and Caption: the main hosted window's text while there is one.
    STDMETHODIMP get_Text(BSTR* value) { return GetWindowString(value); }
    STDMETHODIMP put_Text(BSTR value) { return PutWindowString(DISPID_TEXT, value); }
    STDMETHODIMP get_Caption(BSTR* value) { return GetWindowString(value); }
    STDMETHODIMP put_Caption(BSTR value) { return PutWindowString(DISPID_CAPTION, value); }

    STDMETHODIMP get_BorderStyle(_enumBorderStyle* value) {
        return Out(value, static_cast<_enumBorderStyle>(this->Stock().borderStyle));
    }
    STDMETHODIMP put_BorderStyle(_enumBorderStyle value) {
        if (value != BorderNone && value != BorderSingleLine) return CTL_E_INVALIDPROPERTYVALUE;
        return this->SetProperty(DISPID_BORDERSTYLE, this->Stock().borderStyle,
                                 static_cast<long>(value));
    }

    STDMETHODIMP get_Appearance(short* value) { return Out(value, this->Stock().appearance); }
    STDMETHODIMP put_Appearance(short value) {
        if (value != 0 && value != 1) return CTL_E_INVALIDPROPERTYVALUE;
        return this->SetProperty(DISPID_APPEARANCE, this->Stock().appearance, value);
    }

    // Any pointer value is taken; those the table does not list leave the default cursor.
    STDMETHODIMP get_MousePointer(_enumMousePointer* value) {
        return Out(value, static_cast<_enumMousePointer>(this->Stock().mousePointer));
    }
    STDMETHODIMP put_MousePointer(_enumMousePointer value) {
        return this->SetProperty(DISPID_MOUSEPOINTER, this->Stock().mousePointer,
                                 static_cast<long>(value));
    }

    STDMETHODIMP get_MouseIcon(IPictureDisp** value) {
        return GetPicture(this->Stock().mouseIcon, value);
    }
    STDMETHODIMP put_MouseIcon(IPictureDisp* value) {
        return PutPicture(DISPID_MOUSEICON, this->Stock().mouseIcon, value);
    }
    STDMETHODIMP putref_MouseIcon(IPictureDisp* value) { return put_MouseIcon(value); }
    STDMETHODIMP get_Picture(IPictureDisp** value) {
        return GetPicture(this->Stock().picture, value);
    }
    STDMETHODIMP put_Picture(IPictureDisp* value) {
        return PutPicture(DISPID_PICTURE, this->Stock().picture, value);
    }
    STDMETHODIMP putref_Picture(IPictureDisp* value) { return put_Picture(value); }

  protected:
    explicit StockControl(const com::ControlClass& controlClass)
        : com::Control<DualInterface>(controlClass) {}

    template <typename T, typename U>
    static HRESULT Out(T* out, const U& value) {
        if (!out) return E_POINTER;
        *out = static_cast<T>(value);
        return S_OK;
    }
    static HRESULT OutBool(VARIANT_BOOL* out, bool value) {
        return Out(out, value ? VARIANT_TRUE : VARIANT_FALSE);
    }

  private:
    HRESULT PutColour(DISPID dispid, OLE_COLOR& field, OLE_COLOR value) {
        COLORREF resolved = 0;
        if (FAILED(OleTranslateColor(value, nullptr, &resolved))) {
            return CTL_E_INVALIDPROPERTYVALUE;
        }
        HRESULT hr = this->SetProperty(dispid, field, value);
        if (hr == S_OK) this->ApplyColours();
        return hr;
    }

    HRESULT PutFont(IFontDisp* value, bool copy) {
        if (!value) return CTL_E_INVALIDPROPERTYVALUE;
        com::ComPtr<IFont> font = com::ComPtr<IFontDisp>(value).As<IFont>();
        if (!font) return CTL_E_INVALIDPROPERTYVALUE;
        if (copy) {
            com::ComPtr<IFont> clone;
            if (FAILED(font->Clone(clone.Put()))) return CTL_E_OUTOFMEMORY;
            font = clone;
        }
        if (!this->RequestEdit(DISPID_FONT)) return S_FALSE;
        this->SetStockFont(font);
        this->PropertyChanged(DISPID_FONT);
        return S_OK;
    }

    HRESULT GetWindowString(BSTR* value) {
        if (HWND child = this->HostedChild()) this->Stock().text = this->TextOfWindow(child);
        return com::CopyToOut(this->Stock().text, value);
    }

    HRESULT PutWindowString(DISPID dispid, BSTR value) {
        HRESULT hr = this->SetStringProperty(dispid, this->Stock().text, value);
        if (hr == S_OK && this->HostedChild()) {
            SetWindowTextW(this->HostedChild(), this->Stock().text.c_str());
        }
        return hr;
    }

    static HRESULT GetPicture(const com::ComPtr<IPictureDisp>& picture, IPictureDisp** value) {
        return picture.CopyTo(value);
    }

    HRESULT PutPicture(DISPID dispid, com::ComPtr<IPictureDisp>& field, IPictureDisp* value) {
        return this->SetProperty(dispid, field, com::ComPtr<IPictureDisp>(value));
    }
};

}  // namespace zelmor

#endif
