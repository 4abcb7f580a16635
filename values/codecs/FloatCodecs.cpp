// Float (IEEE double in 8 bytes, single in 4) and BFloat (binary float in 8 or 4 bytes). A field
// of any size other than 8 holds the 4-byte form in its first 4 bytes.
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "values/FieldCodecs.h"
#include "values/GlobalOptions.h"
#include "values/codecs/BinaryFloat.h"
#include "values/codecs/CodecFamilies.h"
#include "values/codecs/FloatDisplay.h"

namespace zelmor::codecs {

namespace {

template <typename Number, typename Bits>
Number FromBits(Bits bits) {
    Number value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

template <typename Bits, typename Number>
Bits ToBits(Number value) {
    Bits bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The leading decimal number of filtered text: optional "-", digits, optional "." and digits.
// No digits give 0. A number beyond the format's range gives its largest finite value with the
// sign; one below its smallest gives zero.
template <typename Number>
Number ReadDecimalNumber(std::string_view text) {
    std::size_t end = text.empty() || text[0] != '-' ? 0 : 1;
    const std::size_t integerStart = end;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    const std::size_t integerEnd = end;
    if (end < text.size() && text[end] == '.') {
        ++end;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    }
    Number value = 0;
    auto parsed = std::from_chars(text.data(), text.data() + end, value, std::chars_format::fixed);
    if (parsed.ec == std::errc::result_out_of_range) {
        bool negative = text[0] == '-';
        std::string_view integer = text.substr(integerStart, integerEnd - integerStart);
        bool large = integer.find_first_not_of('0') != std::string_view::npos;
        value = large ? std::numeric_limits<Number>::max() : Number(0);
        if (negative) value = -value;
    } else if (parsed.ec != std::errc()) {
        value = 0;
    }
    return value;
}

}  // namespace

std::string FloatToText(const FieldDef& field, ValueView value) {
    const bool binary = field.dataType == kBFloat;
    double number;
    if (value.size == 8) {
        std::uint64_t bits = ReadLittleEndian(value.data, 8);
        number = binary ? BinaryFloatToDouble(bits) : FromBits<double>(bits);
    } else {
        auto bits = static_cast<std::uint32_t>(ReadLittleEndian(value.data, 4));
        number = binary ? BinaryFloatToSingle(bits) : FromBits<float>(bits);
    }
    return FormatSignificant(number, Options().FloatSize());
}

void TextToFloat(const FieldDef& field, ValueSpan value, std::string_view text) {
    const bool binary = field.dataType == kBFloat;
    // Exponent letters do not survive the filter: "1e5" reads as 15.
    std::string filtered = FilterNumericText(text);
    if (value.size == 8) {
        double number = ReadDecimalNumber<double>(filtered);
        std::uint64_t bits = binary ? DoubleToBinaryFloat(number) : ToBits<std::uint64_t>(number);
        WriteLittleEndian(value.data, 8, bits);
        return;
    }
    // Every other size holds the 4-byte form, as reading takes it: a double would not fit a
    // field of 5 to 7 bytes, and in a longer one reading would see only half of it.
    float number = ReadDecimalNumber<float>(filtered);
    std::uint32_t bits = binary ? SingleToBinaryFloat(number) : ToBits<std::uint32_t>(number);
    WriteLittleEndian(value.data, 4, bits);
}

}  // namespace zelmor::codecs
