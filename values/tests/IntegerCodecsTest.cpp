#include <gtest/gtest.h>

#include "values/tests/CodecTestSupport.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

struct Case {
    std::int32_t type;
    std::int32_t size;
    std::string text;
    std::string stored;  // hex, the field's bytes
    std::string readBack;
};

void CheckWrites(const Case* begin, const Case* end) {
    for (const Case* c = begin; c != end; ++c) {
        FieldDef field = Field(c->type, c->size);
        Bytes stored = Store(field, c->text, static_cast<std::size_t>(c->size));
        EXPECT_EQ(Hex(stored), c->stored) << c->type << "/" << c->size << " " << c->text;
        EXPECT_EQ(Read(field, stored), c->readBack) << c->type << "/" << c->size << " " << c->text;
    }
}

TEST(IntegerCodecs, Integer) {
    CodecOptions options;
    const Case cases[] = {
        {kInteger, 2, "1,234", "D2 04", "1234"},
        {kInteger, 2, "12.9", "0C 00", "12"},
        {kInteger, 2, "-", "00 00", "0"},
        {kInteger, 2, "abc", "00 00", "0"},
        {kInteger, 2, "-0", "00 00", "0"},
        {kInteger, 2, "-32768", "00 80", "-32768"},
        {kInteger, 2, "32767", "FF 7F", "32767"},
        {kInteger, 2, "65535", "FF FF", "-1"},  // beyond the signed range: the low 16 bits
        {kInteger, 1, "255", "FF", "255"},
        {kInteger, 1, "-1", "FF", "255"},
        {kInteger, 1, "0", "00", "0"},
        {kInteger, 4, "-2147483648", "00 00 00 80", "-2147483648"},
        {kInteger, 4, "2147483647", "FF FF FF 7F", "2147483647"},
        {kInteger, 4, "x-12y3", "85 FF FF FF", "-123"},  // letters go before the number is read
        {kInteger, 4, "1-2", "01 00 00 00", "1"},
        {kInteger, 8, "-9223372036854775808", "00 00 00 00 00 00 00 80", "-9223372036854775808"},
        {kInteger, 8, "9223372036854775807", "FF FF FF FF FF FF FF 7F", "9223372036854775807"},
        // Beyond 64 bits: the nearest 64-bit value.
        {kInteger, 8, "99999999999999999999", "FF FF FF FF FF FF FF 7F", "9223372036854775807"},
        {kInteger, 8, "-99999999999999999999", "00 00 00 00 00 00 00 80", "-9223372036854775808"},
        // Other sizes: 16 bits written, byte 0 read.
        {kInteger, 3, "258", "02 01 AA", "2"},
    };
    CheckWrites(std::begin(cases), std::end(cases));
}

TEST(IntegerCodecs, UBinAndAutoInc) {
    CodecOptions options;
    const Case cases[] = {
        {kUBin, 1, "255", "FF", "255"},
        {kUBin, 2, "65535", "FF FF", "65535"},
        {kUBin, 2, "-1", "FF FF", "65535"},
        {kUBin, 4, "4294967295", "FF FF FF FF", "4294967295"},
        {kUBin, 4, "0", "00 00 00 00", "0"},
        {kUBin, 8, "-5", "FB FF FF FF FF FF FF FF", "-5"},  // 8 bytes read as signed
        {kUBin, 3, "65535", "FF FF AA", "65535"},
        {kAutoInc, 4, "4294967295", "FF FF FF FF", "4294967295"},
        {kAutoInc, 4, "-1", "FF FF FF FF", "4294967295"},
        {kAutoInc, 2, "32767", "FF 7F", "32767"},
        // Two bytes are widened with their sign and shown unsigned.
        {kAutoInc, 2, "-1", "FF FF", "4294967295"},
        {kAutoInc, 2, "32768", "00 80", "4294934528"},
        {kAutoInc, 8, "70000", "70 11 AA AA AA AA AA AA", "4464"},
    };
    CheckWrites(std::begin(cases), std::end(cases));
}

TEST(IntegerCodecs, LogicalAndBit) {
    CodecOptions options;
    const Case cases[] = {
        {kLogical, 1, "1", "01", "1"},    {kLogical, 1, "0", "00", "0"},
        {kLogical, 2, "1", "01 AA", "1"},  // the other byte is not touched
        {kLogical, 1, "", "00", "0"},      // empty text: false
        {kBit, 1, "A", "41", "A"},        {kBit, 1, "", "00", ""},
    };
    CheckWrites(std::begin(cases), std::end(cases));
    EXPECT_EQ(Read(Field(kLogical, 1), {5}), "5");
}

TEST(IntegerCodecs, RecordImagesAreLittleEndian) {
    CodecOptions options;
    EXPECT_EQ(Read(Field(kInteger, 4), {0x78, 0x56, 0x34, 0x12}), "305419896");
    EXPECT_EQ(Read(Field(kInteger, 2), {0x34, 0x12}), "4660");
    EXPECT_EQ(Read(Field(kUBin, 8), {0x01, 0, 0, 0, 0, 0, 0, 0x01}), "72057594037927937");
}

}  // namespace
