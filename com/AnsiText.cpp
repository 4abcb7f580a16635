#include "com/AnsiText.h"

#include "com/Variant.h"
#include "platform/CodePage.h"

namespace zelmor::com {

std::string AnsiOf(BSTR text) {
    return platform::Utf16ToAnsi(
        std::u16string(reinterpret_cast<const char16_t*>(text), text ? SysStringLen(text) : 0));
}

std::string AnsiOf(const std::wstring& text) {
    return platform::Utf16ToAnsi(std::u16string(text.begin(), text.end()));
}

std::wstring WideOf(const std::string& ansi) {
    std::u16string wide = platform::AnsiToUtf16(ansi);
    return std::wstring(wide.begin(), wide.end());
}

HRESULT AnsiToOut(const std::string& ansi, BSTR* out) { return CopyToOut(WideOf(ansi), out); }

}  // namespace zelmor::com
