// The ANSI code page of the process (GetACP), converted with the Win32 routines.
#include <windows.h>

#include "platform/CodePage.h"

namespace zelmor::platform {

namespace {

std::u16string ToUtf16(unsigned codePage, std::string_view text) {
    if (text.empty()) return {};
    int size = static_cast<int>(text.size());
    int needed = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::u16string result(static_cast<std::size_t>(needed > 0 ? needed : 0), u'\0');
    if (needed > 0) {
        MultiByteToWideChar(codePage, 0, text.data(), size,
                            reinterpret_cast<wchar_t*>(result.data()), needed);
    }
    return result;
}

std::string FromUtf16(unsigned codePage, std::u16string_view text) {
    if (text.empty()) return {};
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(text.data());
    int size = static_cast<int>(text.size());
    // No best-fit mapping: a character the code page lacks becomes '?', as it does natively.
    DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    int needed = WideCharToMultiByte(codePage, flags, wide, size, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(needed > 0 ? needed : 0), '\0');
    if (needed > 0) {
        WideCharToMultiByte(codePage, flags, wide, size, result.data(), needed, nullptr, nullptr);
    }
    return result;
}

}  // namespace

unsigned AnsiCodePage() { return GetACP(); }

bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

std::u16string AnsiToUtf16(std::string_view ansi) { return ToUtf16(CP_ACP, ansi); }
std::string Utf16ToAnsi(std::u16string_view utf16) { return FromUtf16(CP_ACP, utf16); }
std::u16string Utf8ToUtf16(std::string_view utf8) { return ToUtf16(CP_UTF8, utf8); }
std::string Utf16ToUtf8(std::u16string_view utf16) { return FromUtf16(CP_UTF8, utf16); }

}  // namespace zelmor::platform
