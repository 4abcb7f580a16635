// Text in the system's ANSI code page. Inside the system text is bytes in this code page (932 on
// a Japanese system); conversions to and from UTF-16 happen at the component boundary, and the
// message texts, kept as UTF-8, are converted once at start-up. Natively the code page is always
// 932, so the same tests run on both platforms.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zelmor::platform {

// The ANSI code page in use (GetACP on Windows, 932 natively).
unsigned AnsiCodePage();

// True when `byte` starts a double-byte character in the ANSI code page.
bool IsLeadByte(unsigned char byte);

// Conversions. Characters that do not exist in the target are replaced by the platform's default
// character ('?'); invalid input never stops a conversion.
std::u16string AnsiToUtf16(std::string_view ansi);
std::string Utf16ToAnsi(std::u16string_view utf16);
std::string Utf8ToAnsi(std::string_view utf8);
std::string AnsiToUtf8(std::string_view ansi);
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// The largest length <= maxBytes at which `text` can be cut without splitting a double-byte
// character.
std::size_t CharBoundaryAtOrBefore(std::string_view text, std::size_t maxBytes);

// Cuts `text` to at most maxBytes bytes at a character boundary.
void CutToBytes(std::string& text, std::size_t maxBytes);

}  // namespace zelmor::platform
