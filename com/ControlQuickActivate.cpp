// Quick activation: a container hands over, in one call, what it would otherwise give through
// SetClientSite, IViewObject::SetAdvise, two connection points and the ambient properties, and
// learns the control's misc and view status.
#include <cstddef>

#include "com/ControlBase.h"
#include "com/Guarded.h"

namespace zelmor::com {

namespace {

// The sizes hosts pass: the first version of the structures ended before the control site and
// service provider (container) and before the pointer activation policy (control).
constexpr ULONG kShortContainer = offsetof(QACONTAINER, pOleControlSite);
constexpr ULONG kShortControl = offsetof(QACONTROL, dwPointerActivationPolicy);

bool KnownContainerSize(ULONG size) {
    return size == sizeof(QACONTAINER) || size == kShortContainer;
}

bool KnownControlSize(ULONG size) {
    return size == sizeof(QACONTROL) || size == kShortControl;
}

}  // namespace

STDMETHODIMP ControlBase::QuickActivate(QACONTAINER* container, QACONTROL* control) {
    if (!container || !control) return E_POINTER;
    if (!KnownContainerSize(container->cbSize) || !KnownControlSize(control->cbSize)) {
        return E_INVALIDARG;
    }
    return Guarded([&] {
        // The ambient values come first: setting the site lets the control start up, and it
        // reads them then.
        quickUserModeKnown_ = true;
        quickUserMode_ = (container->dwAmbientFlags & QACONTAINER_USERMODE) != 0;
        if (container->pFont && !stock_.font) {
            ComPtr<IFont> copy;
            if (SUCCEEDED(container->pFont->Clone(copy.Put()))) SetStockFont(copy);
        }
        HRESULT hr = SetClientSite(container->pClientSite);
        if (FAILED(hr)) return hr;
        if (container->pAdviseSink) {
            SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
        }

        const ULONG size = control->cbSize;
        ZeroMemory(control, size);
        control->cbSize = size;
        // A sink that does not answer the interface stays unconnected (cookie 0), as it would
        // through the connection point; the activation itself goes on.
        if (container->pPropertyNotifySink) {
            propertyNotify_.Advise(container->pPropertyNotifySink, &control->dwPropNotifyCookie);
        }
        if (container->pUnkEventSink) {
            events_.Advise(container->pUnkEventSink, &control->dwEventCookie);
        }
        control->dwMiscStatus = class_.miscStatus;
        // The control paints all of its rectangle.
        control->dwViewStatus = VIEWSTATUS_OPAQUE;
        // The control has its own window and is activated when visible: an inactive control
        // is never asked to handle the pointer.
        if (size >= sizeof(QACONTROL)) control->dwPointerActivationPolicy = 0;
        return S_OK;
    });
}

STDMETHODIMP ControlBase::SetContentExtent(LPSIZEL size) {
    return SetExtent(DVASPECT_CONTENT, size);
}

STDMETHODIMP ControlBase::GetContentExtent(LPSIZEL size) {
    return GetExtent(DVASPECT_CONTENT, size);
}

}  // namespace zelmor::com
