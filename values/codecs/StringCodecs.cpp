// String (blank-padded), Note and LVar (zero-padded), ZString (zero-terminated) and LString
// (length byte first). Text that is too long is cut at a character boundary, so a stored value
// never ends in half a double-byte character.
#include <algorithm>
#include <cstring>

#include "platform/CodePage.h"
#include "values/FieldDef.h"
#include "values/GlobalOptions.h"
#include "values/codecs/CodecFamilies.h"

namespace zelmor::codecs {

namespace {

// The bytes before the first zero byte, or all of them.
std::string UpToZero(const std::uint8_t* data, std::size_t size) {
    const void* zero = std::memchr(data, 0, size);
    std::size_t length =
        zero ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - data) : size;
    return std::string(reinterpret_cast<const char*>(data), length);
}

// The longest start of `text` that fits in `room` bytes without splitting a character.
std::string_view FittingPart(std::string_view text, std::size_t room) {
    return text.substr(0, platform::CharBoundaryAtOrBefore(text, room));
}

void CopyText(ValueSpan value, std::size_t at, std::string_view text) {
    std::copy(text.begin(), text.end(), value.data + at);
}

}  // namespace

std::string StringToText(const FieldDef& field, ValueView value) {
    const std::int32_t type = field.dataType;
    if (type == kLString) {
        std::size_t length = std::min<std::size_t>(value[0], value.size - 1);
        return std::string(reinterpret_cast<const char*>(value.data + 1), length);
    }
    std::string text = UpToZero(value.data, value.size);
    // A String that fills its field has no terminator; its padding blanks are not text.
    if (type == kString && text.size() == value.size) {
        text.erase(text.find_last_not_of(' ') + 1);
    }
    return text;
}

void TextToString(const FieldDef& field, ValueSpan value, std::string_view text) {
    const std::int32_t type = field.dataType;
    switch (type) {
        case kString: {
            std::string_view part = FittingPart(text, value.size);
            CopyText(value, 0, part);
            if (part.size() == value.size) return;  // fills the field: no terminator
            if (Options().BlankFill()) {
                std::fill(value.data + part.size(), value.data + value.size, ' ');
            } else {
                value[part.size()] = 0;  // the bytes after the terminator keep their content
            }
            return;
        }
        case kNote:
        case kLVar:
        case kZString: {
            // A ZString keeps its last byte for the terminator.
            std::size_t room = type == kZString ? value.size - 1 : value.size;
            std::fill(value.data, value.data + value.size, 0);
            CopyText(value, 0, FittingPart(text, room));
            return;
        }
        case kLString: {
            // The length byte counts at most 255, whatever the field's size.
            std::size_t room = std::min<std::size_t>(value.size - 1, 255);
            std::string_view part = FittingPart(text, room);
            std::fill(value.data, value.data + value.size, 0);
            value[0] = static_cast<std::uint8_t>(part.size());
            CopyText(value, 1, part);
            return;
        }
        default:
            return;
    }
}

}  // namespace zelmor::codecs
