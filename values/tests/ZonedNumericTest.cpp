#include <gtest/gtest.h>

#include "values/tests/CodecTestSupport.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

struct Case {
    std::int32_t type;
    std::int32_t size;
    std::int32_t decimals;
    std::string text;
    std::string stored;
    std::string readBack;
};

TEST(ZonedNumeric, Write) {
    CodecOptions options;
    const Case cases[] = {
        {kNumeric, 5, 2, "-12.3", "0123}", "-12.30"},
        {kNumeric, 3, 0, "7", "00G", "7"},
        {kNumeric, 5, 2, "12.345", "0123D", "12.34"},  // cut, not rounded
        {kNumeric, 5, 2, "1.", "0010{", "1.00"},
        {kNumeric, 5, 2, "+1,2 3", "1230{", "123.00"},  // "+", "," and blanks are skipped
        {kNumeric, 5, 0, "12.9", "0001B", "12"},
        {kNumeric, 5, 0, "-9", "0000R", "-9"},
        {kNumeric, 5, 0, "-1", "0000J", "-1"},
        {kNumeric, 5, 0, "9", "0000I", "9"},
        {kNumeric, 5, 0, "", "0000{", "0"},
        {kNumeric, 5, 0, "-0", "0000}", "0"},  // negative zero reads without a sign
        {kNumeric, 5, 0, "12x34", "0001B", "12"},
        {kNumeric, 5, 2, "0000012.5", "0125{", "12.50"},  // leading zeros take no room
        // Too long for the field: the largest value it holds, with the sign.
        {kNumeric, 5, 2, "1234", "9999I", "999.99"},
        {kNumeric, 5, 0, "-123456789", "9999R", "-99999"},
        {kNumeric, 2, 2, ".5", "5{", "0.50"},
        {kNumericSTS, 6, 2, "-3.5", "00350-", "-3.50"},
        {kNumericSTS, 6, 2, "3.5", "00350+", "3.50"},
        {kNumericSTS, 6, 2, "12.999", "01299+", "12.99"},
        {kNumericSTS, 6, 2, "1,2.5", "01250+", "12.50"},
        {kNumericSTS, 6, 2, "+3.5", "00350+", "3.50"},
        {kNumericSTS, 6, 2, "12345.67", "99999+", "999.99"},
        {kNumericSTS, 4, 0, "-42", "042-", "-42"},
        {kNumericSTS, 1, 0, "-5", "-", "0"},  // the sign alone
        {kNumericSA, 4, 1, "-2.5", "002u", "-2.5"},
        {kNumericSA, 4, 1, "2.5", "0025", "2.5"},
        {kNumericSA, 4, 0, "-10", "001p", "-10"},
        {kNumericSA, 4, 0, "-9999", "999y", "-9999"},
        {kNumericSA, 4, 0, "99999", "9999", "9999"},
    };
    for (const Case& c : cases) {
        FieldDef field = Field(c.type, c.size, c.decimals);
        Bytes stored = Store(field, c.text, static_cast<std::size_t>(c.size));
        EXPECT_EQ(std::string(stored.begin(), stored.end()), c.stored) << c.type << " " << c.text;
        EXPECT_EQ(Read(field, stored), c.readBack) << c.type << " " << c.text;
    }
}

TEST(ZonedNumeric, Read) {
    CodecOptions options;
    const std::string z(1, '\0');
    const Case cases[] = {
        {kNumeric, 5, 2, "", "0000{", "0.00"},
        {kNumeric, 5, 2, "", "00001", "0.01"},  // a plain digit last reads positive
        {kNumeric, 5, 0, "", "00000", "0"},
        {kNumeric, 5, 0, "", z + "0012", "0"},              // a zero first byte is the value zero
        {kNumeric, 5, 2, "", "12" + z + z + "}", "-0.12"},  // the digits end at a zero byte
        {kNumeric, 4, 0, "", "123S", "123S"},               // not an overpunch: left as it is
        {kNumericSTS, 4, 2, "", "005+", "0.05"},
        {kNumericSTS, 4, 2, "", "000{", "0.00"},  // the empty value of earlier versions
        {kNumericSTS, 4, 0, "", "000-", "0"},
        {kNumericSA, 4, 0, "", "000{", "0"},  // the empty value of earlier versions
        {kNumericSA, 4, 0, "", "0000", "0"},
        {kNumericSA, 4, 2, "", "000p", "0.00"},
    };
    for (const Case& c : cases) {
        FieldDef field = Field(c.type, c.size, c.decimals);
        EXPECT_EQ(Read(field, BytesOf(c.stored)), c.readBack) << c.type << " " << c.stored;
    }
}

TEST(ZonedNumeric, LargestFieldOfTheWorkingArea) {
    CodecOptions options;
    for (std::int32_t type : {kNumeric, kNumericSTS, kNumericSA}) {
        FieldDef field = Field(type, 255, 3);
        std::string digits = type == kNumericSTS ? std::string(254, '8') : std::string(255, '8');
        std::string text =
            "-" + digits.substr(0, digits.size() - 3) + "." + digits.substr(digits.size() - 3);
        Bytes stored = Store(field, text, 255);
        EXPECT_EQ(Read(field, stored), text) << type;
        // A field one byte longer has no working area: no text, nothing written.
        FieldDef tooLong = Field(type, 256, 3);
        EXPECT_EQ(Read(tooLong, Bytes(256, '1')), "") << type;
        EXPECT_EQ(Hex(Store(tooLong, "5", 256)), Hex(Bytes(256, 0xAA))) << type;
    }
}

}  // namespace
