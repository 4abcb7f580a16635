#include <gtest/gtest.h>

#include "platform/CodePage.h"

using namespace zelmor::platform;

// Everything inside the system assumes the Japanese ANSI code page; under Wine this needs a real
// ja_JP locale, and without one the code page silently falls back to 1252.
TEST(CodePage, IsJapanese) { ASSERT_EQ(AnsiCodePage(), 932u); }

TEST(CodePage, LeadBytes) {
    struct Case {
        unsigned char byte;
        bool lead;
    } cases[] = {{0x41, false}, {0x80, false}, {0x81, true},  {0x9F, true}, {0xA0, false},
                 {0xB2, false}, {0xDF, false}, {0xE0, true},  {0xFC, true}, {0xFD, false}};
    for (const Case& c : cases) EXPECT_EQ(IsLeadByte(c.byte), c.lead) << int(c.byte);
}

TEST(CodePage, ConvertsJapaneseTextToCodePage932Bytes) {
    struct Case {
        const char* utf8;
        const char* ansi;
    } cases[] = {
        {"abc", "abc"},
        {"日本", "\x93\xFA\x96\x7B"},
        {"－", "\x81\x7C"},     // full-width hyphen-minus U+FF0D
        {"ー", "\x81\x5B"},     // long-vowel mark, a different character
        {"ｲﾒ", "\xB2\xD2"},      // half-width katakana are single bytes
        {"メモリ不足", "\x83\x81\x83\x82\x83\x8A\x95\x73\x91\xAB"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToAnsi(c.utf8), c.ansi) << c.utf8;
        EXPECT_EQ(AnsiToUtf8(c.ansi), c.utf8) << c.utf8;
    }
}

TEST(CodePage, Utf16RoundTrip) {
    std::u16string wide = u"VE001 メモリ不足 ｲﾒ";
    std::string ansi = Utf16ToAnsi(wide);
    EXPECT_EQ(AnsiToUtf16(ansi), wide);
    EXPECT_EQ(Utf8ToUtf16("日本"), u"日本");
    EXPECT_EQ(Utf16ToUtf8(u"日本"), "日本");
}

TEST(CodePage, UnmappableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToAnsi("a한z"), "a?z");  // Hangul has no code page 932 form
}

TEST(CodePage, CutsWithoutSplittingDoubleByteCharacters) {
    struct Case {
        std::string text;
        std::size_t max;
        std::string expected;
    } cases[] = {
        {"abc", 5, "abc"},
        {"abc", 2, "ab"},
        {"a\x93\xFA" "b", 2, "a"},   // the double-byte character would be split
        {"a\x93\xFA" "b", 3, "a\x93\xFA"},
        {"\xB2\xD2", 1, "\xB2"},      // half-width katakana are whole bytes
        {"\x93\xFA", 0, ""},
        {"ab\x93", 3, "ab\x93"},      // a trailing lone lead byte is kept when it fits
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        CutToBytes(text, c.max);
        EXPECT_EQ(text, c.expected) << c.text << " max " << c.max;
    }
}
