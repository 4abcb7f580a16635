// Integer, UBin and AutoInc (little-endian binary integers), Logical and Bit (one byte).
#include <algorithm>

#include "values/FieldCodecs.h"
#include "values/codecs/CodecFamilies.h"
#include "values/codecs/NumericText.h"

namespace zelmor::codecs {

namespace {

// Bytes written for a value: 4, 1 and 8 where the type has that width, else 2.
std::size_t WrittenWidth(std::int32_t type, std::size_t size) {
    if (size == 4) return 4;
    if (type == kAutoInc) return 2;
    if (size == 1 || size == 8) return size;
    return 2;
}

}  // namespace

std::string IntegerToText(const FieldDef& field, ValueView value) {
    std::uint64_t bits = ReadLittleEndian(value.data, std::min<std::size_t>(value.size, 8));
    switch (field.dataType) {
        case kInteger:
            if (value.size == 4) return std::to_string(static_cast<std::int32_t>(bits));
            if (value.size == 2) return std::to_string(static_cast<std::int16_t>(bits));
            if (value.size == 8) return std::to_string(static_cast<std::int64_t>(bits));
            return std::to_string(value[0]);
        case kUBin:
            if (value.size == 4) return std::to_string(static_cast<std::uint32_t>(bits));
            if (value.size == 1) return std::to_string(value[0]);
            if (value.size == 8) return std::to_string(static_cast<std::int64_t>(bits));
            return std::to_string(static_cast<std::uint16_t>(bits));
        case kAutoInc:
            if (value.size == 4) return std::to_string(static_cast<std::uint32_t>(bits));
            // Two bytes, widened with their sign and shown as an unsigned 32-bit number.
            return std::to_string(static_cast<std::uint32_t>(
                static_cast<std::int32_t>(static_cast<std::int16_t>(bits))));
        default:
            return std::string();
    }
}

void TextToInteger(const FieldDef& field, ValueSpan value, std::string_view text) {
    // A number outside the field's width keeps its low bytes (two's complement), so the signed
    // and the unsigned reading of a width both round-trip.
    std::int64_t number = ParseInteger(FilterNumericText(text));
    WriteLittleEndian(value.data, WrittenWidth(field.dataType, value.size),
                      static_cast<std::uint64_t>(number));
}

std::string LogicalToText(const FieldDef& field, ValueView value) {
    char c = static_cast<char>(field.dataType == kLogical ? value[0] + '0' : value[0]);
    return std::string(1, c);
}

void TextToLogical(const FieldDef& field, ValueSpan value, std::string_view text) {
    // An empty text stores 0 (false) rather than the terminator minus "0".
    if (text.empty()) {
        value[0] = 0;
        return;
    }
    value[0] = static_cast<std::uint8_t>(field.dataType == kLogical ? text[0] - '0' : text[0]);
}

}  // namespace zelmor::codecs
