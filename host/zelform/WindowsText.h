// Between the files' UTF-8 and the Windows side: wide text for the platform, text in the ANSI
// code page for the console, and variants of file values.
#pragma once

#include <string>

#include "com/Variant.h"
#include "host/zelform/FileValue.h"

namespace zelmor::host {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
// For the console, which shows the ANSI code page.
std::string ConsoleText(const std::wstring& wide);
std::string ConsoleText(const std::string& utf8);

// A boolean as VT_BOOL, a whole number as VT_I4 (VT_R8 beyond its range), a number as VT_R8,
// text as VT_BSTR, a picture loaded from its file and a font made as objects (VT_DISPATCH; empty
// when they cannot be made).
com::Variant VariantOf(const FileValue& value);

}  // namespace zelmor::host
