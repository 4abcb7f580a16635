// A property bag in memory, as a container keeps one: values by name in the order written.
// Reading converts to the type the reader asks for, as containers' bags do.
#pragma once

#include <ocidl.h>

#include <string>
#include <utility>
#include <vector>

#include "com/ObjectRoot.h"
#include "com/Variant.h"

namespace zelmor::com::testing {

class TestPropertyBag : public ObjectRoot, public IPropertyBag {
  public:
    std::vector<std::pair<std::wstring, Variant>> values;

    std::vector<std::wstring> Names() const;
    // The value written under name, or null.
    const VARIANT* Find(const std::wstring& name) const;
    void Remove(const std::wstring& name);

    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
    STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override;

  protected:
    void* FindInterface(REFIID iid) override;
};

// An error log that keeps the names of the properties it was told about.
class TestErrorLog : public ObjectRoot, public IErrorLog {
  public:
    std::vector<std::wstring> names;
    std::vector<HRESULT> errors;

    STDMETHODIMP AddError(LPCOLESTR name, EXCEPINFO* info) override;

  protected:
    void* FindInterface(REFIID iid) override;
};

}  // namespace zelmor::com::testing
