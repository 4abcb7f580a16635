// Text between automation strings (UTF-16) and the system's ANSI code page, in which the rest of
// the system keeps its text: converted once, at the component boundary.
#pragma once

#include <oaidl.h>

#include <string>

namespace zelmor::com {

// The ANSI text of an automation string; a null string is the empty text.
std::string AnsiOf(BSTR text);
std::string AnsiOf(const std::wstring& text);
// The automation text of ANSI text.
std::wstring WideOf(const std::string& ansi);
// A new automation string for an out-parameter: E_POINTER for a null pointer, E_OUTOFMEMORY
// when it cannot be made.
HRESULT AnsiToOut(const std::string& ansi, BSTR* out);

}  // namespace zelmor::com
