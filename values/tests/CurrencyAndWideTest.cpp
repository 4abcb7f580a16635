#include <gtest/gtest.h>

#include "values/tests/CodecTestSupport.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

Bytes Int64Bytes(std::int64_t value) {
    Bytes bytes(8);
    for (int i = 0; i < 8; ++i) {
        bytes[i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i));
    }
    return bytes;
}

TEST(CurrencyCodec, Read) {
    CodecOptions options;
    struct Case {
        std::int64_t value;
        std::int32_t decimals;
        const char* text;
    } cases[] = {
        {12345, 4, "1.2345"},
        {-5, 4, "-0.0005"},
        {7, 0, "7."},
        {0, 4, "0.0000"},
        {0, 0, "0."},
        {-123450000, 4, "-12345.0000"},
        {INT64_MAX, 4, "922337203685477.5807"},
        {INT64_MIN, 4, "-922337203685477.5808"},
        {INT64_MIN, 19, "-0.9223372036854775808"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Read(Field(kCurrency, 8, c.decimals), Int64Bytes(c.value)), c.text) << c.value;
    }
}

TEST(CurrencyCodec, Write) {
    CodecOptions options;
    struct Case {
        std::int32_t decimals;
        const char* text;
        std::int64_t stored;
    } cases[] = {
        {4, "12.3", 123000},
        {4, "1.23456", 12345},  // cut, not rounded
        {4, "-1.5", -15000},
        {4, "-0.5", -5000},
        {4, ".5", 5000},
        {4, "1,234.5", 12345000},
        {4, "", 0},
        {4, "abc", 0},
        {0, "7.9", 7},
        {4, "99999999999999999999", INT64_MAX},  // the nearest 64-bit value
        {4, "-99999999999999999999", INT64_MIN},
    };
    for (const Case& c : cases) {
        FieldDef field = Field(kCurrency, 8, c.decimals);
        EXPECT_EQ(Hex(Store(field, c.text, 8)), Hex(Int64Bytes(c.stored))) << c.text;
    }
    // Round trip of the extremes.
    FieldDef field = Field(kCurrency, 8, 4);
    for (std::int64_t value : {INT64_MAX, INT64_MIN, std::int64_t{0}, std::int64_t{-1}}) {
        std::string text = Read(field, Int64Bytes(value));
        EXPECT_EQ(Hex(Store(field, text, 8)), Hex(Int64Bytes(value))) << text;
    }
}

// "日本" in code page 932 is U+65E5 U+672C.
const std::string kNihon = "\x93\xFA\x96\x7B";

TEST(WideStringCodecs, WriteAndRead) {
    CodecOptions options;
    struct Case {
        std::int32_t type;
        std::int32_t size;
        std::string text;
        const char* stored;
        std::string readBack;
    } cases[] = {
        {kWString, 8, "ABC", "41 00 42 00 43 00 00 00", "ABC"},
        {kWZString, 8, kNihon, "E5 65 2C 67 00 00 AA AA", kNihon},
        // Too long: a WString fills its field, a WZString keeps its terminator.
        {kWString, 6, "ABCD", "41 00 42 00 43 00", "ABC"},
        {kWZString, 6, "ABCD", "41 00 42 00 00 00", "AB"},
        {kWString, 5, "ABCD", "41 00 42 00 AA", "AB"},  // an odd last byte is not used
        {kWZString, 2, "A", "00 00", ""},
        {kWString, 4, "", "00 00 AA AA", ""},
    };
    for (const Case& c : cases) {
        FieldDef field = Field(c.type, c.size);
        Bytes stored = Store(field, c.text, static_cast<std::size_t>(c.size));
        EXPECT_EQ(Hex(stored), c.stored) << c.type << " " << c.text;
        EXPECT_EQ(Read(field, stored), c.readBack) << c.type << " " << c.text;
    }
    EXPECT_EQ(Read(Field(kWString, 4), {0x41, 0x00, 0x42, 0x00}), "AB");  // no terminator
}

}  // namespace
