#include <gtest/gtest.h>

#include "core/DictionaryWriter.h"
#include "extended/ExtendedRequest.h"
#include "platform/CodePage.h"
#include "platform/RecordingPlatform.h"

using namespace zelmor;

namespace {

FieldDef Field(const char* name, DataType type, int offset, int size) {
    return DictionaryField(0, name, type, offset, size);
}

// Code Integer 2 @0, Name String 10 @2, Kind String 2 @12, Memo Note 50 @14, Qty Integer 4 @64.
TableDef SampleTable() {
    TableDef table;
    table.name = "Items";
    table.fields = {Field("Code", kInteger, 0, 2), Field("Name", kString, 2, 10),
                    Field("Kind", kString, 12, 2), Field("Memo", kNote, 14, 50),
                    Field("Qty", kInteger, 64, 4)};
    return table;
}

using Bytes = std::vector<std::uint8_t>;

class ExtendedRequestTest : public ::testing::Test {
protected:
    TableDef table = SampleTable();
    platform::RecordingPlatform platform;
    platform::ScopedPlatform scope{platform};

    std::string OnlyMessage() {
        EXPECT_EQ(platform.Messages().size(), 1u);
        return platform.Messages().empty() ? "" : platform.MessagesUtf8()[0];
    }
};

Bytes Padded(std::string text, std::size_t size) {
    text.resize(size, ' ');
    return Bytes(text.begin(), text.end());
}

Bytes Term(std::uint8_t type, std::uint16_t length, std::uint16_t offset, std::uint8_t code,
           std::uint8_t connector, const Bytes& value) {
    // Built in one piece: growing it by inserts makes GCC 12 warn wrongly.
    Bytes term(7 + value.size());
    const std::uint8_t head[7] = {type,
                                  static_cast<std::uint8_t>(length),
                                  static_cast<std::uint8_t>(length >> 8),
                                  static_cast<std::uint8_t>(offset),
                                  static_cast<std::uint8_t>(offset >> 8),
                                  code,
                                  connector};
    std::copy(std::begin(head), std::end(head), term.begin());
    std::copy(value.begin(), value.end(), term.begin() + 7);
    return term;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

}  // namespace

TEST_F(ExtendedRequestTest, ConditionsGiveTheirTermsByteForByte) {
    struct Case {
        const char* condition;
        bool ignoreCase;
        int terms;
        Bytes bytes;
    } cases[] = {
        {"@Code = 100", false, 1, Term(1, 2, 0, 1, 0, {0x64, 0x00})},
        {"@0 >= 5 & @1 <> @2", false, 2,
         Concat({Term(1, 2, 0, 5, 1, {5, 0}), Term(0, 10, 2, 4 + 64, 0, {12, 0})})},
        {"@Name = abc", true, 1, Term(0, 10, 2, 1 + 128, 0, Padded("abc", 10))},
        {"@Code = abc", true, 1, Term(1, 2, 0, 1, 0, {0, 0})},  // not a text field: no 128
        {"@Name = \"a b\"", false, 1, Term(0, 10, 2, 1, 0, Padded("a b", 10))},
        {"@Name = 'x|y'", false, 1, Term(0, 10, 2, 1, 0, Padded("x|y", 10))},
        {"@Name = /c d/ | @Code < -3", false, 2,
         Concat({Term(0, 10, 2, 1, 2, Padded("c d", 10)), Term(1, 2, 0, 3, 0, {0xFD, 0xFF})})},
        {"  @Qty <= 7 &&x @Code > 1", false, 2,
         Concat({Term(1, 4, 64, 6, 1, {7, 0, 0, 0}), Term(1, 2, 0, 2, 0, {1, 0})})},
        {"@Code = 1 garbage after", false, 1, Term(1, 2, 0, 1, 0, {1, 0})},
        {"", false, 0, {}},
        {"   ", false, 0, {}},
    };
    for (const Case& c : cases) {
        ParsedCondition parsed;
        ASSERT_TRUE(ParseSearchCondition(table, c.condition, c.ignoreCase, parsed)) << c.condition;
        EXPECT_EQ(parsed.termCount, c.terms) << c.condition;
        EXPECT_EQ(parsed.terms, c.bytes) << c.condition;
    }
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(ExtendedRequestTest, RefusedConditionsShowTheirMessage) {
    struct Case {
        std::string condition;
        std::string message;
    } cases[] = {
        {"Code = 1", "VE041 検索条件のフィールドは@が必要です。"},
        {"@Code ! 1", "VE042 比較演算子は(=,<,>,<>,>=,<=)のいずれかを指定してください"},
        {"@Code = & @Kind = 2",
         "VE046 データの指定がなく、& | オペレータが指定されています。不正な検索条件文字列は(@Code = & @Kind = 2)です。"},
        {"@Memo = x", "VE043 Extend系オペレーションに可変長データは指定できません"},
        {"@Nope = 1", "VE818 Extendedオペレーションで指定されたフィールド(Nope)が存在しません。"},
        {"@5 = 1", "VE025 フィールドIDの指定が範囲外です。"},
        {"@99999999999999999999999 = 1", "VE025 フィールドIDの指定が範囲外です。"},
        {"@Code = 1 & @Name = @Other",
         "VE818 Extendedオペレーションで指定されたフィールド(Other)が存在しません。"},
        {"@Code = 1 &", "VE041 検索条件のフィールドは@が必要です。"},
        // A connector token runs to the next blank: "|@Qty=2" leaves no term to follow.
        {"@Code = 1 |@Qty = 2", "VE041 検索条件のフィールドは@が必要です。"},
        // A field name runs to the next blank.
        {"@Code=1", "VE818 Extendedオペレーションで指定されたフィールド(Code=1)が存在しません。"},
        // No value at all, or an empty quoted one: refused rather than compared with nothing.
        {"@Code =", "VE046 データの指定がなく、& | オペレータが指定されています。不正な検索条件文字列は(@Code =)です。"},
        {"@Name = \"\"", "VE046 データの指定がなく、& | オペレータが指定されています。不正な検索条件文字列は(@Name = \"\")です。"},
    };
    for (const Case& c : cases) {
        platform.Clear();
        ParsedCondition parsed;
        EXPECT_FALSE(ParseSearchCondition(table, c.condition, false, parsed)) << c.condition;
        EXPECT_EQ(parsed.termCount, 0);
        EXPECT_TRUE(parsed.terms.empty());
        EXPECT_EQ(OnlyMessage(), c.message) << c.condition;
    }
}

TEST_F(ExtendedRequestTest, DoubleByteValuesAreComparedAsTheyAreStored) {
    std::string condition = platform::Utf8ToAnsi("@Name = 日本 & @Kind = \"ｱ\"");
    ParsedCondition parsed;
    ASSERT_TRUE(ParseSearchCondition(table, condition, false, parsed));
    EXPECT_EQ(parsed.termCount, 2);
    Bytes expected = Concat({Term(0, 10, 2, 1, 1, Padded(platform::Utf8ToAnsi("日本"), 10)),
                             Term(0, 2, 12, 1, 0, Padded("\xB1", 2))});
    EXPECT_EQ(parsed.terms, expected);
}

TEST_F(ExtendedRequestTest, LongValuesAreCutWithoutOverrunningTheField) {
    ParsedCondition parsed;
    ASSERT_TRUE(ParseSearchCondition(table, "@Name = " + std::string(5000, 'z'), false, parsed));
    EXPECT_EQ(parsed.terms.size(), 7u + 10);
}

TEST_F(ExtendedRequestTest, FieldLists) {
    struct Case {
        const char* list;
        bool ok;
        Bytes descriptors;
        std::uint32_t recordLength;
    } cases[] = {
        {"Code,Name", true, {2, 0, 0, 0, 10, 0, 2, 0}, 12},
        {"  4,0", true, {4, 0, 64, 0, 2, 0, 0, 0}, 6},
        {"Code,Code", true, {2, 0, 0, 0, 2, 0, 0, 0}, 4},
        {"Kind Name", true, {2, 0, 12, 0}, 2},  // the list ends at the first reference without ","
    };
    for (const Case& c : cases) {
        ParsedFieldList parsed;
        ASSERT_EQ(ParseFieldList(table, c.list, parsed), c.ok) << c.list;
        EXPECT_EQ(parsed.descriptors, c.descriptors) << c.list;
        EXPECT_EQ(parsed.recordLength, c.recordLength) << c.list;
        EXPECT_EQ(parsed.fieldCount, c.descriptors.size() / 4);
    }
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(ExtendedRequestTest, RefusedFieldLists) {
    struct Case {
        const char* list;
        std::string message;
    } cases[] = {
        {"", "VE040 抽出するフィールド・リストが指定されていません"},
        {"   ", "VE040 抽出するフィールド・リストが指定されていません"},
        {"Code, Name", "VE818 Extendedオペレーションで指定されたフィールド()が存在しません。"},
        {"Code,Price", "VE818 Extendedオペレーションで指定されたフィールド(Price)が存在しません。"},
        {"Code,5", "VE025 フィールドIDの指定が範囲外です。"},
        {"Code,", "VE818 Extendedオペレーションで指定されたフィールド()が存在しません。"},
    };
    for (const Case& c : cases) {
        platform.Clear();
        ParsedFieldList parsed;
        EXPECT_FALSE(ParseFieldList(table, c.list, parsed)) << c.list;
        EXPECT_EQ(OnlyMessage(), c.message) << c.list;
    }
}

TEST_F(ExtendedRequestTest, FieldRefsWalkAStoredList) {
    std::string list = "Name,0, Qty";
    std::size_t position = 0;
    EXPECT_EQ(ParseFieldRef(table, list, position), 1);
    EXPECT_EQ(ParseFieldRef(table, list, position), 0);
    EXPECT_EQ(ParseFieldRef(table, list, position), 4);
    EXPECT_EQ(position, list.size());
    EXPECT_EQ(ParseFieldRef(table, list, position), -1);
    EXPECT_TRUE(platform.Messages().empty());
    std::string pastTheFields = "9";
    position = 0;
    EXPECT_EQ(ParseFieldRef(table, pastTheFields, position), -1);
    EXPECT_EQ(OnlyMessage(), "VE025 フィールドIDの指定が範囲外です。");
}

TEST_F(ExtendedRequestTest, RequestLayoutAndReplyRoom) {
    ExtendedRequest request;
    ASSERT_EQ(BuildExtendedRequest(table, "UC", 300, "@Code = 100", false, "Code,Name", 20,
                                   request),
              0);
    // 8 header bytes, one 9-byte term, 4 bytes, two descriptors.
    Bytes expected = {29, 0, 'U', 'C', 44, 1, 1, 0};
    Bytes term = Term(1, 2, 0, 1, 0, {0x64, 0});
    expected.insert(expected.end(), term.begin(), term.end());
    Bytes tail = {20, 0, 2, 0, 2, 0, 0, 0, 10, 0, 2, 0};
    expected.insert(expected.end(), tail.begin(), tail.end());
    ASSERT_GE(request.buffer.size(), expected.size());
    EXPECT_EQ(Bytes(request.buffer.begin(), request.buffer.begin() + 29), expected);
    EXPECT_EQ(request.extractedLength, 12u);
    EXPECT_EQ(request.buffer.size(), (12u + 6) * 20 + 2);  // room for the reply
    SetRequestMode(request, "EG");
    EXPECT_EQ(request.buffer[2], 'E');

    ExtendedRequest small;
    ASSERT_EQ(BuildExtendedRequest(table, "UC", 0, "", false, "Code", 1, small), 0);
    EXPECT_EQ(small.buffer.size(), 16u);  // the request itself is longer than its reply room
    EXPECT_EQ(BuildExtendedRequest(table, "UC", 0, "Code = 1", false, "Code", 1, small), -8);
    EXPECT_EQ(BuildExtendedRequest(table, "UC", 0, "", false, "", 1, small), -9);
}

// A request must say its length in 16 bits and ask for a reply room that can be had: what goes
// beyond is refused with its message, never cut short or wrapped.
TEST_F(ExtendedRequestTest, OversizedRequestsAreRefusedWithTheirMessage) {
    auto repeated = [](const std::string& piece, const std::string& joiner, int count) {
        std::string text = piece;
        for (int i = 1; i < count; ++i) text += joiner + piece;
        return text;
    };
    struct Case {
        const char* what;
        std::string condition;
        std::string fields;
        std::uint16_t maxRecords;
        int result;
        const char* message;
    } cases[] = {
        {"condition", repeated("@Code = 1", " & ", 8000), "Code", 10, -8,
         "VE039 Extended Operationエラー(-8)"},
        {"field list", "", repeated("Name", ",", 17000), 10, -9,
         "VE039 Extended Operationエラー(-9)"},
        // 4,000 Name fields are 40,000 bytes a record: 65,535 of them do not fit 2 GiB.
        {"reply room", "", repeated("Name", ",", 4000), 65535, -99, "VE001 メモリ不足  zelDbEx"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform.Clear();
        ExtendedRequest request;
        EXPECT_EQ(BuildExtendedRequest(table, "UC", 0, c.condition, false, c.fields, c.maxRecords,
                                       request),
                  c.result);
        EXPECT_EQ(OnlyMessage().rfind(c.message, 0), 0u) << OnlyMessage();
        EXPECT_TRUE(request.buffer.empty());
    }
}
