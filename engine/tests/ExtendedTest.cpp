// Extended operations: the filter for every type and comparison (with a constant and with
// another field), chains of terms, where a scan starts and stops, the reply, malformed
// descriptors, and the currency afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "engine/tests/FaultyFileSystem.h"
#include "engine/tests/ExtendedSupport.h"
#include "engine/tests/TypeCases.h"

namespace zelmor::engine::testing {
namespace {

constexpr std::uint8_t kEqual = 1, kGreater = 2, kLess = 3, kNotEqual = 4, kGreaterOrEqual = 5,
                       kLessOrEqual = 6;
constexpr std::uint8_t kOtherField = 64, kIgnoreCase = 128;
constexpr std::uint8_t kLast = 0, kAnd = 1, kOr = 2;

bool Holds(std::uint8_t comparison, int left, int right) {
    switch (comparison) {
        case kEqual:
            return left == right;
        case kGreater:
            return left > right;
        case kLess:
            return left < right;
        case kNotEqual:
            return left != right;
        case kGreaterOrEqual:
            return left >= right;
        default:
            return left <= right;
    }
}

std::int32_t IdOf(const Bytes& bytes) {
    std::int32_t id = 0;
    std::memcpy(&id, bytes.data(), std::min<std::size_t>(4, bytes.size()));
    return id;
}

std::vector<std::int32_t> Ids(const ExtendedReply& reply) {
    std::vector<std::int32_t> ids;
    for (const auto& record : reply.records) ids.push_back(IdOf(record.second));
    return ids;
}

// ---- every type ----

class ExtendedTypeTest : public ::testing::TestWithParam<TypeCase> {};

// Records hold a value of every group (a), the first value of a group (b) and an id; every
// (a, b) pair is there. A filter on a against a constant, or against b, must keep exactly the
// records whose groups compare so.
TEST_P(ExtendedTypeTest, EveryComparisonWithAConstantAndWithAnotherField) {
    const TypeCase& c = GetParam();
    const std::uint16_t length = c.length;
    const std::uint16_t idAt = static_cast<std::uint16_t>(2 * length);
    FaultyFileSystem fs;
    RecordManager manager(fs);
    Block block;
    ASSERT_EQ(0, Create(manager, "/t.btr",
                        FileSpecBytes(static_cast<std::uint16_t>(idAt + 4),
                                      {{static_cast<std::uint16_t>(idAt + 1), 4,
                                        ZELRM_KEY_EXTENDED_TYPE, ZELRM_TYPE_INTEGER}})));
    ASSERT_EQ(0, Open(manager, block, "/t.btr"));
    struct Groups {
        int a, b;
    };
    std::vector<Groups> groupsOf;
    for (std::size_t ga = 0; ga < c.groups.size(); ++ga)
        for (const Bytes& value : c.groups[ga])
            for (std::size_t gb = 0; gb < c.groups.size(); ++gb) {
                const auto id = static_cast<std::int32_t>(groupsOf.size());
                ASSERT_EQ(0, Insert(manager, block, Concat({value, c.groups[gb][0], Int32(id)})));
                groupsOf.push_back({static_cast<int>(ga), static_cast<int>(gb)});
            }
    const bool folded = (c.flags & (ZELRM_KEY_CASE_INSENSITIVE | ZELRM_KEY_ALTERNATE)) != 0;
    const std::uint8_t ignoreCase = folded ? kIgnoreCase : 0;
    auto run = [&](std::uint8_t comparison, const Bytes& value) {
        EXPECT_EQ(0, Get(manager, ZELRM_OP_GET_FIRST, block, 0).status);
        Bytes descriptor = Descriptor("UC", 0, {{c.type, length, 0, comparison, kLast, value}},
                                      1000, {{4, idAt}});
        ExtendedReply reply =
            CallExtended(manager, ZELRM_OP_GET_NEXT_EXTENDED, block, descriptor, 65536, 0);
        EXPECT_EQ(9, reply.status);
        EXPECT_TRUE(reply.wellFormed);
        return Ids(reply);
    };
    for (std::uint8_t comparison = kEqual; comparison <= kLessOrEqual; ++comparison) {
        SCOPED_TRACE("comparison " + std::to_string(comparison));
        for (std::size_t pivot = 0; pivot < c.groups.size(); ++pivot) {
            std::vector<std::int32_t> expected;
            for (std::size_t id = 0; id < groupsOf.size(); ++id)
                if (Holds(comparison, groupsOf[id].a, static_cast<int>(pivot)))
                    expected.push_back(static_cast<std::int32_t>(id));
            EXPECT_EQ(expected, run(comparison | ignoreCase, c.groups[pivot][0]))
                << "against group " << pivot;
        }
        std::vector<std::int32_t> expected;
        for (std::size_t id = 0; id < groupsOf.size(); ++id)
            if (Holds(comparison, groupsOf[id].a, groupsOf[id].b))
                expected.push_back(static_cast<std::int32_t>(id));
        EXPECT_EQ(expected, run(comparison | kOtherField | ignoreCase, Uint16(length)))
            << "against the other field";
    }
}

std::vector<TypeCase> FilterTypes() {
    // The legacy binary flag orders keys only; a filter names its type.
    std::vector<TypeCase> cases;
    for (const TypeCase& c : TypeCases())
        if ((c.flags & ZELRM_KEY_BINARY) == 0) cases.push_back(c);
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Types, ExtendedTypeTest, ::testing::ValuesIn(FilterTypes()),
                         [](const ::testing::TestParamInfo<TypeCase>& info) {
                             return TypeCaseName(info.param);
                         });

// ---- chains of terms ----

TEST(ExtendedChainTest, TermsAreTakenLeftToRightWithoutPrecedence) {
    FaultyFileSystem fs;
    RecordManager manager(fs);
    Block block;
    // A, B and C (one byte each) of every combination; the id is A * 4 + B * 2 + C.
    ASSERT_EQ(0, Create(manager, "/c.btr",
                        FileSpecBytes(8, {{5, 4, ZELRM_KEY_EXTENDED_TYPE, ZELRM_TYPE_INTEGER}})));
    ASSERT_EQ(0, Open(manager, block, "/c.btr"));
    for (std::int32_t id = 0; id < 8; ++id) {
        Bytes abc{static_cast<std::uint8_t>(id >> 2), static_cast<std::uint8_t>((id >> 1) & 1),
                  static_cast<std::uint8_t>(id & 1), 0};
        ASSERT_EQ(0, Insert(manager, block, Concat({abc, Int32(id)})));
    }
    auto is1 = [](std::uint16_t offset, std::uint8_t connector) {
        return TermSpec{ZELRM_TYPE_UNSIGNED_BINARY, 1, offset, kEqual, connector, Bytes{1}};
    };
    struct Case {
        const char* what;
        std::vector<TermSpec> terms;
        std::vector<std::int32_t> expected;
    };
    // A left-to-right fold would give other answers for the first two.
    const std::vector<Case> cases = {
        {"A or B and C", {is1(0, kOr), is1(1, kAnd), is1(2, kLast)}, {3, 4, 5, 6, 7}},
        {"A and B or C", {is1(0, kAnd), is1(1, kOr), is1(2, kLast)}, {5, 6, 7}},
        {"A or B or C", {is1(0, kOr), is1(1, kOr), is1(2, kLast)}, {1, 2, 3, 4, 5, 6, 7}},
        {"A and B and C", {is1(0, kAnd), is1(1, kAnd), is1(2, kLast)}, {7}},
        {"B", {is1(1, kLast)}, {2, 3, 6, 7}},
        {"no terms", {}, {0, 1, 2, 3, 4, 5, 6, 7}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_FIRST, block, 0).status);
        ExtendedReply reply = CallExtended(manager, ZELRM_OP_GET_NEXT_EXTENDED, block,
                                           Descriptor("UC", 0, c.terms, 100, {{4, 4}}), 4096, 0);
        EXPECT_EQ(9, reply.status) << c.what;
        EXPECT_EQ(c.expected, Ids(reply)) << c.what;
    }
}

// ---- scans ----

// Records with id 0..count-1 (key 0, and the position is id + 1), a name and id % 10 at 12
// (key 1, duplicates); variable-length, the variable part id % 7 bytes long.
class ExtendedScanTest : public ::testing::Test {
protected:
    void Fill(std::int32_t count) {
        ASSERT_EQ(0, Create(manager, "/s.btr",
                            FileSpecBytes(16,
                                          {{1, 4, ZELRM_KEY_EXTENDED_TYPE, ZELRM_TYPE_INTEGER},
                                           {13, 4, ZELRM_KEY_EXTENDED_TYPE | ZELRM_KEY_DUPLICATES,
                                            ZELRM_TYPE_INTEGER}},
                                          ZELRM_FILE_VARIABLE_LENGTH)));
        ASSERT_EQ(0, Open(manager, block, "/s.btr"));
        Block none;
        ASSERT_EQ(0, Call(manager, ZELRM_OP_BEGIN_TRANSACTION, none, {}, 0, {}, 0, 0).status);
        for (std::int32_t id = 0; id < count; ++id) {
            Bytes record = Concat({Int32(id), Text("n" + std::to_string(id), 8), Int32(id % 10)});
            record.resize(16 + id % 7, static_cast<std::uint8_t>(id));
            ASSERT_EQ(0, Insert(manager, block, record));
        }
        ASSERT_EQ(0, Call(manager, ZELRM_OP_END_TRANSACTION, none, {}, 0, {}, 0, 0).status);
    }
    static TermSpec TenthIs(std::int32_t digit) {
        return {ZELRM_TYPE_INTEGER, 4, 12, kEqual, kLast, Int32(digit)};
    }
    ExtendedReply Scan(std::uint16_t op, const std::string& start, std::uint16_t rejects,
                       std::vector<TermSpec> terms, std::uint16_t records,
                       std::size_t capacity = 65536, std::int8_t key = 0) {
        return CallExtended(manager, op, block,
                            Descriptor(start, rejects, std::move(terms), records, {{4, 0}}),
                            capacity, key);
    }
    std::int32_t CurrentId(std::uint16_t op, std::int8_t key = 0) {
        Reply reply = Get(manager, op, block, key);
        return reply.status == 0 ? IdOf(reply.data) : -reply.status;
    }

    FaultyFileSystem fs;
    RecordManager manager{fs};
    Block block;
};

TEST_F(ExtendedScanTest, StartsWithTheCurrentRecordOrTheNextOneInEitherDirection) {
    Fill(20);
    struct Case {
        std::uint16_t op;
        const char* start;
        std::int32_t expected;
    };
    const Case cases[] = {
        {ZELRM_OP_GET_NEXT_EXTENDED, "UC", 10},      {ZELRM_OP_GET_NEXT_EXTENDED, "EG", 11},
        {ZELRM_OP_GET_PREVIOUS_EXTENDED, "UC", 10},  {ZELRM_OP_GET_PREVIOUS_EXTENDED, "EG", 9},
        {ZELRM_OP_STEP_NEXT_EXTENDED, "UC", 10},     {ZELRM_OP_STEP_NEXT_EXTENDED, "EG", 11},
        {ZELRM_OP_STEP_PREVIOUS_EXTENDED, "UC", 10}, {ZELRM_OP_STEP_PREVIOUS_EXTENDED, "EG", 9},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_EQUAL, block, 0, Int32(10)).status);
        ExtendedReply reply = Scan(c.op, c.start, 0, {}, 1);
        EXPECT_EQ(0, reply.status);
        EXPECT_EQ(std::vector<std::int32_t>{c.expected}, Ids(reply)) << c.op << c.start;
    }
    // Right after Open, Step Next Extended starts with the first record.
    Block fresh;
    ASSERT_EQ(0, Open(manager, fresh, "/s.btr"));
    ExtendedReply reply = CallExtended(manager, ZELRM_OP_STEP_NEXT_EXTENDED, fresh,
                                       Descriptor("EG", 0, {}, 2, {{4, 0}}), 4096, 0);
    EXPECT_EQ((std::vector<std::int32_t>{0, 1}), Ids(reply));
}

TEST_F(ExtendedScanTest, RejectCountEndsACallWithTheRecordsFoundSoFar) {
    Fill(100);
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_FIRST, block, 0).status);
    // Records 0, 1, 2 rejected, 3 kept, 4 and 5 rejected: the fifth rejection ends the call.
    ExtendedReply reply = Scan(ZELRM_OP_GET_NEXT_EXTENDED, "UC", 5, {TenthIs(3)}, 100);
    EXPECT_EQ(60, reply.status);
    EXPECT_TRUE(reply.wellFormed);
    EXPECT_EQ(std::vector<std::int32_t>{3}, Ids(reply));
    // Going on with "EG" finds every other one exactly once.
    std::vector<std::int32_t> found = Ids(reply);
    int calls = 1;
    for (; reply.status == 60; ++calls) {
        reply = Scan(ZELRM_OP_GET_NEXT_EXTENDED, "EG", 5, {TenthIs(3)}, 100);
        for (std::int32_t id : Ids(reply)) found.push_back(id);
    }
    EXPECT_EQ(9, reply.status);
    std::vector<std::int32_t> expected;
    for (std::int32_t id = 3; id < 100; id += 10) expected.push_back(id);
    EXPECT_EQ(expected, found);
    EXPECT_GT(calls, 10);
}

TEST_F(ExtendedScanTest, ARejectCountOfZeroMeans4095) {
    Fill(5000);
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_FIRST, block, 0).status);
    ExtendedReply reply = Scan(ZELRM_OP_GET_NEXT_EXTENDED, "UC", 0, {TenthIs(11)}, 100);
    EXPECT_EQ(60, reply.status);
    EXPECT_TRUE(reply.records.empty());
    EXPECT_EQ(4095u, Position(manager, block));  // the last record examined: id 4094
    reply = Scan(ZELRM_OP_GET_NEXT_EXTENDED, "EG", 0, {TenthIs(11)}, 100);
    EXPECT_EQ(9, reply.status);
}

TEST_F(ExtendedScanTest, AReplyThatWouldNotFitEndsTheCallAndLosesNoRecord) {
    Fill(50);
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_FIRST, block, 0).status);
    // Room for the count and three records of 4 bytes each.
    const std::size_t capacity = 2 + 3 * (6 + 4);
    ExtendedReply reply = Scan(ZELRM_OP_GET_NEXT_EXTENDED, "UC", 0, {}, 100, capacity);
    EXPECT_EQ(22, reply.status);
    EXPECT_EQ(capacity, reply.length);
    EXPECT_EQ((std::vector<std::int32_t>{0, 1, 2}), Ids(reply));
    std::vector<std::int32_t> found = Ids(reply);
    while (reply.status == 22) {
        reply = Scan(ZELRM_OP_GET_NEXT_EXTENDED, "EG", 0, {}, 100, capacity);
        EXPECT_TRUE(reply.wellFormed);
        for (std::int32_t id : Ids(reply)) found.push_back(id);
    }
    EXPECT_EQ(9, reply.status);
    std::vector<std::int32_t> all(50);
    for (std::int32_t id = 0; id < 50; ++id) all[id] = id;
    EXPECT_EQ(all, found);
}

TEST_F(ExtendedScanTest, TheLastRecordExaminedBecomesCurrent) {
    Fill(30);
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_FIRST, block, 0).status);
    ExtendedReply reply = Scan(ZELRM_OP_GET_NEXT_EXTENDED, "UC", 0, {}, 3);
    ASSERT_EQ(0, reply.status);
    EXPECT_EQ(8, Update(manager, block, Concat({Int32(2), Text("x", 8), Int32(2)})));
    EXPECT_EQ(8, Delete(manager, block));
    EXPECT_EQ(3u, Position(manager, block));
    EXPECT_EQ(3, CurrentId(ZELRM_OP_GET_NEXT));
    // A rejected record ends the call as well: 10 rejected, 11 kept, 12 rejected (the limit).
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_EQUAL, block, 0, Int32(10)).status);
    reply = Scan(ZELRM_OP_GET_NEXT_EXTENDED, "UC", 2, {TenthIs(1)}, 100);
    EXPECT_EQ(60, reply.status);
    EXPECT_EQ(std::vector<std::int32_t>{11}, Ids(reply));
    EXPECT_EQ(13, CurrentId(ZELRM_OP_GET_NEXT));
    EXPECT_EQ(12, CurrentId(ZELRM_OP_GET_PREVIOUS));
    // Along key 1: the duplicates of 5 are 5, 15, 25 in order of arrival.
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_EQUAL, block, 1, Int32(5)).status);
    reply = Scan(ZELRM_OP_GET_NEXT_EXTENDED, "EG", 0, {TenthIs(5)}, 1, 65536, 1);
    EXPECT_EQ(std::vector<std::int32_t>{15}, Ids(reply));
    EXPECT_EQ(25, CurrentId(ZELRM_OP_GET_NEXT, 1));
    // Physically: Step Next goes on from the last record examined, and the logical currency
    // stays where it was.
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_EQUAL, block, 0, Int32(20)).status);
    reply = Scan(ZELRM_OP_STEP_PREVIOUS_EXTENDED, "EG", 0, {}, 4);
    EXPECT_EQ((std::vector<std::int32_t>{19, 18, 17, 16}), Ids(reply));
    EXPECT_EQ(15, CurrentId(ZELRM_OP_STEP_PREVIOUS));
    EXPECT_EQ(21, CurrentId(ZELRM_OP_GET_NEXT));
}

TEST_F(ExtendedScanTest, KeyNumberAndPositioning) {
    Fill(5);
    Block fresh;
    ASSERT_EQ(0, Open(manager, fresh, "/s.btr"));
    const Bytes descriptor = Descriptor("UC", 0, {}, 10, {{4, 0}});
    EXPECT_EQ(8, CallExtended(manager, ZELRM_OP_GET_NEXT_EXTENDED, fresh, descriptor, 4096, 0).status);
    EXPECT_EQ(8, CallExtended(manager, ZELRM_OP_STEP_PREVIOUS_EXTENDED, fresh, descriptor, 4096, 0).status);
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_FIRST, fresh, 0).status);
    EXPECT_EQ(7, CallExtended(manager, ZELRM_OP_GET_NEXT_EXTENDED, fresh, descriptor, 4096, 1).status);
    EXPECT_EQ(6, CallExtended(manager, ZELRM_OP_GET_NEXT_EXTENDED, fresh, descriptor, 4096, 5).status);
    // Nothing happened to the currency.
    EXPECT_EQ(1, IdOf(Get(manager, ZELRM_OP_GET_NEXT, fresh, 0).data));
}

TEST_F(ExtendedScanTest, FieldsInTheVariablePart) {
    Fill(20);
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_FIRST, block, 0).status);
    // The second field needs a variable part of 3 bytes (id % 7 >= 3); a kept record without
    // it ends the call with 65 and is passed by the next call.
    const TermSpec fromThree{ZELRM_TYPE_INTEGER, 4, 0, kGreaterOrEqual, kLast, Int32(3)};
    ExtendedReply reply = CallExtended(manager, ZELRM_OP_GET_NEXT_EXTENDED, block,
                                       Descriptor("UC", 0, {fromThree}, 100, {{4, 0}, {3, 16}}),
                                       4096, 0);
    EXPECT_EQ(65, reply.status);
    EXPECT_TRUE(reply.wellFormed);
    EXPECT_EQ((std::vector<std::int32_t>{3, 4, 5, 6}), Ids(reply));
    EXPECT_EQ(Concat({Int32(6), Bytes(3, 6)}), reply.records.back().second);
    std::vector<std::int32_t> found = Ids(reply);
    int shortRecords = 1;
    while (reply.status == 65) {
        reply = CallExtended(manager, ZELRM_OP_GET_NEXT_EXTENDED, block,
                             Descriptor("EG", 0, {fromThree}, 100, {{4, 0}, {3, 16}}), 4096, 0);
        for (std::int32_t id : Ids(reply)) found.push_back(id);
        if (reply.status == 65) ++shortRecords;
    }
    EXPECT_EQ(9, reply.status);
    EXPECT_EQ((std::vector<std::int32_t>{3, 4, 5, 6, 10, 11, 12, 13, 17, 18, 19}), found);
    EXPECT_EQ(6, shortRecords);  // ids 7, 8, 9, 14, 15 and 16
}

// ---- malformed descriptors ----

TEST(ExtendedDescriptorTest, MalformedDescriptorsGive62AndChangeNothing) {
    FaultyFileSystem fs;
    RecordManager manager(fs);
    Block block;
    ASSERT_EQ(0, Create(manager, "/d.btr",
                        FileSpecBytes(12, {{1, 4, ZELRM_KEY_EXTENDED_TYPE, ZELRM_TYPE_INTEGER}})));
    ASSERT_EQ(0, Open(manager, block, "/d.btr"));
    for (std::int32_t id = 0; id < 5; ++id)
        ASSERT_EQ(0, Insert(manager, block, Concat({Int32(id), Int32(id), Int32(-id)})));
    const TermSpec good{ZELRM_TYPE_INTEGER, 4, 4, kGreater, kLast, Int32(1)};
    auto with = [&](TermSpec term) { return Descriptor("UC", 0, {term}, 10, {{4, 0}}); };
    auto changed = [](Bytes bytes, std::size_t at, std::uint8_t value) {
        bytes[at] = value;
        return bytes;
    };
    struct Case {
        const char* what;
        Bytes descriptor;
        std::size_t capacity;
        std::int16_t status;
    };
    const Bytes valid = with(good);
    TermSpec unknownType = good, badLength = good, outside = good, otherOutside = good,
             noComparison = good, badComparison = good, badConnector = good, open = good;
    unknownType.type = 12;
    badLength.length = 3;
    badLength.value = Bytes(3, 0);
    outside.offset = 10;
    otherOutside.comparison = kGreater | kOtherField;
    otherOutside.value = Uint16(9);
    noComparison.comparison = 0;
    badComparison.comparison = 7;
    badConnector.connector = 3;
    open.connector = kAnd;
    const std::vector<Case> cases = {
        {"valid", valid, 4096, 9},
        {"length beyond the buffer", valid, valid.size() - 1, 62},
        {"length short of the content", changed(valid, 0, static_cast<std::uint8_t>(valid.size() - 2)), 4096, 62},
        {"length past the content", changed(valid, 0, static_cast<std::uint8_t>(valid.size() + 2)), 4096, 62},
        {"no room for a header", Bytes{6, 0, 'U', 'C', 0, 0}, 6, 62},
        {"signature", changed(valid, 2, 'X'), 4096, 62},
        {"lower-case signature", changed(valid, 3, 'c'), 4096, 62},
        {"unknown type", with(unknownType), 4096, 62},
        {"length the type does not allow", with(badLength), 4096, 62},
        {"field outside the record", with(outside), 4096, 62},
        {"other field outside the record", with(otherOutside), 4096, 62},
        {"comparison 0", with(noComparison), 4096, 62},
        {"comparison 7", with(badComparison), 4096, 62},
        {"connector 3", with(badConnector), 4096, 62},
        {"last term with a connector", with(open), 4096, 62},
        {"chain ended early", Descriptor("UC", 0, {good, good}, 10, {{4, 0}}), 4096, 62},
        {"more terms than there are", changed(valid, 6, 2), 4096, 62},
        {"field of length 0", Descriptor("UC", 0, {good}, 10, {{0, 0}}), 4096, 62},
        {"field beyond every record", Descriptor("UC", 0, {good}, 10, {{4, 9}}), 4096, 65},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_FIRST, block, 0).status);
        ExtendedReply reply = CallExtended(manager, ZELRM_OP_GET_NEXT_EXTENDED, block,
                                           c.descriptor, c.capacity, 0);
        EXPECT_EQ(c.status, reply.status) << c.what;
        if (c.status == 62 || c.status == 65) {
            EXPECT_EQ(1, IdOf(Get(manager, ZELRM_OP_GET_NEXT, block, 0).data)) << c.what;
        }
    }
}

}  // namespace
}  // namespace zelmor::engine::testing
