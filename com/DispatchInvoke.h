// Calls a method of a dual interface through its type description (the platform's
// DispInvoke), accepting by-reference variants for typed out-parameters.
//
// Script engines pass a variable given for an out-parameter such as short* as a reference to a
// variant (VT_VARIANT | VT_BYREF). Wine's DispInvoke refuses that form with a type mismatch,
// where Windows converts it; so such arguments are turned into references of the parameter's
// own type that point into the caller's variant, which then holds the result.
#pragma once

#include <oaidl.h>

namespace zelmor::com {

// What a caller of Invoke reports: `hr`, or when the member failed (DISP_E_EXCEPTION), the
// member's own error from the exception, whose strings are freed.
HRESULT ErrorFromException(HRESULT hr, EXCEPINFO& exception);

HRESULT InvokeThroughTypeInfo(void* instance, ITypeInfo* info, DISPID dispid, WORD flags,
                              DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                              UINT* argumentError);

}  // namespace zelmor::com
