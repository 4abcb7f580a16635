// The form as the host's object model shows it to controls: the form object (Name, hWnd,
// Caption) and the container every site returns from GetContainer, whose dispatch interface
// has a Parent property that gives the form object. The container also enumerates the
// form's controls.
#pragma once

#include <oleidl.h>

#include <string>
#include <vector>

#include "com/ComPtr.h"
#include "com/ObjectRoot.h"
#include "host/NamedDispatch.h"

namespace zelmor::host {

// Dispatch identifiers of the form object's and the container's members.
enum FormMemberId : DISPID {
    kFormName = 1,
    kFormWindow = 2,
    kFormCaption = 3,
    kContainerParent = 1,
};

class FormObject : public com::ObjectRoot, public NamedDispatch {
  public:
    FormObject(std::wstring name, HWND window);

  protected:
    void* FindInterface(REFIID iid) override;
    HRESULT ReadMember(DISPID dispid, VARIANT* value) override;

  private:
    std::wstring name_;
    HWND window_;
};

class FormContainer : public com::ObjectRoot, public IOleContainer, public NamedDispatch {
  public:
    explicit FormContainer(com::ComPtr<IDispatch> form);

    // The controls EnumObjects lists, in the order they were added.
    void AddObject(IUnknown* object);
    void RemoveObject(IUnknown* object);

    // IParseDisplayName, IOleContainer
    STDMETHODIMP ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker** out) override;
    STDMETHODIMP EnumObjects(DWORD flags, IEnumUnknown** out) override;
    STDMETHODIMP LockContainer(BOOL) override { return S_OK; }

  protected:
    void* FindInterface(REFIID iid) override;
    HRESULT ReadMember(DISPID dispid, VARIANT* value) override;

  private:
    com::ComPtr<IDispatch> form_;
    std::vector<com::ComPtr<IUnknown>> objects_;
};

}  // namespace zelmor::host
