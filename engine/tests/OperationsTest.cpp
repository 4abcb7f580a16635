// Behaviour of the individual operations: statuses, currency, duplicates, null keys,
// variable-length records, auto-increment, owners, open modes, transactions and percentages.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/tests/FaultyFileSystem.h"
#include "engine/tests/TestSupport.h"

namespace zelmor::engine::testing {
namespace {

constexpr const char* kPath = "/db/people.btr";

// Records: id (integer, unique) at 0, name (string 8, duplicates, modifiable) at 4,
// city (string 4, duplicates, null when blank, modifiable) at 12.
Bytes PeopleSpec(std::uint16_t fileFlags = 0) {
    return FileSpecBytes(16,
                         {{1, 4, ZELRM_KEY_EXTENDED_TYPE, ZELRM_TYPE_INTEGER},
                          {5, 8, ZELRM_KEY_DUPLICATES | ZELRM_KEY_MODIFIABLE},
                          {13, 4, ZELRM_KEY_DUPLICATES | ZELRM_KEY_MODIFIABLE | ZELRM_KEY_NULL_ALL,
                           ZELRM_TYPE_STRING, ' '}},
                         fileFlags);
}

Bytes Person(std::int32_t id, const std::string& name, const std::string& city = "") {
    return Concat({Int32(id), Text(name, 8), Text(city, 4)});
}

std::int32_t IdOf(const Bytes& record) {
    std::int32_t id = 0;
    if (record.size() >= 4) std::memcpy(&id, record.data(), 4);
    return id;
}

class OperationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(0, Create(manager, kPath, PeopleSpec()));
        ASSERT_EQ(0, Open(manager, block, kPath));
    }
    void InsertPeople(std::initializer_list<std::pair<std::int32_t, std::string>> people) {
        for (const auto& [id, name] : people) ASSERT_EQ(0, Insert(manager, block, Person(id, name)));
    }
    std::vector<std::int32_t> Walk(std::uint16_t first, std::uint16_t next, std::int8_t key) {
        std::vector<std::int32_t> ids;
        for (Reply reply = Get(manager, first, block, key); reply.status == 0;
             reply = Get(manager, next, block, key))
            ids.push_back(IdOf(reply.data));
        return ids;
    }

    FaultyFileSystem fs;
    RecordManager manager{fs};
    Block block;
};

TEST(CreateTest, ChecksTheFileSpecification) {
    struct Case {
        const char* what;
        Bytes spec;
        std::int16_t status;
    };
    const std::uint16_t ext = ZELRM_KEY_EXTENDED_TYPE;
    std::vector<Case> cases = {
        {"valid", FileSpecBytes(16, {{1, 4, ext, ZELRM_TYPE_INTEGER}}), 0},
        {"no keys", FileSpecBytes(16, {}), 0},
        {"page size not a multiple of 512", FileSpecBytes(16, {{1, 4, 0}}, 0, 1000), 24},
        {"page size too large", FileSpecBytes(16, {{1, 4, 0}}, 0, 16896), 24},
        {"page size too small", FileSpecBytes(16, {{1, 4, 0}}, 0, 0), 24},
        {"record too short", FileSpecBytes(3, {{1, 2, 0}}), 28},
        {"key at position 0", FileSpecBytes(16, {{0, 4, 0}}), 27},
        {"key past the record", FileSpecBytes(16, {{14, 4, 0}}), 27},
        {"empty key", FileSpecBytes(16, {{1, 0, 0}}), 29},
        {"integer of 3 bytes", FileSpecBytes(16, {{1, 3, ext, ZELRM_TYPE_INTEGER}}), 29},
        {"float of 2 bytes", FileSpecBytes(16, {{1, 2, ext, ZELRM_TYPE_FLOAT}}), 29},
        {"unknown type", FileSpecBytes(16, {{1, 4, ext, 12}}), 49},
        {"segments disagree on duplicates",
         FileSpecBytes(16, {{1, 4, ZELRM_KEY_SEGMENTED | ZELRM_KEY_DUPLICATES}, {5, 4, 0}}), 45},
        {"auto-increment in a segmented key",
         FileSpecBytes(16, {{1, 4, ext | ZELRM_KEY_SEGMENTED, ZELRM_TYPE_AUTOINCREMENT}, {5, 4, 0}}),
         49},
        {"key longer than 255 bytes", FileSpecBytes(400, {{1, 300, 0}}), 29},
        // Two segments whose lengths add up past 16 bits: 65535 + 1 must not count as 0.
        {"segments adding up to 65536 bytes",
         FileSpecBytes(65535, {{1, 65535, ZELRM_KEY_SEGMENTED}, {1, 1, 0}}), 29},
    };
    Bytes tooManyKeys = FileSpecBytes(16, std::vector<SegmentSpec>(120, {1, 4, 0}));
    cases.push_back({"120 keys", tooManyKeys, 26});
    Bytes truncated = FileSpecBytes(16, {{1, 4, ZELRM_KEY_SEGMENTED}, {5, 4, 0}});
    truncated.resize(32);
    cases.push_back({"segment missing from the buffer", truncated, 22});
    for (const auto& c : cases) {
        FaultyFileSystem fs;
        RecordManager manager(fs);
        EXPECT_EQ(c.status, Create(manager, "/t.btr", c.spec)) << c.what;
    }
}

TEST(CreateTest, ReplacesOrRefusesAnExistingFile) {
    FaultyFileSystem fs;
    RecordManager manager(fs);
    ASSERT_EQ(0, Create(manager, "/t.btr", PeopleSpec()));
    EXPECT_EQ(59, Create(manager, "/t.btr", PeopleSpec(), -1));
    Block block;
    ASSERT_EQ(0, Open(manager, block, "/t.btr"));
    EXPECT_EQ(85, Create(manager, "/t.btr", PeopleSpec()));
    ASSERT_EQ(0, Insert(manager, block, Person(1, "a")));
    ASSERT_EQ(0, Close(manager, block));
    EXPECT_EQ(0, Create(manager, "/t.btr", PeopleSpec()));
    ASSERT_EQ(0, Open(manager, block, "/t.btr"));
    EXPECT_EQ(0u, RecordCount(manager, block));
}

TEST(OpenTest, ReportsMissingForeignAndBadFiles) {
    FaultyFileSystem fs;
    RecordManager manager(fs);
    Block block;
    EXPECT_EQ(12, Open(manager, block, "/nothing.btr"));
    EXPECT_EQ(11, Open(manager, block, ""));
    fs.WriteWhole("/foreign.dat", Bytes(8192, 'x'));
    EXPECT_EQ(30, Open(manager, block, "/foreign.dat"));
    fs.WriteWhole("/short.dat", Bytes(100, 0));
    EXPECT_EQ(30, Open(manager, block, "/short.dat"));
    // Backslashes are separators too.
    ASSERT_EQ(0, Create(manager, "/db/a.btr", PeopleSpec()));
    EXPECT_EQ(0, Open(manager, block, "\\db\\a.btr  "));
}

TEST_F(OperationsTest, BadBlocksAndOperations) {
    Block never;
    EXPECT_EQ(3, Get(manager, ZELRM_OP_GET_FIRST, never, 0).status);
    std::memset(never.bytes, 0xAB, sizeof never.bytes);
    EXPECT_EQ(3, Get(manager, ZELRM_OP_STEP_FIRST, never, 0).status);
    EXPECT_EQ(1, Get(manager, 16, block, 0).status);
    EXPECT_EQ(1, Get(manager, 40, block, 0).status);
    EXPECT_EQ(1, Call(manager, ZELRM_OP_INSERT + 100, block, Person(1, "a"), -1, {}, 255, 0).status);
    // Opening an open block again closes it first: its file is not held twice.
    ASSERT_EQ(0, Open(manager, block, kPath, ZELRM_MODE_EXCLUSIVE));
    EXPECT_EQ(3, manager.Call(ZELRM_OP_OPEN, nullptr, nullptr, nullptr, nullptr, 0, 0));
    Block copy = block;
    ASSERT_EQ(0, Close(manager, block));
    EXPECT_EQ(3, Close(manager, block));
    EXPECT_EQ(3, Get(manager, ZELRM_OP_GET_FIRST, copy, 0).status);
}

TEST_F(OperationsTest, DuplicatesComeInOrderOfArrival) {
    InsertPeople({{1, "ann"}, {2, "bob"}, {3, "ann"}, {4, "ann"}, {5, "cid"}});
    EXPECT_EQ((std::vector<std::int32_t>{1, 3, 4, 2, 5}),
              Walk(ZELRM_OP_GET_FIRST, ZELRM_OP_GET_NEXT, 1));
    EXPECT_EQ((std::vector<std::int32_t>{5, 2, 4, 3, 1}),
              Walk(ZELRM_OP_GET_LAST, ZELRM_OP_GET_PREVIOUS, 1));
    struct Case {
        std::uint16_t op;
        const char* name;
        std::int16_t status;
        std::int32_t id;
    };
    const Case cases[] = {
        {ZELRM_OP_GET_EQUAL, "ann", 0, 1},       {ZELRM_OP_GET_GREATER_OR_EQUAL, "ann", 0, 1},
        {ZELRM_OP_GET_GREATER, "ann", 0, 2},     {ZELRM_OP_GET_LESS_OR_EQUAL, "ann", 0, 4},
        {ZELRM_OP_GET_LESS, "bob", 0, 4},        {ZELRM_OP_GET_EQUAL, "amy", 4, 0},
        {ZELRM_OP_GET_GREATER_OR_EQUAL, "amy", 0, 1}, {ZELRM_OP_GET_LESS, "ann", 9, 0},
        {ZELRM_OP_GET_GREATER, "cid", 9, 0},     {ZELRM_OP_GET_LESS_OR_EQUAL, "zed", 0, 5},
    };
    for (const auto& c : cases) {
        Reply reply = Get(manager, c.op, block, 1, Text(c.name, 8));
        EXPECT_EQ(c.status, reply.status) << c.op << " " << c.name;
        if (c.status == 0) {
            EXPECT_EQ(c.id, IdOf(reply.data)) << c.op << " " << c.name;
            // The key buffer gets the record's key value.
            EXPECT_EQ(Bytes(reply.data.begin() + 4, reply.data.begin() + 12),
                      Bytes(reply.key.begin(), reply.key.begin() + 8));
        }
    }
}

TEST_F(OperationsTest, NextAndPreviousNeedCurrencyOnTheSameKey) {
    InsertPeople({{1, "ann"}, {2, "bob"}});
    Block other;
    ASSERT_EQ(0, Open(manager, other, kPath));
    EXPECT_EQ(8, Get(manager, ZELRM_OP_GET_NEXT, other, 0).status);
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_FIRST, other, 0).status);
    EXPECT_EQ(7, Get(manager, ZELRM_OP_GET_NEXT, other, 1).status);
    EXPECT_EQ(6, Get(manager, ZELRM_OP_GET_NEXT, other, 3).status);
    EXPECT_EQ(6, Get(manager, ZELRM_OP_GET_FIRST, other, -1).status);
    ASSERT_EQ(0, Get(manager, ZELRM_OP_STEP_FIRST, other, 0).status);
    EXPECT_EQ(8, Get(manager, ZELRM_OP_GET_NEXT, other, 0).status);
    // A key buffer shorter than the key is refused.
    EXPECT_EQ(21, Call(manager, ZELRM_OP_GET_FIRST, other, {}, 64, {}, 3, 0).status);
}

TEST_F(OperationsTest, EndOfFileLeavesTheCurrency) {
    InsertPeople({{1, "a"}, {2, "b"}, {3, "c"}});
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_LAST, block, 0).status);
    EXPECT_EQ(9, Get(manager, ZELRM_OP_GET_NEXT, block, 0).status);
    EXPECT_EQ(2, IdOf(Get(manager, ZELRM_OP_GET_PREVIOUS, block, 0).data));
    ASSERT_EQ(0, Get(manager, ZELRM_OP_STEP_FIRST, block, 0).status);
    EXPECT_EQ(9, Get(manager, ZELRM_OP_STEP_PREVIOUS, block, 0).status);
    EXPECT_EQ(2, IdOf(Get(manager, ZELRM_OP_STEP_NEXT, block, 0).data));
}

TEST_F(OperationsTest, NextAfterDeleteGoesOnFromTheDeletedRecord) {
    InsertPeople({{1, "a"}, {2, "b"}, {3, "c"}});
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_EQUAL, block, 0, Int32(2)).status);
    ASSERT_EQ(0, Delete(manager, block));
    EXPECT_EQ(8, Delete(manager, block));
    EXPECT_EQ(8, Update(manager, block, Person(2, "x")));
    EXPECT_EQ(8, Get(manager, ZELRM_OP_GET_POSITION, block, 0).status);
    EXPECT_EQ(3, IdOf(Get(manager, ZELRM_OP_GET_NEXT, block, 0).data));
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_EQUAL, block, 0, Int32(3)).status);
    ASSERT_EQ(0, Delete(manager, block));
    EXPECT_EQ(1, IdOf(Get(manager, ZELRM_OP_GET_PREVIOUS, block, 0).data));
    // Physical order goes on from a deleted record too.
    ASSERT_EQ(0, Insert(manager, block, Person(4, "d")));
    ASSERT_EQ(0, Get(manager, ZELRM_OP_STEP_FIRST, block, 0).status);
    ASSERT_EQ(0, Delete(manager, block));
    EXPECT_EQ(4, IdOf(Get(manager, ZELRM_OP_STEP_NEXT, block, 0).data));
}

TEST_F(OperationsTest, ChangesByAnotherBlockAreNoticed) {
    InsertPeople({{1, "a"}, {2, "b"}, {3, "c"}});
    Block other;
    ASSERT_EQ(0, Open(manager, other, kPath));
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_EQUAL, block, 0, Int32(2)).status);
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_EQUAL, other, 0, Int32(2)).status);
    ASSERT_EQ(0, Update(manager, other, Person(2, "bb")));
    EXPECT_EQ(80, Update(manager, block, Person(2, "zz")));
    ASSERT_EQ(0, Delete(manager, other));
    EXPECT_EQ(80, Delete(manager, block));
    EXPECT_EQ(3, IdOf(Get(manager, ZELRM_OP_GET_NEXT, block, 0).data));
}

TEST_F(OperationsTest, UpdateChecksKeysAndMovesDuplicatesToTheEnd) {
    InsertPeople({{1, "ann"}, {2, "ann"}, {3, "bob"}});
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_EQUAL, block, 0, Int32(3)).status);
    EXPECT_EQ(10, Update(manager, block, Person(9, "bob")));
    ASSERT_EQ(0, Update(manager, block, Person(3, "ann"), 1));
    EXPECT_EQ(9, Get(manager, ZELRM_OP_GET_NEXT, block, 1).status);
    EXPECT_EQ((std::vector<std::int32_t>{1, 2, 3}),
              Walk(ZELRM_OP_GET_FIRST, ZELRM_OP_GET_NEXT, 1));
    // An update that leaves the key alone keeps the record's place among its duplicates.
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_EQUAL, block, 0, Int32(1)).status);
    ASSERT_EQ(0, Update(manager, block, Person(1, "ann", "oslo")));
    EXPECT_EQ((std::vector<std::int32_t>{1, 2, 3}),
              Walk(ZELRM_OP_GET_FIRST, ZELRM_OP_GET_NEXT, 1));
    // A unique key may not be duplicated.
    Block other;
    ASSERT_EQ(0, Open(manager, other, kPath));
    EXPECT_EQ(5, Insert(manager, other, Person(2, "dup")));
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_EQUAL, other, 0, Int32(2)).status);
    EXPECT_EQ(3u, RecordCount(manager, other));
}

TEST_F(OperationsTest, NullKeysLeaveRecordsOut) {
    ASSERT_EQ(0, Insert(manager, block, Person(1, "a", "rome")));
    ASSERT_EQ(0, Insert(manager, block, Person(2, "b", "")));
    ASSERT_EQ(0, Insert(manager, block, Person(3, "c", "kyiv")));
    EXPECT_EQ((std::vector<std::int32_t>{3, 1}), Walk(ZELRM_OP_GET_FIRST, ZELRM_OP_GET_NEXT, 2));
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_EQUAL, block, 0, Int32(2)).status);
    std::uint32_t position = Position(manager, block);
    Reply direct = Call(manager, ZELRM_OP_GET_DIRECT, block, Int32(position), 64, {}, 255, 2);
    EXPECT_EQ(44, direct.status);
    direct = Call(manager, ZELRM_OP_GET_DIRECT, block, Int32(position), 64, {}, 255, 1);
    ASSERT_EQ(0, direct.status);
    EXPECT_EQ(2, IdOf(direct.data));
    EXPECT_EQ(3, IdOf(Get(manager, ZELRM_OP_GET_NEXT, block, 1).data));
    EXPECT_EQ(43, Call(manager, ZELRM_OP_GET_DIRECT, block, Int32(999), 64, {}, 0, -1).status);
    EXPECT_EQ(43, Call(manager, ZELRM_OP_GET_DIRECT, block, Int32(0), 64, {}, 0, -1).status);
}

TEST_F(OperationsTest, InsertFollowsTheKeyOrKeepsCurrency) {
    InsertPeople({{1, "a"}, {3, "c"}});
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_FIRST, block, 0).status);
    ASSERT_EQ(0, Insert(manager, block, Person(2, "b"), -1));
    EXPECT_EQ(2, IdOf(Get(manager, ZELRM_OP_GET_NEXT, block, 0).data));
    Reply inserted = Call(manager, ZELRM_OP_INSERT, block, Person(0, "zed"), -1, {}, 255, 1);
    ASSERT_EQ(0, inserted.status);
    EXPECT_EQ(Text("zed", 8), Bytes(inserted.key.begin(), inserted.key.begin() + 8));
    EXPECT_EQ(9, Get(manager, ZELRM_OP_GET_NEXT, block, 1).status);
    EXPECT_EQ(3, IdOf(Get(manager, ZELRM_OP_GET_PREVIOUS, block, 1).data));
}

TEST_F(OperationsTest, StatAndVersion) {
    InsertPeople({{1, "a"}, {2, "b"}});
    Reply stat = Get(manager, ZELRM_OP_STAT, block, 0, {}, 2048);
    ASSERT_EQ(0, stat.status);
    ASSERT_EQ(16u + 3 * 16, stat.data.size());
    Bytes spec = PeopleSpec();
    spec[6] = 2;  // the record count comes back at 6
    EXPECT_EQ(spec, stat.data);
    EXPECT_EQ(22, Get(manager, ZELRM_OP_STAT, block, 0, {}, 40).status);
    Block none;
    Reply version = Call(manager, ZELRM_OP_VERSION, none, {}, 5, {}, 0, 0);
    ASSERT_EQ(0, version.status);
    EXPECT_EQ(5u, version.data.size());
    EXPECT_EQ(22, Call(manager, ZELRM_OP_VERSION, none, {}, 4, {}, 0, 0).status);
}

TEST_F(OperationsTest, PercentagesByKeyAndPosition) {
    InsertPeople({{10, "a"}, {20, "b"}, {30, "c"}});
    const std::uint16_t expected[] = {3333, 6666, 10000};
    for (int i = 0; i < 3; ++i) {
        Reply find = Call(manager, ZELRM_OP_FIND_PERCENTAGE, block, {}, 4, Int32(10 * (i + 1)), 4, 0);
        ASSERT_EQ(0, find.status);
        std::uint16_t percentage;
        std::memcpy(&percentage, find.data.data(), 2);
        EXPECT_EQ(expected[i], percentage);
        Bytes data(64);
        std::memcpy(data.data(), &percentage, 2);
        Reply back = Call(manager, ZELRM_OP_GET_BY_PERCENTAGE, block, data, 64, {}, 4, 0);
        ASSERT_EQ(0, back.status);
        EXPECT_EQ(10 * (i + 1), IdOf(back.data));
        std::uint32_t position = Position(manager, block);
        Reply physical = Call(manager, ZELRM_OP_FIND_PERCENTAGE, block, Int32(position), 4, {}, 0, -1);
        ASSERT_EQ(0, physical.status);
        std::memcpy(&percentage, physical.data.data(), 2);
        EXPECT_EQ(expected[i], percentage);
    }
    Bytes over(64);
    over[0] = 0xFF;
    over[1] = 0xFF;
    EXPECT_EQ(30, IdOf(Call(manager, ZELRM_OP_GET_BY_PERCENTAGE, block, over, 64, {}, 0, -1).data));
    Bytes zero(64);
    EXPECT_EQ(10, IdOf(Call(manager, ZELRM_OP_GET_BY_PERCENTAGE, block, zero, 64, {}, 4, 0).data));
    EXPECT_EQ(4, Call(manager, ZELRM_OP_FIND_PERCENTAGE, block, {}, 4, Int32(15), 4, 0).status);
}

TEST(VariableLengthTest, ShortBuffersGetWhatFits) {
    FaultyFileSystem fs;
    RecordManager manager(fs);
    Block block;
    ASSERT_EQ(0, Create(manager, "/v.btr", PeopleSpec(ZELRM_FILE_VARIABLE_LENGTH)));
    ASSERT_EQ(0, Open(manager, block, "/v.btr"));
    Bytes tail(5000);
    for (std::size_t i = 0; i < tail.size(); ++i) tail[i] = static_cast<std::uint8_t>(i * 7);
    Bytes record = Concat({Person(1, "long"), tail});
    ASSERT_EQ(0, Insert(manager, block, record));
    ASSERT_EQ(0, Insert(manager, block, Person(2, "short")));
    EXPECT_EQ(22, Insert(manager, block, Bytes(10)));

    Reply full = Get(manager, ZELRM_OP_GET_EQUAL, block, 0, Int32(1), 8000);
    ASSERT_EQ(0, full.status);
    EXPECT_EQ(record, full.data);
    Reply partial = Get(manager, ZELRM_OP_GET_EQUAL, block, 0, Int32(1), 100);
    EXPECT_EQ(22, partial.status);
    EXPECT_EQ(Bytes(record.begin(), record.begin() + 100), partial.data);
    EXPECT_NE(0u, Position(manager, block));
    Reply tooShort = Get(manager, ZELRM_OP_GET_EQUAL, block, 0, Int32(2), 10);
    EXPECT_EQ(22, tooShort.status);
    EXPECT_EQ(2, IdOf(Get(manager, ZELRM_OP_GET_NEXT, block, 0, {}, 20).data));
    // An update may grow or shrink the variable part.
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_EQUAL, block, 0, Int32(1), 8000).status);
    ASSERT_EQ(0, Update(manager, block, Person(1, "now")));
    EXPECT_EQ(Person(1, "now"), Get(manager, ZELRM_OP_GET_EQUAL, block, 0, Int32(1), 8000).data);
}

TEST(AutoIncrementTest, ZeroGetsTheNextValue) {
    FaultyFileSystem fs;
    RecordManager manager(fs);
    Block block;
    Bytes spec = FileSpecBytes(8, {{1, 4, ZELRM_KEY_EXTENDED_TYPE, ZELRM_TYPE_AUTOINCREMENT}});
    ASSERT_EQ(0, Create(manager, "/a.btr", spec));
    ASSERT_EQ(0, Open(manager, block, "/a.btr"));
    auto insert = [&](std::int32_t id) {
        Reply reply = Call(manager, ZELRM_OP_INSERT, block, Concat({Int32(id), Text("x", 4)}), -1,
                           {}, 4, 0);
        EXPECT_EQ(0, reply.status);
        return std::make_pair(IdOf(reply.data), IdOf(reply.key));
    };
    EXPECT_EQ(std::make_pair(1, 1), insert(0));
    EXPECT_EQ(std::make_pair(2, 2), insert(0));
    EXPECT_EQ(std::make_pair(10, 10), insert(10));
    EXPECT_EQ(std::make_pair(11, 11), insert(0));
    EXPECT_EQ(5, Insert(manager, block, Concat({Int32(10), Text("x", 4)})));
}

TEST(OwnerTest, NamesAndAccessModes) {
    FaultyFileSystem fs;
    RecordManager manager(fs);
    Block block;
    ASSERT_EQ(0, Create(manager, "/o.btr", PeopleSpec()));
    ASSERT_EQ(0, Open(manager, block, "/o.btr"));
    Bytes name = {'s', 'e', 'c', 'r', 'e', 't', 0};
    EXPECT_EQ(51, Call(manager, ZELRM_OP_SET_OWNER, block, Bytes{' ', ' ', 0}, -1, {}, 0, 0).status);
    EXPECT_EQ(51, Call(manager, ZELRM_OP_SET_OWNER, block, name, -1, Bytes{'o', 't', 'h', 0}, 4, 0).status);
    ASSERT_EQ(0, Call(manager, ZELRM_OP_SET_OWNER, block, name, -1, name, 7, 1).status);
    EXPECT_EQ(50, Call(manager, ZELRM_OP_SET_OWNER, block, name, -1, name, 7, 0).status);
    ASSERT_EQ(0, Close(manager, block));
    // Access 1: read-only without the name.
    ASSERT_EQ(0, Open(manager, block, "/o.btr"));
    EXPECT_EQ(46, Insert(manager, block, Person(1, "a")));
    ASSERT_EQ(0, Close(manager, block));
    EXPECT_EQ(51, Open(manager, block, "/o.btr", 0, "wrong"));
    ASSERT_EQ(0, Open(manager, block, "/o.btr", 0, "secret"));
    EXPECT_EQ(0, Insert(manager, block, Person(1, "a")));
    ASSERT_EQ(0, Call(manager, ZELRM_OP_CLEAR_OWNER, block, {}, 0, {}, 0, 0).status);
    ASSERT_EQ(0, Call(manager, ZELRM_OP_SET_OWNER, block, name, -1, {}, 0, 0).status);
    ASSERT_EQ(0, Close(manager, block));
    // Access 0: no access at all without the name.
    EXPECT_EQ(51, Open(manager, block, "/o.btr"));
}

TEST(OpenModeTest, ReadOnlyAndExclusive) {
    FaultyFileSystem fs;
    RecordManager manager(fs);
    Block first, second;
    ASSERT_EQ(0, Create(manager, "/m.btr", PeopleSpec()));
    ASSERT_EQ(0, Open(manager, first, "/m.btr", ZELRM_MODE_READ_ONLY));
    EXPECT_EQ(46, Insert(manager, first, Person(1, "a")));
    EXPECT_EQ(88, Open(manager, second, "/m.btr", ZELRM_MODE_EXCLUSIVE));
    ASSERT_EQ(0, Close(manager, first));
    ASSERT_EQ(0, Open(manager, first, "/m.btr", ZELRM_MODE_EXCLUSIVE - 32));
    EXPECT_EQ(88, Open(manager, second, "/m.btr"));
    ASSERT_EQ(0, Close(manager, first));
    ASSERT_EQ(0, Open(manager, second, "/m.btr", ZELRM_MODE_VERIFY - 64));
}

TEST(OpenModeTest, AcceleratedChangesAreDurableAtClose) {
    FaultyFileSystem fs;
    {
        RecordManager manager(fs);
        Block block;
        ASSERT_EQ(0, Create(manager, "/acc.btr", PeopleSpec()));
        ASSERT_EQ(0, Open(manager, block, "/acc.btr", ZELRM_MODE_ACCELERATED));
        ASSERT_EQ(0, Insert(manager, block, Person(1, "a")));
        ASSERT_EQ(0, Close(manager, block));
        ASSERT_EQ(0, Open(manager, block, "/acc.btr", ZELRM_MODE_ACCELERATED));
        ASSERT_EQ(0, Insert(manager, block, Person(2, "b")));
        // A crash before the close loses the second insert but keeps the file whole.
        fs.ArmFault(FaultyFileSystem::Fault::kCrashAtWrite, 1);
    }
    fs.Recover(FaultyFileSystem::LossMode::kLoseAll, 1);
    RecordManager manager(fs);
    Block block;
    ASSERT_EQ(0, Open(manager, block, "/acc.btr"));
    EXPECT_EQ(1u, RecordCount(manager, block));
}

TEST(TransactionTest, AbortUndoesEveryFileAndEndKeeps) {
    FaultyFileSystem fs;
    RecordManager manager(fs);
    Block a, b, none;
    ASSERT_EQ(0, Create(manager, "/a.btr", PeopleSpec()));
    ASSERT_EQ(0, Create(manager, "/b.btr", PeopleSpec()));
    ASSERT_EQ(0, Open(manager, a, "/a.btr"));
    ASSERT_EQ(0, Open(manager, b, "/b.btr"));
    ASSERT_EQ(0, Insert(manager, a, Person(1, "keep")));
    EXPECT_EQ(39, Call(manager, ZELRM_OP_END_TRANSACTION, none, {}, 0, {}, 0, 0).status);
    EXPECT_EQ(39, Call(manager, ZELRM_OP_ABORT_TRANSACTION, none, {}, 0, {}, 0, 0).status);
    ASSERT_EQ(0, Call(manager, ZELRM_OP_BEGIN_TRANSACTION, none, {}, 0, {}, 0, 0).status);
    EXPECT_EQ(37, Call(manager, ZELRM_OP_BEGIN_CONCURRENT_TRANSACTION + 500, none, {}, 0, {}, 0, 0).status);
    ASSERT_EQ(0, Insert(manager, a, Person(2, "gone")));
    ASSERT_EQ(0, Insert(manager, b, Person(3, "gone")));
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_EQUAL, a, 0, Int32(1)).status);
    ASSERT_EQ(0, Delete(manager, a));
    EXPECT_EQ(1u, RecordCount(manager, a));
    ASSERT_EQ(0, Call(manager, ZELRM_OP_ABORT_TRANSACTION, none, {}, 0, {}, 0, 0).status);
    EXPECT_EQ(1u, RecordCount(manager, a));
    EXPECT_EQ(0u, RecordCount(manager, b));
    EXPECT_EQ(1, IdOf(Get(manager, ZELRM_OP_GET_FIRST, a, 0).data));
    ASSERT_EQ(0, Call(manager, ZELRM_OP_BEGIN_CONCURRENT_TRANSACTION + 200, none, {}, 0, {}, 0, 0).status);
    ASSERT_EQ(0, Insert(manager, b, Person(4, "kept")));
    // The owner name is not changed inside a transaction.
    Bytes owner{'o', 'w', 'n', 0};
    EXPECT_EQ(41, Call(manager, ZELRM_OP_SET_OWNER, b, owner, -1, owner, 4, 0).status);
    EXPECT_EQ(41, Call(manager, ZELRM_OP_CLEAR_OWNER, b, {}, 0, {}, 0, 0).status);
    ASSERT_EQ(0, Close(manager, b));
    ASSERT_EQ(0, Call(manager, ZELRM_OP_END_TRANSACTION, none, {}, 0, {}, 0, 0).status);
    ASSERT_EQ(0, Open(manager, b, "/b.btr"));
    EXPECT_EQ(1u, RecordCount(manager, b));
}

TEST_F(OperationsTest, LocksAndUnlock) {
    InsertPeople({{1, "a"}, {2, "b"}});
    EXPECT_EQ(81, Call(manager, ZELRM_OP_UNLOCK, block, {}, 0, {}, 0, 0).status);
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_FIRST + ZELRM_LOCK_SINGLE_NO_WAIT, block, 0).status);
    EXPECT_EQ(0, Call(manager, ZELRM_OP_UNLOCK, block, {}, 0, {}, 0, 0).status);
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_FIRST + ZELRM_LOCK_MULTIPLE_WAIT, block, 0).status);
    std::uint32_t first = Position(manager, block);
    ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_NEXT + ZELRM_LOCK_MULTIPLE_NO_WAIT, block, 0).status);
    EXPECT_EQ(81, Call(manager, ZELRM_OP_UNLOCK, block, Int32(12345), -1, {}, 0, -1).status);
    EXPECT_EQ(0, Call(manager, ZELRM_OP_UNLOCK, block, Int32(first), -1, {}, 0, -1).status);
    EXPECT_EQ(81, Call(manager, ZELRM_OP_UNLOCK, block, Int32(first), -1, {}, 0, -1).status);
    EXPECT_EQ(0, Call(manager, ZELRM_OP_UNLOCK, block, {}, 0, {}, 0, -2).status);
    EXPECT_EQ(6, Call(manager, ZELRM_OP_UNLOCK, block, {}, 0, {}, 0, -3).status);
}

TEST_F(OperationsTest, ResetClosesEverything) {
    InsertPeople({{1, "a"}});
    Block none;
    ASSERT_EQ(0, Call(manager, ZELRM_OP_BEGIN_TRANSACTION, none, {}, 0, {}, 0, 0).status);
    ASSERT_EQ(0, Insert(manager, block, Person(2, "b")));
    ASSERT_EQ(0, Call(manager, ZELRM_OP_RESET, none, {}, 0, {}, 0, 0).status);
    EXPECT_EQ(3, Get(manager, ZELRM_OP_GET_FIRST, block, 0).status);
    EXPECT_EQ(39, Call(manager, ZELRM_OP_END_TRANSACTION, none, {}, 0, {}, 0, 0).status);
    ASSERT_EQ(0, Open(manager, block, kPath));
    EXPECT_EQ(1u, RecordCount(manager, block));
}

}  // namespace
}  // namespace zelmor::engine::testing
