#include "host/InPlaceFrame.h"

namespace zelmor::host {

void* InPlaceFrame::FindInterface(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IOleWindow || iid == IID_IOleInPlaceUIWindow ||
        iid == IID_IOleInPlaceFrame) {
        return static_cast<IOleInPlaceFrame*>(this);
    }
    return nullptr;
}

STDMETHODIMP InPlaceFrame::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = window_;
    return S_OK;
}

STDMETHODIMP InPlaceFrame::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
    active_ = com::ComPtr<IOleInPlaceActiveObject>(object);
    return S_OK;
}

}  // namespace zelmor::host
