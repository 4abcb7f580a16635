// Calling a control as a form host does: members by name through its dispatch interface
// (GetIDsOfNames, then Invoke with variant arguments). Methods are called with the help of the
// control's type description: an out-parameter is passed as a reference of its own type (a
// short* as VT_I2 | VT_BYREF), which is what typed hosts pass and what the platform's DispInvoke
// accepts everywhere.
#pragma once

#include <oaidl.h>

#include <string>
#include <vector>

#include "com/Variant.h"

namespace zelmor::host {

// Values for arguments and properties.
com::Variant TextValue(const std::wstring& text);
com::Variant LongValue(long value);
com::Variant DoubleValue(double value);
com::Variant BoolValue(bool value);

// A value as the host language shows it as text ("True" and "False" for booleans); a picture
// object as its kind and size in pixels ("bitmap 48x48", "none 0x0"); empty for a value that has
// no text (another object, or none).
std::wstring TextOfValue(const VARIANT& value);

// A failure as a person reads it: "0x800A017C (control error 380)", or the system's text.
std::wstring HresultText(HRESULT hr);

HRESULT MemberId(IDispatch* object, const std::wstring& name, DISPID* dispid);

// Reads or sets a property by name. A failure is the property's own error (380 invalid
// property value as 0x800A017C, ...), not the dispatch layer's exception that carries it.
// With `index`, one element of an indexed property (List(3)).
HRESULT GetProperty(IDispatch* object, const std::wstring& name, VARIANT* value,
                    const VARIANT* index = nullptr);
HRESULT PutProperty(IDispatch* object, const std::wstring& name, const VARIANT& value,
                    const VARIANT* index = nullptr);

struct CallResult {
    com::Variant returned;  // the method's result; empty when it has none
    // Every argument after the call, in declaration order: an out-parameter holds what the
    // method wrote.
    std::vector<com::Variant> arguments;

    // What a script takes as the call's outcome: the result, or else the last out-parameter
    // (the methods report their result code in a trailing out-parameter).
    const VARIANT& Outcome() const;

  private:
    friend HRESULT CallMethod(IDispatch*, const std::wstring&, const std::vector<com::Variant>&,
                              CallResult*);
    int lastOutput_ = -1;
};

// Calls method name with arguments in declaration order. Out-parameters the caller leaves out
// at the end are supplied, empty, of their own type; an argument given for an out-parameter is
// its value on the way in.
HRESULT CallMethod(IDispatch* object, const std::wstring& name,
                   const std::vector<com::Variant>& arguments, CallResult* result);

}  // namespace zelmor::host
