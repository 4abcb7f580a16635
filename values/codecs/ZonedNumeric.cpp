// Zoned decimal: one digit character per digit, the last `decimals` of them the fraction, no
// point stored. The sign is carried three ways:
//   Numeric     overpunched on the last digit: "{", "A"-"I" positive; "}", "J"-"R" negative;
//   NumericSTS  a separate "+" or "-" after the digits;
//   NumericSA   a negative value has its last digit 64 places up ("0"-"9" become "p"-"y").
// Fields are at most 255 bytes (the dispatch refuses longer ones), read through a 256-byte area.
#include <cstring>

#include "values/FieldDef.h"
#include "values/codecs/CodecFamilies.h"
#include "values/codecs/NumericText.h"

namespace zelmor::codecs {

namespace {

constexpr std::size_t kWorkingArea = 256;
constexpr int kSignAboveDigit = 64;  // NumericSA: "p" is "0" + 64

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

struct SignedDigit {
    char digit;
    bool negative;
};

// The last character of a Numeric value. A character that is neither a digit nor an overpunch
// stays as it is, with no sign, instead of turning into some other character.
SignedDigit DecodeOverpunch(char c) {
    if (c == '{') return {'0', false};
    if (c == '}') return {'0', true};
    if (c >= 'A' && c <= 'I') return {static_cast<char>(c - 'A' + '1'), false};
    if (c >= 'J' && c <= 'R') return {static_cast<char>(c - 'J' + '1'), true};
    return {c, false};
}

// The last character of a NumericSA value. "{" is the empty value that earlier versions wrote
// into cleared records: it reads as "0".
SignedDigit DecodeSignLetter(char c) {
    if (c >= '0' + kSignAboveDigit && c <= '9' + kSignAboveDigit) {
        return {static_cast<char>(c - kSignAboveDigit), true};
    }
    if (c == '{') return {'0', false};
    return {c, false};
}

// Digits of the integer room (without the sign character of NumericSTS).
std::size_t DigitRoom(std::int32_t type, std::size_t size) {
    return type == kNumericSTS ? size - 1 : size;
}

// A number as a text writes it: sign, integer digits (no leading zeros), fraction digits.
struct ZonedNumber {
    bool negative = false;
    std::string integer;
    std::string fraction;
};

// A leading "-" makes the value negative. Digits and the first "." are collected; "+", blanks
// and "," are skipped (signs and thousands separators); any other character ends the number.
ZonedNumber ParseZoned(std::string_view text) {
    ZonedNumber number;
    std::size_t i = 0;
    if (!text.empty() && text[0] == '-') {
        number.negative = true;
        i = 1;
    }
    bool inFraction = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c == '+' || c == ' ' || c == ',') continue;
        if (c == '.' && !inFraction) {
            inFraction = true;
        } else if (IsDigit(c)) {
            (inFraction ? number.fraction : number.integer) += c;
        } else {
            break;
        }
    }
    number.integer = std::string(WithoutLeadingZeros(number.integer));
    return number;
}

// The digit characters of the field: the integer right-justified in its room with leading
// zeros, then the fraction cut (not rounded) or padded with zeros to `decimals`. An integer too
// long for its room gives the largest value the field holds, all nines.
std::string ZonedDigits(const ZonedNumber& number, std::size_t integerRoom, std::size_t decimals) {
    if (number.integer.size() > integerRoom) return std::string(integerRoom + decimals, '9');
    std::string fraction = number.fraction.substr(0, decimals);
    fraction.resize(decimals, '0');
    return std::string(integerRoom - number.integer.size(), '0') + number.integer + fraction;
}

}  // namespace

std::string ZonedToText(const FieldDef& field, ValueView value) {
    const std::int32_t type = field.dataType;
    char area[kWorkingArea] = {};
    std::memcpy(area, value.data, value.size);
    if (area[0] == '\0') return "0";

    const std::size_t last = value.size - 1;
    bool negative = false;
    if (type == kNumeric || type == kNumericSA) {
        SignedDigit decoded =
            type == kNumeric ? DecodeOverpunch(area[last]) : DecodeSignLetter(area[last]);
        area[last] = decoded.digit;
        negative = decoded.negative;
    } else {
        negative = area[last] == '-';
    }

    // The digits end at the field's end (the sign for NumericSTS) or at a zero byte.
    const std::size_t room = DigitRoom(type, value.size);
    const void* zero = std::memchr(area, 0, room);
    std::string_view digits(
        area, zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - area) : room);
    // Leading zeros of the integer part are skipped; the fraction digits are always kept.
    const std::size_t d = static_cast<std::size_t>(field.decimals);
    std::size_t skip = 0;
    while (skip < digits.size() && skip + d < room && digits[skip] == '0') ++skip;
    return WithSign(negative, WithDecimalPoint(std::string(digits.substr(skip)), field.decimals));
}

void TextToZoned(const FieldDef& field, ValueSpan value, std::string_view text) {
    const std::int32_t type = field.dataType;
    const std::size_t d = static_cast<std::size_t>(field.decimals);
    const std::size_t room = DigitRoom(type, value.size);
    ZonedNumber number = ParseZoned(text);
    std::string digits = ZonedDigits(number, room - d, d);
    std::memcpy(value.data, digits.data(), digits.size());
    if (room == 0) {
        value[0] = number.negative ? '-' : '+';  // NumericSTS of one byte: the sign alone
        return;
    }
    char& lastDigit = reinterpret_cast<char&>(value[room - 1]);
    switch (type) {
        case kNumeric:
            if (lastDigit == '0') {
                lastDigit = number.negative ? '}' : '{';
            } else {
                lastDigit =
                    static_cast<char>(lastDigit + (number.negative ? 'J' - '1' : 'A' - '1'));
            }
            return;
        case kNumericSTS:
            value[room] = number.negative ? '-' : '+';
            return;
        case kNumericSA:
            if (number.negative) lastDigit = static_cast<char>(lastDigit + kSignAboveDigit);
            return;
        default:
            return;
    }
}

}  // namespace zelmor::codecs
