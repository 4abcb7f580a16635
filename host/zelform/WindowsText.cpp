#include "host/zelform/WindowsText.h"

#include <climits>

#include "host/Automation.h"
#include "platform/CodePage.h"

namespace zelmor::host {

std::wstring Wide(const std::string& utf8) {
    std::u16string text = platform::Utf8ToUtf16(utf8);
    return std::wstring(text.begin(), text.end());
}

std::string Utf8(const std::wstring& wide) {
    return platform::Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

std::string ConsoleText(const std::wstring& wide) {
    return platform::Utf16ToAnsi(std::u16string(wide.begin(), wide.end()));
}

std::string ConsoleText(const std::string& utf8) {
    return platform::Utf8ToAnsi(utf8);
}

com::Variant VariantOf(const FileValue& value) {
    if (const bool* flag = std::get_if<bool>(&value)) return BoolValue(*flag);
    if (const long long* number = std::get_if<long long>(&value)) {
        if (*number >= LONG_MIN && *number <= LONG_MAX)
            return LongValue(static_cast<long>(*number));
        return DoubleValue(static_cast<double>(*number));
    }
    if (const double* number = std::get_if<double>(&value)) return DoubleValue(*number);
    return TextValue(Wide(std::get<std::string>(value)));
}

}  // namespace zelmor::host
