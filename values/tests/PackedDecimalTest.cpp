#include <gtest/gtest.h>

#include "values/tests/CodecTestSupport.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

struct Case {
    const char* settings;
    std::int32_t size;
    std::int32_t decimals;
    std::string text;
    const char* stored;
    const char* readBack;
};

TEST(PackedDecimal, Write) {
    const Case cases[] = {
        {"", 3, 2, "-12.345", "01 23 4D", "-12.34"},  // the fraction is cut, not rounded
        {"", 2, 0, "5", "00 5F", "5"},
        {"sign_nibble=12", 2, 0, "5", "00 5C", "5"},
        {"sign_nibble=13", 2, 0, "5", "00 5D", "-5"},  // 13 is the negative sign
        {"sign_nibble=31", 2, 0, "5", "00 5F", "5"},   // only the low nibble is used
        {"", 3, 2, "1", "00 10 0F", "1"},              // no point: the fraction stays 0
        {"", 3, 2, "1.5", "00 15 0F", "1.50"},
        {"", 3, 2, "1.00", "00 10 0F", "1"},
        {"", 3, 2, "0", "00 00 0F", "0.00"},
        {"", 3, 2, "", "00 00 0F", "0.00"},
        {"", 3, 2, ".05", "00 00 5F", "0.05"},
        {"", 3, 2, "-0", "00 00 0D", "0.00"},  // negative zero reads without a sign
        {"", 3, 0, "12.9", "00 01 2F", "12"},
        {"", 3, 0, "99999", "99 99 9F", "99999"},
        {"", 3, 0, "100000", "00 00 0F", "0"},  // too long: zero with its sign
        {"", 3, 0, "-100000", "00 00 0D", "0"},
        {"", 3, 2, "1000", "00 00 0F", "0.00"},   // 1000.00 needs 6 digits
        {"", 3, 0, "0000012", "00 01 2F", "12"},  // leading zeros take no room
        {"", 4, 2, "$1,234.5", "01 23 45 0F", "1234.50"},
        {"", 3, 2, "1-2.3", "10 23 0F", "102.30"},  // a stray "-" is stored as 0
        {"", 1, 1, "0.7", "7F", "0.7"},             // one digit, all fraction
        {"", 1, 1, "3", "0F", "0.0"},               // no integer room
        {"", 10, 0, "-1234567890123456789", "12 34 56 78 90 12 34 56 78 9D",
         "-1234567890123456789"},
        {"", 10, 0, "9999999999999999999", "99 99 99 99 99 99 99 99 99 9F", "9999999999999999999"},
    };
    for (const Case& c : cases) {
        CodecOptions options(c.settings);
        for (std::int32_t type : {kDecimal, kMoney}) {
            FieldDef field = Field(type, c.size, c.decimals);
            Bytes stored = Store(field, c.text, static_cast<std::size_t>(c.size));
            EXPECT_EQ(Hex(stored), c.stored) << c.settings << " " << c.text;
            EXPECT_EQ(Read(field, stored), c.readBack) << c.settings << " " << c.text;
        }
    }
}

TEST(PackedDecimal, Read) {
    CodecOptions options;
    struct ReadCase {
        std::int32_t size;
        std::int32_t decimals;
        Bytes value;
        const char* text;
    } cases[] = {
        {2, 2, {0x05, 0x0C}, "0.50"},
        {2, 2, {0x10, 0x0D}, "-1"},  // a fraction of zeros is not shown
        {3, 2, {0x00, 0x00, 0x0D}, "0.00"},
        {2, 0, {0x00, 0x0F}, "0"},
        {2, 0, {0x12, 0x3A}, "123"},            // any sign nibble but D is positive
        {2, 0, {0xA1, 0xF2}, "10"},             // nibbles above 9 read as 0
        {3, 5, {0x00, 0x12, 0x3F}, "0.00123"},  // every digit is fraction
        {1, 0, {0x9D}, "-9"},
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(Read(Field(kDecimal, c.size, c.decimals), c.value), c.text) << Hex(c.value);
    }
}

TEST(PackedDecimal, LargestFieldOfTheWorkingAreas) {
    CodecOptions options;
    FieldDef field = Field(kDecimal, 255, 4);
    std::string digits(509, '9');  // 2 x 255 - 1 nibbles
    std::string text = digits.substr(0, 505) + "." + digits.substr(505);
    Bytes stored = Store(field, "-" + text, 255);
    EXPECT_EQ(stored[0], 0x99);
    EXPECT_EQ(stored[254], 0x9D);
    EXPECT_EQ(Read(field, stored), "-" + text);
}

}  // namespace
