// Currency: a signed 64-bit integer holding the value times 10 to the power of the decimals.
#include "values/codecs/CodecFamilies.h"
#include "values/codecs/NumericText.h"

namespace zelmor::codecs {

namespace {

std::string DigitsAndMinus(std::string_view text) {
    std::string kept;
    for (char c : text) {
        if ((c >= '0' && c <= '9') || c == '-') kept += c;
    }
    return kept;
}

}  // namespace

std::string CurrencyToText(const FieldDef& field, ValueView value) {
    auto number = static_cast<std::int64_t>(ReadLittleEndian(value.data, 8));
    // The magnitude as unsigned, so that the most negative value has one too.
    std::uint64_t magnitude =
        number < 0 ? 0 - static_cast<std::uint64_t>(number) : static_cast<std::uint64_t>(number);
    std::string digits = std::to_string(magnitude);
    const std::size_t d = static_cast<std::size_t>(field.decimals);
    if (digits.size() < d) digits.insert(0, d - digits.size(), '0');
    // The point is written even without decimals: 7 reads "7.".
    digits.insert(digits.size() - d, 1, '.');
    if (digits[0] == '.') digits.insert(0, 1, '0');
    return number < 0 ? "-" + digits : digits;
}

void TextToCurrency(const FieldDef& field, ValueSpan value, std::string_view text) {
    std::size_t point = text.find('.');
    std::string integer = DigitsAndMinus(text.substr(0, point));
    std::string fraction =
        point == std::string_view::npos ? std::string() : DigitsAndMinus(text.substr(point + 1));
    fraction.resize(static_cast<std::size_t>(field.decimals), '0');  // cut, not rounded, or padded
    std::int64_t number = ParseInteger(integer + fraction);
    WriteLittleEndian(value.data, 8, static_cast<std::uint64_t>(number));
}

}  // namespace zelmor::codecs
