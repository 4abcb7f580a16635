// IDispatch for the host's own small objects (the form, its container, a site's ambient
// properties): a fixed table of read-only members, found by name without regard to case as
// automation clients expect, and read through one virtual function.
#pragma once

#include <oaidl.h>

#include <cstddef>

namespace zelmor::host {

struct NamedMember {
    const wchar_t* name;
    DISPID dispid;
};

class NamedDispatch : public IDispatch {
  public:
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** out) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID dispid, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO*, UINT*) override;

  protected:
    template <size_t N>
    explicit NamedDispatch(const NamedMember (&members)[N]) : members_(members), count_(N) {}

    // The member's current value; DISP_E_MEMBERNOTFOUND for a member the object lacks.
    virtual HRESULT ReadMember(DISPID dispid, VARIANT* value) = 0;

  private:
    const NamedMember* members_;
    size_t count_;
};

}  // namespace zelmor::host
