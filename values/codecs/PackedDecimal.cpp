// Decimal and Money: packed decimal. A field of n bytes holds 2n - 1 digit nibbles, from the
// high nibble of byte 0 to the high nibble of the last byte, then the sign in the last low nibble
// (0xD negative, anything else positive). The last `decimals` digits are the fraction.
#include "values/FieldCodecs.h"
#include "values/GlobalOptions.h"
#include "values/codecs/CodecFamilies.h"
#include "values/codecs/NumericText.h"

namespace zelmor::codecs {

namespace {

constexpr std::uint8_t kNegativeSign = 0x0D;

// Digit nibble `position` (0 = high nibble of byte 0).
unsigned DigitAt(const ValueView& value, std::size_t position) {
    std::uint8_t byte = value[position / 2];
    return position % 2 == 0 ? byte >> 4 : byte & 0x0F;
}

void SetDigitAt(ValueSpan value, std::size_t position, unsigned digit) {
    std::uint8_t& byte = value[position / 2];
    byte = position % 2 == 0 ? static_cast<std::uint8_t>((byte & 0x0F) | (digit << 4))
                             : static_cast<std::uint8_t>((byte & 0xF0) | digit);
}

}  // namespace

std::string PackedToText(const FieldDef& field, ValueView value) {
    const int decimals = field.decimals;
    const std::size_t digitCount = 2 * value.size - 1;
    const std::size_t firstFraction = digitCount - static_cast<std::size_t>(decimals);
    std::string digits;
    for (std::size_t position = 0; position < digitCount; ++position) {
        unsigned digit = DigitAt(value, position);
        if (digit > 9) digit = 0;  // not a decimal digit: damaged data reads as 0 there
        if (digits.empty() && digit == 0 && position < firstFraction) continue;
        digits += static_cast<char>('0' + digit);
    }
    if (digits.empty()) digits = "0";
    // A fraction of zeros is not shown, except for the value zero itself ("0.00").
    std::size_t d = static_cast<std::size_t>(decimals);
    if (d > 0 && digits.size() > d &&
        IsZeroDigits(std::string_view(digits).substr(digits.size() - d))) {
        digits.resize(digits.size() - d);
        d = 0;
    }
    bool negative = (value[value.size - 1] & 0x0F) == kNegativeSign;
    return WithSign(negative, WithDecimalPoint(digits, static_cast<int>(d)));
}

void TextToPacked(const FieldDef& field, ValueSpan value, std::string_view text) {
    std::string number = FilterNumericText(text);
    std::fill(value.data, value.data + value.size, 0);
    bool negative = !number.empty() && number[0] == '-';
    if (negative) number.erase(0, 1);
    // Only the low nibble of the configured sign is used: higher bits would land in the last
    // digit.
    value[value.size - 1] =
        negative ? kNegativeSign : static_cast<std::uint8_t>(Options().SignNibble() & 0x0F);

    const std::size_t d = static_cast<std::size_t>(field.decimals);
    std::size_t lastPosition = 2 * value.size - 2;  // where the last digit goes
    std::size_t point = number.find('.');
    std::string digits;
    if (d > 0 && point != std::string::npos) {
        std::string fraction = number.substr(point + 1, d);  // cut, not rounded
        fraction.resize(d, '0');
        digits = number.substr(0, point) + fraction;
    } else if (d > 0) {
        digits = number;
        if (d > lastPosition) return;  // no room for an integer digit
        lastPosition -= d;             // the fraction nibbles stay 0
    } else {
        digits = number.substr(0, point);
    }
    // Leading zeros carry no value; without them a zero-padded text fits its field.
    std::string_view significant = WithoutLeadingZeros(digits);
    if (significant.size() > lastPosition + 1) return;  // does not fit: zero with its sign
    std::size_t position = lastPosition;
    for (auto c = significant.rbegin(); c != significant.rend(); ++c, --position) {
        SetDigitAt(value, position, *c >= '0' && *c <= '9' ? static_cast<unsigned>(*c - '0') : 0);
    }
}

}  // namespace zelmor::codecs
