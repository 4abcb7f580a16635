#include <gtest/gtest.h>

#include "values/tests/CodecTestSupport.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

TEST(FieldCodecs, FilterNumericText) {
    struct Case {
        std::string text;
        std::string kept;
    } cases[] = {
        {"1,234.5", "1234.5"},
        {"-$12e5", "-125"},
        {"\x82\x50"
         "2",
         "2"},           // a full-width digit goes as a whole
        {"3\x81", "3"},  // so does a lead byte with nothing after it
        {std::string("12\0"
                     "34",
                     5),
         "12"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(FilterNumericText(c.text), c.kept) << c.text;
}

TEST(FieldCodecs, StoredFieldSize) {
    CodecOptions options;
    const Bytes record = BytesOf(std::string("AB\0CDE", 6));
    struct Case {
        std::int32_t type;
        std::int32_t size;
        std::size_t offset;
        std::size_t stored;
    } cases[] =
        {
            {kString, 10, 0, 10},   {kInteger, 2, 0, 2},   {kFloat, 4, 0, 4},
            {kDate, 2, 0, 4},       {kTime, 4, 0, 4},      {kDecimal, 6, 0, 6},
            {kMoney, 6, 0, 6},      {kLogical, 2, 0, 2},   {kNumeric, 7, 0, 7},
            {kBFloat, 8, 0, 8},     {kLString, 5, 0, 5},   {kZString, 9, 0, 9},
            {kUBin, 4, 0, 4},       {kAutoInc, 4, 0, 4},   {kBit, 3, 0, 1},
            {kNumericSTS, 5, 0, 5}, {kNumericSA, 5, 0, 5}, {kCurrency, 4, 0, 8},
            {kBlob, 4, 0, 8},       {kWString, 10, 0, 10}, {kWZString, 10, 0, 10},
            {kString, -3, 0, 0},    {kNote, 100, 0, 3},  // "AB" and its terminator
            {kLVar, 100, 3, 3},  // "CDE" runs to the buffer's end: no terminator to count
            {kNote, 100, 6, 0},     {kNote, 100, 60, 0},
        };
    for (const Case& c : cases) {
        EXPECT_EQ(StoredFieldSize(Field(c.type, c.size), record.data(), record.size(), c.offset),
                  c.stored)
            << c.type;
    }
    EXPECT_TRUE(options.platform.Messages().empty());
    for (std::int32_t type : {20, 22, 23, 24, 27, 227, 255, -1}) {
        options.platform.Clear();
        EXPECT_EQ(StoredFieldSize(Field(type, 4), record.data(), record.size(), 0), 0u) << type;
        ASSERT_EQ(options.platform.Messages().size(), 1u) << type;
        EXPECT_EQ(options.platform.Messages()[0].text.substr(0, 5), "VE011");
    }
}

TEST(FieldCodecs, ClearFieldValue) {
    CodecOptions options;
    struct Case {
        std::int32_t type;
        std::int32_t size;
        std::size_t width;
        std::string empty;
    } cases[] = {
        {kString, 4, 4, "    "},
        {kNumeric, 5, 5, "0000{"},
        {kNumericSTS, 4, 4, "000+"},
        {kNumericSA, 4, 4, "0000"},
        {kInteger, 8, 8, std::string(8, '\0')},
        {kAutoInc, 2, 2, std::string(2, '\0')},
        {kFloat, 4, 4, std::string(4, '\0')},
        {kCurrency, 8, 8, std::string(8, '\0')},
        {kDate, 4, 4, std::string(4, '\0')},
        {kDecimal, 3, 3, std::string(3, '\0')},
        {kNote, 6, 6, std::string(6, '\0')},
        {kLogical, 2, 2, std::string(2, '\0')},
        {kZString, 3, 3, std::string(3, '\0')},
        {kBlob, 8, 8, std::string(8, '\0')},
        {20, 4, 4, std::string(4, '\x55')},  // no value: nothing written
    };
    for (const Case& c : cases) {
        FieldDef field = Field(c.type, c.size);
        Bytes record(c.width + 2, 0x55);
        ClearFieldValue(field, record.data(), record.size(), 1);
        EXPECT_EQ(std::string(record.begin() + 1, record.end() - 1), c.empty) << c.type;
        EXPECT_EQ(record.front(), 0x55);
        EXPECT_EQ(record.back(), 0x55);
        // The empty value reads as an empty text or zero.
        std::string text = FieldToText(field, record.data(), record.size(), 1);
        EXPECT_TRUE(text.empty() || text.find_first_not_of("0.:/") == std::string::npos)
            << c.type << " reads " << text;
    }
}

// Fields whose size or decimals make no sense, and values that do not lie wholly inside the
// record, give no text and write nothing.
TEST(FieldCodecs, NonsenseFieldsAndPlacesAreLeftAlone) {
    CodecOptions options;
    struct Case {
        FieldDef field;
        std::size_t recordSize;
        std::size_t offset;
    } cases[] = {
        {Field(kString, 0), 8, 0},
        {Field(kInteger, -4), 8, 0},
        {Field(kAutoInc, 1), 8, 0},
        {Field(kFloat, 3), 8, 0},
        {Field(kBFloat, 2), 8, 0},
        {Field(kNumeric, 256), 300, 0},
        {Field(kDecimal, 2, 4), 8, 0},  // 3 digits cannot hold 4 decimals
        {Field(kDecimal, 2, -1), 8, 0},
        {Field(kNumericSTS, 3, 3), 8, 0},  // the sign takes a byte
        {Field(kCurrency, 8, 20), 8, 0},
        {Field(kString, 8), 8, 1},  // runs past the end
        {Field(kDate, 2), 8, 5},    // a Date is 4 bytes whatever the dictionary says
        {Field(kCurrency, 8), 8, 9},
        {Field(kInteger, 4), 8, SIZE_MAX - 1},
        {Field(20, 4), 8, 0},
        {Field(255, 4), 8, 0},
    };
    for (const Case& c : cases) {
        Bytes record(c.recordSize, '7');
        EXPECT_EQ(FieldToText(c.field, record.data(), record.size(), c.offset), "")
            << c.field.dataType << "/" << c.field.size;
        EXPECT_EQ(TextToField(c.field, record.data(), record.size(), c.offset, "12"), 0);
        ClearFieldValue(c.field, record.data(), record.size(), c.offset);
        EXPECT_EQ(record, Bytes(c.recordSize, '7')) << c.field.dataType << "/" << c.field.size;
    }
    EXPECT_EQ(FieldToText(Field(kString, 4), nullptr, 0, 0), "");
    EXPECT_EQ(TextToField(Field(kString, 4), nullptr, 10, 0, "x"), 0);
    EXPECT_TRUE(options.platform.Messages().empty());
}

TEST(FieldCodecs, TextNeverHoldsAZeroByte) {
    CodecOptions options;
    EXPECT_EQ(Read(Field(kBit, 1), {0}), "");
    EXPECT_EQ(Read(Field(kLogical, 1), {0xD0}), "");  // 0xD0 + "0" wraps to zero
    EXPECT_EQ(Read(Field(kLString, 5), {4, 'A', 0, 'B', 'C'}), "A");
}

}  // namespace
