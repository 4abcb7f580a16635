#include <gtest/gtest.h>

#include "values/tests/CodecTestSupport.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

// "日本" in code page 932: two double-byte characters.
const std::string kNihon = "\x93\xFA\x96\x7B";

struct WriteCase {
    std::int32_t type;
    std::int32_t size;
    const char* fillSpace;
    std::string initial;  // the field before writing
    std::string text;
    std::string stored;
    std::string readBack;
};

TEST(StringCodecs, Write) {
    const std::string z(1, '\0');
    const WriteCase cases[] = {
        // String: blanks fill the rest when on; off, the terminator and the old bytes stay.
        {kString, 5, "yes", "xxxxx", "AB", "AB   ", "AB"},
        {kString, 5, "no", "xxxxx", "AB", "AB" + z + "xx", "AB"},
        {kString, 5, "no", "xxxxx", "", z + "xxxx", ""},
        {kString, 5, "yes", "xxxxx", "", "     ", ""},
        {kString, 5, "yes", "xxxxx", "ABCDE", "ABCDE", "ABCDE"},
        {kString, 5, "no", "xxxxx", "ABCDEFG", "ABCDE", "ABCDE"},
        {kString, 5, "yes", "xxxxx", "A B  ", "A B  ", "A B"},  // trailing blanks are padding
        // Too long: cut before a double-byte character that would not fit whole.
        {kString, 3, "yes", "xxx", kNihon, kNihon.substr(0, 2) + " ", kNihon.substr(0, 2)},
        {kString, 3, "no", "xxx", kNihon, kNihon.substr(0, 2) + z, kNihon.substr(0, 2)},
        // Note, LVar: cleared, then the text; a full field has no terminator.
        {kNote, 5, "yes", "xxxxx", "AB", "AB" + z + z + z, "AB"},
        {kLVar, 5, "yes", "xxxxx", "ABCDEFG", "ABCDE", "ABCDE"},
        {kLVar, 5, "yes", "xxxxx", "AB  ", "AB  " + z, "AB  "},  // no blank removal
        {kNote, 3, "yes", "xxx", kNihon, kNihon.substr(0, 2) + z, kNihon.substr(0, 2)},
        // ZString: at most size - 1 bytes and a zero byte.
        {kZString, 4, "yes", "xxxx", "ABCDEF", "ABC" + z, "ABC"},
        {kZString, 4, "yes", "xxxx", "AB", "AB" + z + z, "AB"},
        {kZString, 4, "yes", "xxxx", "ABC", "ABC" + z, "ABC"},
        {kZString, 4, "yes", "xxxx", "A" + kNihon, "A" + kNihon.substr(0, 2) + z,
         "A" + kNihon.substr(0, 2)},
        {kZString, 1, "yes", "x", "AB", z, ""},
        // LString: a length byte, at most size - 1 bytes, zeros after.
        {kLString, 4, "yes", "xxxx", "ABCDEF",
         "\x03"
         "ABC",
         "ABC"},
        {kLString, 6, "yes", "xxxxxx", "AB",
         "\x02"
         "AB" +
             z + z + z,
         "AB"},
        {kLString, 4, "yes", "xxxx", "", z + z + z + z, ""},
        {kLString, 4, "yes", "xxxx", "A" + kNihon,
         "\x03"
         "A" +
             kNihon.substr(0, 2),
         "A" + kNihon.substr(0, 2)},
    };
    for (const WriteCase& c : cases) {
        CodecOptions options(std::string("fill_space=") + c.fillSpace);
        FieldDef field = Field(c.type, c.size);
        Bytes stored = Store(field, c.text, c.initial.size(), BytesOf(c.initial));
        EXPECT_EQ(Hex(stored), Hex(BytesOf(c.stored))) << c.type << " " << c.text;
        EXPECT_EQ(Read(field, stored), c.readBack) << c.type << " " << c.text;
    }
}

TEST(StringCodecs, Read) {
    CodecOptions options;
    const std::string z(1, '\0');
    struct Case {
        std::int32_t type;
        std::string value;
        std::string text;
    } cases[] = {
        {kString, "AB" + z + "  ", "AB"},
        {kString, "AB " + z + " ", "AB "},  // blanks before a terminator are text
        {kString, "  AB ", "  AB"},
        {kString, "     ", ""},
        {kNote, "AB   ", "AB   "},
        {kZString, "ABCD", "ABCD"},  // no terminator: the whole field
        {kLString,
         "\x09"
         "ABC",
         "ABC"},  // a length past the field is cut to it
        {kLString,
         "\x01"
         "ABC",
         "A"},
        {kLString, std::string("\0ABC", 4), ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Read(Field(c.type, static_cast<std::int32_t>(c.value.size())), BytesOf(c.value)),
                  c.text)
            << c.type << " " << Hex(BytesOf(c.value));
    }
}

TEST(StringCodecs, LengthByteCountsAtMost255) {
    CodecOptions options;
    FieldDef field = Field(kLString, 300);
    std::string text(299, 'x');
    Bytes stored = Store(field, text, 300);
    EXPECT_EQ(stored[0], 255);
    EXPECT_EQ(stored[255], 'x');
    EXPECT_EQ(stored[256], 0);
    EXPECT_EQ(Read(field, stored), std::string(255, 'x'));
}

TEST(StringCodecs, TextEndsAtItsZeroByte) {
    CodecOptions options("fill_space=no");
    Bytes stored = Store(Field(kZString, 6), std::string("AB\0CD", 5), 6);
    EXPECT_EQ(Hex(stored), "41 42 00 00 00 00");
}

}  // namespace
