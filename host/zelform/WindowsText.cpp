#include "host/zelform/WindowsText.h"

#include <olectl.h>

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
    if (const PictureFile* picture = std::get_if<PictureFile>(&value)) {
        // A picture that cannot be loaded stays empty, which a control refuses as it would.
        com::Variant loaded;
        IDispatch* object = nullptr;
        std::wstring path = Wide(picture->path);
        if (SUCCEEDED(OleLoadPicturePath(const_cast<LPOLESTR>(path.c_str()), nullptr, 0, 0,
                                         IID_IDispatch, reinterpret_cast<void**>(&object)))) {
            V_VT(loaded.Get()) = VT_DISPATCH;
            V_DISPATCH(loaded.Get()) = object;
        }
        return loaded;
    }
    if (const FontSpec* font = std::get_if<FontSpec>(&value)) {
        // A font that cannot be made stays empty, which a control refuses as it would.
        com::Variant made;
        std::wstring name = Wide(font->name);
        FONTDESC description{};
        description.cbSizeofstruct = sizeof description;
        description.lpstrName = const_cast<LPOLESTR>(name.c_str());
        description.cySize.int64 = static_cast<LONGLONG>(font->size * 10000 + 0.5);
        description.sWeight = static_cast<SHORT>(font->bold ? FW_BOLD : FW_NORMAL);
        description.sCharset = static_cast<SHORT>(font->charset);
        description.fItalic = font->italic;
        description.fUnderline = font->underline;
        description.fStrikethrough = font->strikethrough;
        IDispatch* object = nullptr;
        if (SUCCEEDED(OleCreateFontIndirect(&description, IID_IFontDisp,
                                            reinterpret_cast<void**>(&object)))) {
            V_VT(made.Get()) = VT_DISPATCH;
            V_DISPATCH(made.Get()) = object;
        }
        return made;
    }
    return TextValue(Wide(std::get<std::string>(value)));
}

}  // namespace zelmor::host
