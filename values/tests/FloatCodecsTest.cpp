#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>

#include "values/codecs/BinaryFloat.h"
#include "values/tests/CodecTestSupport.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

// The exact decimal expansion of a finite positive double: digits and the exponent P such that
// the value is 0.digits x 10^P. Every double is m x 2^e, an integer times a power of two; for
// e < 0 that is m x 5^-e / 10^-e. Worked out with schoolbook arithmetic on decimal digits.
struct Decimal {
    std::string digits;
    int pointPosition;
};

Decimal ExactDecimal(double value) {
    int e = 0;
    double fraction = std::frexp(value, &e);
    auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    e -= 53;
    std::vector<int> number;  // decimal digits, least significant first
    for (std::uint64_t m = mantissa; m > 0; m /= 10) number.push_back(static_cast<int>(m % 10));
    auto multiply = [&](int factor) {
        int carry = 0;
        for (int& digit : number) {
            int product = digit * factor + carry;
            digit = product % 10;
            carry = product / 10;
        }
        for (; carry > 0; carry /= 10) number.push_back(carry % 10);
    };
    for (int i = 0; i < e; ++i) multiply(2);
    for (int i = 0; i < -e; ++i) multiply(5);
    Decimal result;
    for (auto d = number.rbegin(); d != number.rend(); ++d) result.digits += char('0' + *d);
    result.pointPosition = static_cast<int>(number.size()) + (e < 0 ? e : 0);
    return result;
}

// Rounded to `count` significant digits, to nearest with ties to even.
Decimal Rounded(Decimal exact, std::size_t count) {
    std::string& d = exact.digits;
    if (d.size() <= count) {
        d.resize(count, '0');
        return exact;
    }
    std::string rest = d.substr(count);
    d.resize(count);
    bool up = rest[0] > '5' ||
              (rest[0] == '5' &&
               (rest.find_first_not_of('0', 1) != std::string::npos || (d.back() - '0') % 2 == 1));
    if (up) {
        std::size_t i = count;
        while (i > 0 && d[i - 1] == '9') d[--i] = '0';
        if (i == 0) {
            d.insert(d.begin(), '1');
            d.pop_back();
            ++exact.pointPosition;
        } else {
            ++d[i - 1];
        }
    }
    return exact;
}

// The display of 0.digits x 10^P: "0." and zeros below 1, otherwise the integer digits (zeros
// where the digits run out) and the fraction unless it is all zeros.
std::string Display(const Decimal& value, bool negative) {
    std::string text = negative ? "-" : "";
    const int p = value.pointPosition;
    const std::string& d = value.digits;
    if (p < 1) return text + "0." + std::string(static_cast<std::size_t>(-p), '0') + d;
    if (static_cast<std::size_t>(p) >= d.size()) {
        return text + d + std::string(static_cast<std::size_t>(p) - d.size(), '0');
    }
    std::string fraction = d.substr(static_cast<std::size_t>(p));
    text += d.substr(0, static_cast<std::size_t>(p));
    if (fraction.find_first_not_of('0') != std::string::npos) text += "." + fraction;
    return text;
}

Bytes DoubleBytes(double value) {
    Bytes bytes(8);
    std::uint64_t bits;
    std::memcpy(&bits, &value, 8);
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    return bytes;
}

TEST(FloatCodecs, DisplayExamples) {
    CodecOptions options;  // float_size 10
    struct Case {
        double value;
        const char* text;
    } cases[] = {
        {1.5, "1.500000000"},
        {2, "2"},
        {0.25, "0.2500000000"},
        {-0.001, "-0.001000000000"},
        {0, "0"},
        {-0.0, "0"},
        {123456789012.0, "123456789000"},  // more integer digits than significant ones
        {9999999999.6, "10000000000"},     // rounding adds a digit
        {INFINITY, "inf"},
        {-INFINITY, "-inf"},
        {NAN, "nan"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Read(Field(kFloat, 8), DoubleBytes(c.value)), c.text) << c.value;
    }
    // Every leading zero is written, however small the value.
    EXPECT_EQ(Read(Field(kFloat, 8), DoubleBytes(1e-25)),
              "0." + std::string(24, '0') + "1000000000");
}

TEST(FloatCodecs, EverySignificantDigitCountRoundsLikeExactDecimal) {
    // Ties (0.125, 2.5, 8.5), values just below a power of ten, the extremes and subnormals.
    // clang-format off
    const double values[] = {
        1.5,   2,       0.25,  0.1,      1.0 / 3, 2.0 / 3, 123456.789, 9.995,  0.125,
        2.5,   1e-5,    1e300, 5e-324,   DBL_MAX, DBL_MIN, 0.95,       99.5,   999999.5,
        8.5,   0.0625,  4.35,  7.0 / 9,  1e22,    3.141592653589793,  123456789012345678.0,
        1.0000000000000002};
    // clang-format on
    for (int size = 1; size <= 17; ++size) {
        CodecOptions options("float_size=" + std::to_string(size));
        for (double value : values) {
            for (double signedValue : {value, -value}) {
                std::string expected = Display(Rounded(ExactDecimal(value), size), signedValue < 0);
                EXPECT_EQ(Read(Field(kFloat, 8), DoubleBytes(signedValue)), expected)
                    << "float_size " << size << " value " << signedValue;
            }
        }
    }
}

TEST(FloatCodecs, SignificantDigitsOutsideOneToSeventeen) {
    {
        CodecOptions options("float_size=0");
        EXPECT_EQ(Read(Field(kFloat, 8), DoubleBytes(2.5)), "2");  // one digit, ties to even
    }
    {
        CodecOptions options("float_size=30");
        EXPECT_EQ(Read(Field(kFloat, 8), DoubleBytes(0.1)), "0.10000000000000001");
    }
}

TEST(FloatCodecs, Write) {
    CodecOptions options;
    struct Case {
        std::int32_t size;
        const char* text;
        const char* stored;
    } cases[] = {
        {8, "1.5", "00 00 00 00 00 00 F8 3F"},
        {4, "1.5", "00 00 C0 3F"},
        {8, "-2", "00 00 00 00 00 00 00 C0"},
        {8, "-0", "00 00 00 00 00 00 00 80"},
        {8, "1e5", "00 00 00 00 00 00 2E 40"},  // the filter leaves "15"
        {8, "1,000.25", "00 00 00 00 00 42 8F 40"},
        {8, "abc", "00 00 00 00 00 00 00 00"},
        {8, "-.5", "00 00 00 00 00 00 E0 BF"},
        {8, "3.5.7", "00 00 00 00 00 00 0C 40"},
        // Other sizes hold the 4-byte form: what reading takes from them.
        {6, "1.5", "00 00 C0 3F AA AA"},
    };
    for (const Case& c : cases) {
        Bytes stored = Store(Field(kFloat, c.size), c.text, static_cast<std::size_t>(c.size));
        EXPECT_EQ(Hex(stored), c.stored) << c.text;
    }
    EXPECT_EQ(Read(Field(kFloat, 6), Store(Field(kFloat, 6), "1.5", 6)), "1.500000000");
}

TEST(FloatCodecs, NumbersBeyondTheRangeGiveTheLargestOrZero) {
    CodecOptions options("float_size=17");
    const std::string huge = "1" + std::string(400, '0');
    const std::string tiny = "0." + std::string(400, '0') + "1";
    EXPECT_EQ(Hex(Store(Field(kFloat, 4), huge, 4)), "FF FF 7F 7F");  // FLT_MAX
    EXPECT_EQ(Hex(Store(Field(kFloat, 4), "-" + huge, 4)), "FF FF 7F FF");
    EXPECT_EQ(Hex(Store(Field(kFloat, 8), huge, 8)), "FF FF FF FF FF FF EF 7F");  // DBL_MAX
    EXPECT_EQ(Hex(Store(Field(kFloat, 8), tiny, 8)), "00 00 00 00 00 00 00 00");
    EXPECT_EQ(Hex(Store(Field(kFloat, 4), "1" + std::string(39, '0'), 4)), "FF FF 7F 7F");
}

// Binary float layouts worked out by hand: 0.1m x 2^(e - 128), exponent byte last, the sign in
// the top bit of the byte before it.
TEST(FloatCodecs, BFloatLayouts) {
    CodecOptions options("float_size=17");
    struct Case {
        std::int32_t size;
        const char* text;
        const char* bytes;
        const char* readBack;  // the fraction keeps its trailing zeros
    } cases[] = {
        {4, "1", "00 00 00 81", "1"},  // 0.1b x 2^1
        {4, "-1", "00 00 80 81", "-1"},
        {4, "0.5", "00 00 00 80", "0.50000000000000000"},  // 0.1b x 2^0
        {4, "10", "00 00 20 84", "10"},                    // 0.101b x 2^4
        {4, "0", "00 00 00 00", "0"},
        {8, "1", "00 00 00 00 00 00 00 81", "1"},
        {8, "-2.5", "00 00 00 00 00 00 A0 82", "-2.5000000000000000"},  // 0.101b x 2^2
        {8, "0.75", "00 00 00 00 00 00 40 80", "0.75000000000000000"},  // 0.11b x 2^0
    };
    for (const Case& c : cases) {
        FieldDef field = Field(kBFloat, c.size);
        Bytes stored = Store(field, c.text, static_cast<std::size_t>(c.size));
        EXPECT_EQ(Hex(stored), c.bytes) << c.text;
        EXPECT_EQ(Read(field, stored), c.readBack) << c.bytes;
    }
    // 0.1 as a single is 0x3DCCCCCD: exponent 123 becomes 125, the 23 mantissa bits stay.
    EXPECT_EQ(Hex(Store(Field(kBFloat, 4), "0.1", 4)), "CD CC 4C 7D");
    EXPECT_EQ(Read(Field(kBFloat, 4), {0xCD, 0xCC, 0x4C, 0x7D}), "0.10000000149011612");
    // A zero exponent byte is zero, whatever the other bytes hold.
    EXPECT_EQ(Read(Field(kBFloat, 4), {0xFF, 0xFF, 0xFF, 0x00}), "0");
    EXPECT_EQ(Read(Field(kBFloat, 4), {0, 0, 0, 0}), "0");
    // The lowest 3 of the 55 mantissa bits do not reach the double.
    EXPECT_EQ(Read(Field(kBFloat, 8), {0x07, 0, 0, 0, 0, 0, 0, 0x81}), "1");
    EXPECT_EQ(Read(Field(kBFloat, 8), {0x08, 0, 0, 0, 0, 0, 0, 0x81}), "1.0000000000000002");
    EXPECT_EQ(Hex(Store(Field(kBFloat, 8), "1.0000000000000002", 8)), "08 00 00 00 00 00 00 81");
}

TEST(FloatCodecs, BFloatOutsideTheOtherFormatsRange) {
    using codecs::BinaryFloatToSingle;
    using codecs::DoubleToBinaryFloat;
    using codecs::SingleToBinaryFloat;
    // Exponent bytes 1 and 2 are below the normal singles: they become subnormals.
    EXPECT_EQ(BinaryFloatToSingle(0x01000000), std::ldexp(1.0f, -128));
    EXPECT_EQ(BinaryFloatToSingle(0x02C00000), -std::ldexp(1.5f, -127));
    EXPECT_EQ(SingleToBinaryFloat(std::ldexp(1.0f, -128)), 0x01000000u);  // and back, exactly
    // Too large for the binary float: the largest one with the sign.
    EXPECT_EQ(SingleToBinaryFloat(FLT_MAX), 0xFF7FFFFFu);
    EXPECT_EQ(SingleToBinaryFloat(-INFINITY), 0xFFFFFFFFu);
    EXPECT_EQ(DoubleToBinaryFloat(1e39), 0xFF7FFFFFFFFFFFFFull);
    EXPECT_EQ(DoubleToBinaryFloat(std::ldexp(1.0, 127)), 0xFF7FFFFFFFFFFFFFull);
    EXPECT_EQ(DoubleToBinaryFloat(std::ldexp(1.0, 126)), 0xFF00000000000000ull);
    // Too small, and NaN: zero.
    EXPECT_EQ(SingleToBinaryFloat(std::ldexp(1.0f, -140)), 0u);
    EXPECT_EQ(DoubleToBinaryFloat(1e-40), 0u);
    EXPECT_EQ(DoubleToBinaryFloat(std::ldexp(1.0, -128)), 0x0100000000000000ull);
    EXPECT_EQ(DoubleToBinaryFloat(NAN), 0u);
    EXPECT_EQ(DoubleToBinaryFloat(-0.0), 0u);
    CodecOptions options;
    EXPECT_EQ(Hex(Store(Field(kBFloat, 8), "-1" + std::string(40, '0'), 8)),
              "FF FF FF FF FF FF FF FF");
}

}  // namespace
