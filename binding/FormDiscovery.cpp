#include "binding/FormDiscovery.h"

#include <oleauto.h>

#include "messages/Messages.h"
#include "platform/CodePage.h"

namespace zelmor {

namespace {

constexpr std::size_t kMaxFormName = 127;

// Window classes of the host's frame and tab controls: controls inside them belong to the form
// that holds them.
const char* const kSteppedOverClasses[] = {"ThunderFrame", "ThunderRT5Frame", "ThunderRTFrame",
                                           "SSTabCtlWndClass"};

HWND SiteWindow(IOleClientSite* site) {
    HWND window = nullptr;
    IOleInPlaceSite* inPlace = nullptr;
    if (SUCCEEDED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace)))) {
        inPlace->GetWindow(&window);
        inPlace->Release();
        if (window != nullptr) return window;
    }
    IOleWindow* oleWindow = nullptr;
    if (SUCCEEDED(site->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&oleWindow)))) {
        oleWindow->GetWindow(&window);
        oleWindow->Release();
    }
    return window;
}

// Reads property `name` of the container's Parent into `value`. 0, or -1 after its message.
int ReadParentProperty(IOleClientSite* site, const wchar_t* name, VARIANT& value) {
    IOleContainer* container = nullptr;
    if (FAILED(site->GetContainer(&container)) || container == nullptr) return 1;
    IDispatch* containerDispatch = nullptr;
    HRESULT hr = container->QueryInterface(IID_IDispatch,
                                           reinterpret_cast<void**>(&containerDispatch));
    container->Release();
    DISPID parentId = 0;
    LPOLESTR parentName = const_cast<LPOLESTR>(L"Parent");
    if (FAILED(hr) || FAILED(containerDispatch->GetIDsOfNames(IID_NULL, &parentName, 1, 0x400,
                                                              &parentId))) {
        if (containerDispatch != nullptr) containerDispatch->Release();
        ShowMessage(VE808);
        return -1;
    }
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VARIANT parent;
    VariantInit(&parent);
    hr = containerDispatch->Invoke(parentId, IID_NULL, 0x400, DISPATCH_PROPERTYGET, &none, &parent,
                                   nullptr, nullptr);
    containerDispatch->Release();
    if (FAILED(hr) || V_VT(&parent) != VT_DISPATCH || V_DISPATCH(&parent) == nullptr) {
        VariantClear(&parent);
        ShowMessage(VE809);
        return -1;
    }
    IDispatch* form = V_DISPATCH(&parent);
    DISPID propertyId = 0;
    LPOLESTR propertyName = const_cast<LPOLESTR>(name);
    if (FAILED(form->GetIDsOfNames(IID_NULL, &propertyName, 1, 0x400, &propertyId))) {
        VariantClear(&parent);
        ShowMessage(VE810);
        return -1;
    }
    hr = form->Invoke(propertyId, IID_NULL, 0x400, DISPATCH_PROPERTYGET, &none, &value, nullptr,
                      nullptr);
    VariantClear(&parent);
    if (FAILED(hr)) {
        ShowMessage(VE811);
        return -1;
    }
    return 0;
}

}  // namespace

WindowHandle FindFormWindow(IOleClientSite* site) {
    if (site == nullptr) return 0;
    HWND window = SiteWindow(site);
    if (window == nullptr) return 0;
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    for (const char* stepped : kSteppedOverClasses) {
        if (lstrcmpA(className, stepped) == 0) return reinterpret_cast<WindowHandle>(GetParent(window));
    }
    return reinterpret_cast<WindowHandle>(window);
}

int QueryFormName(IOleClientSite* site, std::string& formName) {
    formName.clear();
    if (site == nullptr) return -1;
    VARIANT value;
    VariantInit(&value);
    int status = ReadParentProperty(site, L"Name", value);
    if (status != 0) return status < 0 ? -1 : 0;  // no container: an empty name
    if (SUCCEEDED(VariantChangeType(&value, &value, 0, VT_BSTR))) {
        BSTR text = V_BSTR(&value);
        formName = platform::Utf16ToAnsi(
            std::u16string(reinterpret_cast<const char16_t*>(text), SysStringLen(text)));
        platform::CutToBytes(formName, kMaxFormName);
    }
    VariantClear(&value);
    return 0;
}

int QueryFormHandle(IOleClientSite* site, WindowHandle& formWindow) {
    if (site == nullptr) return -1;
    VARIANT value;
    VariantInit(&value);
    int status = ReadParentProperty(site, L"hWnd", value);
    if (status != 0) return status < 0 ? -1 : 0;
    if (SUCCEEDED(VariantChangeType(&value, &value, 0, VT_I4))) {
        formWindow = static_cast<WindowHandle>(static_cast<std::uint32_t>(V_I4(&value)));
    }
    VariantClear(&value);
    return 0;
}

}  // namespace zelmor
