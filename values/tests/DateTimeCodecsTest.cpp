#include <gtest/gtest.h>

#include "values/tests/CodecTestSupport.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

const char kTwoDigitYears[] = "sShortDate=YY/MM/DD\n";

struct Case {
    const char* settings;
    const char* text;
    const char* stored;  // day, month, year low, year high
    const char* readBack;
};

TEST(DateTimeCodecs, Date) {
    const Case cases[] = {
        {"", "2006/1/5", "05 01 D6 07", "2006/01/05"},
        {"", "2006/01/05", "05 01 D6 07", "2006/01/05"},
        {"", "2006/12/5", "05 0C D6 07", "2006/12/05"},
        {"", "2006/1/25", "19 01 D6 07", "2006/01/25"},
        {"", "1999/12/31", "1F 0C CF 07", "1999/12/31"},
        {"year_2000=1", "2006/01/05", "05 01 D6 07", "2006/01/05"},  // four digits: no century
        {kTwoDigitYears, "06/01/05", "05 01 72 07", "06/01/05"},     // 1906
        {"sShortDate=YY/MM/DD\nyear_2000=1", "06/01/05", "05 01 D6 07", "06/01/05"},  // 2006
        {"sShortDate=YY/MM/DD\nyear_2000=1", "99/01/05", "05 01 33 08", "99/01/05"},  // 2099
        {kTwoDigitYears, "99/01/05", "05 01 CF 07", "99/01/05"},                      // 1999
        // Short texts: the parts a text lacks are 0; an empty text is the empty date.
        {"", "2006", "00 00 D6 07", "2006/00/00"},
        {"", "2006/3", "00 03 D6 07", "2006/03/00"},
        {"", "", "00 00 00 00", "0000/00/00"},
        {kTwoDigitYears, "", "00 00 00 00", "-1900/00/00"},
        {kTwoDigitYears, "06", "00 00 72 07", "06/00/00"},
        // Text that is not a date gives the numbers its positions hold.
        {"", "abcdefghij", "00 00 00 00", "0000/00/00"},
    };
    for (const Case& c : cases) {
        CodecOptions options(c.settings);
        FieldDef field = Field(kDate, 4);
        Bytes stored = Store(field, c.text, 4);
        EXPECT_EQ(Hex(stored), c.stored) << c.settings << " " << c.text;
        EXPECT_EQ(Read(field, stored), c.readBack) << c.settings << " " << c.text;
    }
}

TEST(DateTimeCodecs, DateReading) {
    struct ReadCase {
        const char* settings;
        Bytes value;
        const char* text;
    } cases[] = {
        {kTwoDigitYears, {5, 1, 0xD6, 0x07}, "06/01/05"},  // 2006
        {kTwoDigitYears, {5, 1, 0xCF, 0x07}, "99/01/05"},  // 1999
        {kTwoDigitYears, {5, 1, 0xD0, 0x07}, "00/01/05"},  // 2000
        {"", {31, 12, 0x0F, 0x27}, "9999/12/31"},
        {"", {1, 1, 0xFF, 0xFF}, "-001/01/01"},  // the year is signed
        {"", {255, 255, 0xFF, 0x7F}, "32767/255/255"},
    };
    for (const ReadCase& c : cases) {
        CodecOptions options(c.settings);
        EXPECT_EQ(Read(Field(kDate, 4), c.value), c.text) << Hex(c.value);
    }
}

TEST(DateTimeCodecs, Time) {
    CodecOptions options;
    struct TimeCase {
        const char* text;
        const char* stored;  // hundredths, seconds, minutes, hours
        const char* readBack;
    } cases[] = {
        {"12:34:56", "00 38 22 0C", "12:34:56"},
        {"1234", "00 00 00 00", "00:00:00"},
        {"12:34:5", "00 00 00 00", "00:00:00"},
        {"23-59-59", "00 3B 3B 17", "23:59:59"},  // separators are not examined
        {"", "00 00 00 00", "00:00:00"},
    };
    for (const TimeCase& c : cases) {
        Bytes stored = Store(Field(kTime, 4), c.text, 4);
        EXPECT_EQ(Hex(stored), c.stored) << c.text;
        EXPECT_EQ(Read(Field(kTime, 4), stored), c.readBack) << c.text;
    }
    EXPECT_EQ(Read(Field(kTime, 4), {99, 5, 4, 3}), "03:04:05");  // hundredths are not shown
}

}  // namespace
