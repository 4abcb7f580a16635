#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "values/DisplayFormat.h"
#include "values/FieldDef.h"
#include "values/PendingLine.h"

using namespace zelmor;

TEST(RightJustify, PadsOrKeepsTheEnd) {
    struct Case {
        std::string text;
        int width;
        std::string expected;
    } cases[] = {
        {"123", 8, "     123"},
        {"12", 5, "   12"},
        {"12345", 3, "345"},
        {"abc", 0, "abc"},  // no width: unchanged
        {"abc", 3, "abc"},
        {"", 2, "  "},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        RightJustify(text, c.width);
        EXPECT_EQ(text, c.expected) << c.text << " " << c.width;
    }
}

TEST(RightJustify, NeverKeepsHalfADoubleByteCharacter) {
    std::string text = platform::Utf8ToAnsi("x山田");  // 1 + 2 + 2 bytes
    RightJustify(text, 3);  // would start inside 山
    EXPECT_EQ(platform::AnsiToUtf8(text), " 田");
    text = platform::Utf8ToAnsi("山田");
    RightJustify(text, 6);
    EXPECT_EQ(platform::AnsiToUtf8(text), "  山田");
}

TEST(NumericMask, CharactersPerFieldType) {
    for (unsigned c : {48u, 57u, 46u, 45u, 43u, 44u, 8u}) {  // 0 9 . - + , backspace
        EXPECT_TRUE(IsMaskCharacter(c, kInteger)) << c;
    }
    for (unsigned c : {97u, 32u, 101u, 42u, 0x82u}) {  // a, blank, e, *, a lead byte
        EXPECT_FALSE(IsMaskCharacter(c, kInteger)) << c;
    }
    EXPECT_TRUE(IsMaskCharacter('/', kDate));
    EXPECT_FALSE(IsMaskCharacter('/', kTime));
    EXPECT_TRUE(IsMaskCharacter(':', kTime));
    EXPECT_FALSE(IsMaskCharacter(':', kDate));
    EXPECT_FALSE(IsMaskCharacter('/', -1));  // a field whose type is not known
}

TEST(DateCompletion, BothYearModes) {
    struct Case {
        DateMode mode;
        const char* typed;
        const char* completed;
        int beeps;
    } cases[] = {
        {DateMode::FourDigitYears, "20060105", "2006/01/05", 0},
        {DateMode::FourDigitYears, "2006/1/5", "2006/01/05", 0},
        {DateMode::FourDigitYears, "2006/3", "2006/03/01", 0},      // missing day
        {DateMode::FourDigitYears, "1850/13/40", "2026/01/01", 3},  // year, month, day
        {DateMode::FourDigitYears, "2100/12/31", "2026/12/31", 1},
        {DateMode::FourDigitYears, "1900/01/31", "1900/01/31", 0},
        {DateMode::FourDigitYears, "2006", "2006/01/01", 0},        // positions past the end
        {DateMode::FourDigitYears, "", "", 0},
        {DateMode::TwoDigitYears, "060105", "06/01/05", 0},
        {DateMode::TwoDigitYears, "06/13/05", "06/01/01", 1},
        {DateMode::TwoDigitYears, "06/12/32", "06/01/01", 1},
        {DateMode::TwoDigitYears, "06/00/10", "06/01/01", 1},       // month 0 is no month
        {DateMode::TwoDigitYears, "6/2/3", "06/02/03", 0},
        // Only the first 15 bytes are read.
        {DateMode::FourDigitYears, "2006/01/05      9", "2006/01/05", 0},
    };
    for (const Case& c : cases) {
        Completion done = CompleteDateEntry(c.typed, c.mode, 2026);
        EXPECT_EQ(done.text, c.completed) << c.typed;
        EXPECT_EQ(done.beeps, c.beeps) << c.typed;
    }
}

TEST(TimeCompletion, AcceptsUpTo24And60) {
    struct Case {
        const char* typed;
        const char* completed;
        int beeps;
    } cases[] = {
        {"123456", "12:34:56", 0}, {"12:34", "12:34:00", 0}, {"1:2:3", "01:02:03", 0},
        {"24:60:60", "24:60:60", 0}, {"25:00", "00:00:00", 1}, {"10:61", "00:00:00", 1},
        {"0930", "09:30:00", 0},   {"", "", 0},
    };
    for (const Case& c : cases) {
        Completion done = CompleteTimeEntry(c.typed);
        EXPECT_EQ(done.text, c.completed) << c.typed;
        EXPECT_EQ(done.beeps, c.beeps) << c.typed;
    }
}

TEST(FormattedLine, PendingTextWinsAndAbortStops) {
    PendingLine pending;
    pending.Set("left over from before");
    std::string line = "raw";
    EXPECT_TRUE(FormatLine(pending, line, [](std::string& text) {
        text = "changed";
        return false;
    }));
    EXPECT_EQ(line, "changed");  // the buffer was emptied before the event
    line = "raw";
    EXPECT_TRUE(FormatLine(pending, line, [&](std::string& text) {
        text.clear();
        pending.Set("X");
        return false;
    }));
    EXPECT_EQ(line, "X");
    EXPECT_FALSE(FormatLine(pending, line, [](std::string&) { return true; }));
}
