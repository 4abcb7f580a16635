// WString and WZString: UTF-16 little-endian text, converted to and from the ANSI code page.
#include "platform/CodePage.h"
#include "values/FieldDef.h"
#include "values/codecs/CodecFamilies.h"

namespace zelmor::codecs {

std::string WideToText(const FieldDef&, ValueView value) {
    std::u16string units;
    for (std::size_t i = 0; i + 1 < value.size; i += 2) {
        auto unit = static_cast<char16_t>(ReadLittleEndian(value.data + i, 2));
        if (unit == 0) break;
        units += unit;
    }
    return platform::Utf16ToAnsi(units);
}

void TextToWide(const FieldDef& field, ValueSpan value, std::string_view text) {
    const std::size_t capacity = value.size / 2;
    if (capacity == 0) return;
    std::u16string units = platform::AnsiToUtf16(text);
    // A text that does not fit is cut (the ANSI code page has no characters outside the basic
    // plane, so a unit is a character). A WZString keeps room for its terminator; a WString may
    // fill its field, and reading stops at the field's end.
    std::size_t room = field.dataType == kWZString ? capacity - 1 : capacity;
    if (units.size() > room) units.resize(room);
    for (std::size_t i = 0; i < units.size(); ++i) {
        WriteLittleEndian(value.data + 2 * i, 2, units[i]);
    }
    if (units.size() < capacity) WriteLittleEndian(value.data + 2 * units.size(), 2, 0);
}

}  // namespace zelmor::codecs
