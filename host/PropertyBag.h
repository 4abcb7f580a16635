// The property bag a form hands a control when it loads it: the control's properties from the
// form file, by name, converted on reading to the type the control asks for. It remembers
// which names the control read, so that the form can set the others through the control's
// dispatch interface (properties a control does not persist), and it is the error log in which
// the control reports the values it refused.
#pragma once

#include <ocidl.h>

#include <string>
#include <utility>
#include <vector>

#include "com/ObjectRoot.h"
#include "com/Variant.h"

namespace zelmor::host {

struct NamedValue {
    std::wstring name;
    com::Variant value;
};

class PropertyBag : public com::ObjectRoot, public IPropertyBag, public IErrorLog {
  public:
    explicit PropertyBag(std::vector<NamedValue> values) : values_(std::move(values)) {}

    // The value under name (names compare without regard to case), or null.
    const VARIANT* Find(const std::wstring& name) const;
    // The values no Read asked for, in the order they were given.
    std::vector<const NamedValue*> Unread() const;
    const std::vector<NamedValue>& Values() const { return values_; }
    // What the control reported while it loaded: "Name: reason".
    const std::vector<std::wstring>& Errors() const { return errors_; }

    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
    STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override;
    STDMETHODIMP AddError(LPCOLESTR name, EXCEPINFO* info) override;

  protected:
    void* FindInterface(REFIID iid) override;

  private:
    NamedValue* Entry(const wchar_t* name);

    std::vector<NamedValue> values_;
    std::vector<std::wstring> read_;
    std::vector<std::wstring> errors_;
};

}  // namespace zelmor::host
