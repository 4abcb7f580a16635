#include <gtest/gtest.h>

#include <fstream>

#include "core/DictionaryLoader.h"
#include "core/RecordOperations.h"
#include "core/TableFiles.h"
#include "core/tests/RecordingRecordManager.h"
#include "core/tests/SampleDictionary.h"
#include "core/tests/TestDirectory.h"
#include "platform/CodePage.h"
#include "platform/RecordingPlatform.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

class TableFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteSampleDictionary(directory.Path());
        ASSERT_EQ(LoadDictionaryFull(directory.Path(), context), 0);
    }
    void TearDown() override {
        if (context) CloseAllTables(*context);
    }
    TableDef& Table(int index) { return context->tables[static_cast<std::size_t>(index)]; }
    // The directory as table paths name it: its short form on Windows.
    std::string ShortDirectory() {
        std::string shortPath;
        EXPECT_TRUE(platform.ShortenPath(directory.Path(), shortPath));
        return shortPath;
    }

    TestDirectory directory;
    platform::RecordingPlatform platform;
    platform::ScopedPlatform platformScope{platform};
    std::unique_ptr<FormContext> context;
};

}  // namespace

TEST_F(TableFilesTest, PathRules) {
    std::string dir = ShortDirectory();
    struct Case {
        std::string location;
        std::string expected;
    } cases[] = {
        {"CUSTOMER", dir + "\\CUSTOMER.btr"},
        {"orders.dat", dir + "\\orders.dat"},
        {"sub\\file", dir + "\\sub\\file.btr"},
        {"C:\\data\\x.btr", "C:\\data\\x.btr"},
        {"d:file", "d:file"},
        {"\\\\server\\share\\f", "\\\\server\\share\\f"},
    };
    for (const Case& c : cases) {
        std::string path;
        ASSERT_TRUE(BuildTablePath(directory.Path(), c.location, path));
        EXPECT_EQ(path, c.expected) << c.location;
    }
    std::string path;
    EXPECT_FALSE(BuildTablePath(directory.File("missing"), "CUSTOMER", path));
}

TEST_F(TableFilesTest, OpenModesMapToTheRecordManagersModes) {
    struct Case {
        int mode;
        int expected;
    } cases[] = {{0, 0}, {1, -1}, {2, -2}, {3, -3}, {4, -4}, {5, -32}, {6, -64}, {7, 0}, {-1, 0}};
    for (const Case& c : cases) EXPECT_EQ(RecordManagerOpenMode(c.mode), c.expected) << c.mode;
}

TEST_F(TableFilesTest, CreateWritesTheSpecificationFromTheDictionary) {
    RecordingRecordManager recorder;
    ASSERT_EQ(CreateTableFile(*context, Table(0)), 0);
    ASSERT_EQ(recorder.calls.size(), 1u);
    const RecordedCall& create = recorder.Last();
    EXPECT_EQ(create.operation, 14);
    EXPECT_EQ(create.keyNumber, 0);
    std::string path(create.key.begin(), create.key.end());
    EXPECT_EQ(path, ShortDirectory() + "\\CUSTOMER.btr");
    // Header and three key specifications (a two-segment key and two single keys).
    ASSERT_EQ(create.dataLength, 16u + 3 * 16);
    const std::vector<std::uint8_t>& spec = create.data;
    EXPECT_EQ(spec[0] | spec[1] << 8, 51);    // record length
    EXPECT_EQ(spec[2] | spec[3] << 8, 4096);  // page size
    EXPECT_EQ(spec[4] | spec[5] << 8, 2);     // keys: three segments, one continues
    EXPECT_EQ(spec[10] | spec[11] << 8, 130); // file flags
    const std::uint8_t* kind = &spec[32];
    EXPECT_EQ(kind[0] | kind[1] << 8, 35);  // 1-based position
    EXPECT_EQ(kind[2] | kind[3] << 8, 2);
    EXPECT_EQ(kind[4] | kind[5] << 8, 0x111);
    EXPECT_EQ(kind[10], kString);
    EXPECT_EQ(spec[16 + 10], kInteger);
    EXPECT_TRUE(platform.FileExists(directory.File("CUSTOMER.btr")));
}

TEST_F(TableFilesTest, VariableLengthTablesGetTheFlagAndTheirFixedPart) {
    RecordingRecordManager recorder;
    ASSERT_EQ(CreateTableFile(*context, Table(2)), 0);  // Memo: a Note after 14 fixed bytes
    const std::vector<std::uint8_t>& memo = recorder.Last().data;
    EXPECT_EQ(memo[0] | memo[1] << 8, 14);
    EXPECT_EQ(memo[10] | memo[11] << 8, 131);
    ASSERT_EQ(CreateTableFile(*context, Table(3)), 0);  // Pictures: Blob values after 28 bytes
    const std::vector<std::uint8_t>& pictures = recorder.Last().data;
    EXPECT_EQ(pictures[0] | pictures[1] << 8, 28);
    EXPECT_EQ(pictures[10] | pictures[11] << 8, 131);
}

TEST_F(TableFilesTest, OpenPassesOwnerPathAndModeAndChecksTheFile) {
    ASSERT_EQ(CreateTableFile(*context, Table(1)), 0);
    RecordingRecordManager recorder;
    ASSERT_EQ(OpenTable(*context, Table(1), "", kOpenAccel), 0);
    EXPECT_TRUE(Table(1).open);
    EXPECT_FALSE(Table(1).variableLength);
    EXPECT_EQ(Table(1).record.size(), 11u);  // record length + 1
    const RecordedCall& open = recorder.calls[0];
    EXPECT_EQ(open.operation, 0);
    EXPECT_EQ(open.dataLength, 0u);  // no owner name
    EXPECT_EQ(open.keyNumber, -1);
    EXPECT_EQ(std::string(open.key.begin(), open.key.end()), ShortDirectory() + "\\orders.dat");
    EXPECT_EQ(recorder.calls[1].operation, 15);
    ASSERT_EQ(CloseTable(Table(1)), 0);
    EXPECT_FALSE(Table(1).open);
    EXPECT_TRUE(Table(1).record.empty());
    EXPECT_EQ(CloseTable(Table(1)), 3);  // the record manager's "not open"
}

TEST_F(TableFilesTest, RecordLengthMismatchReportsAndLeavesTheTableClosed) {
    ASSERT_EQ(CreateTableFile(*context, Table(1)), 0);
    Table(1).recordLength = 12;  // the dictionary now disagrees with the file (10)
    RecordingRecordManager recorder;
    EXPECT_EQ(OpenTable(*context, Table(1), "", kOpenNormal), 0);
    EXPECT_FALSE(Table(1).open);
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.MessagesUtf8()[0],
              "VE806 BtrieveﾌｧｲﾙとDDFファイルの定義が合致していません。(file=Orders,Btrieve=10,DDF=12)");
    EXPECT_EQ(DbAccessByID(Table(1), 12, 0), rc::kNotOpen);
    // The record manager's file was closed again, not left behind the closed table.
    EXPECT_EQ(recorder.Last().operation, 1);
    EXPECT_EQ(recorder.Last().status, 0);
}

TEST_F(TableFilesTest, VariableLengthFileOpensWhateverItsLength) {
    ASSERT_EQ(CreateTableFile(*context, Table(2)), 0);
    ASSERT_EQ(OpenTable(*context, Table(2), "", kOpenNormal), 0);
    EXPECT_TRUE(Table(2).open);
    EXPECT_TRUE(Table(2).variableLength);
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(TableFilesTest, OpenFailuresAreTheRecordManagersStatus) {
    // No file yet: the record manager's "file not found"; the table stays closed.
    EXPECT_EQ(OpenTable(*context, Table(0), "", kOpenNormal), 12);
    EXPECT_FALSE(Table(0).open);
    EXPECT_TRUE(Table(0).record.empty());
    context->directory = directory.File("missing");
    EXPECT_EQ(OpenTable(*context, Table(0), "", kOpenNormal), rc::kCannotShortenPath);
}

TEST_F(TableFilesTest, OwnerNameIsPassedWithItsTerminator) {
    ASSERT_EQ(CreateTableFile(*context, Table(1)), 0);
    RecordingRecordManager recorder;
    OpenTable(*context, Table(1), "secret", kOpenNormal);
    EXPECT_EQ(recorder.calls[0].dataLength, 7u);
    EXPECT_EQ(std::string(recorder.calls[0].data.begin(), recorder.calls[0].data.end()),
              std::string("secret", 7));
}

TEST_F(TableFilesTest, AutomaticOpeningCreatesMissingFiles) {
    for (TableDef& table : context->tables) {
        EXPECT_EQ(OpenTableCreatingFile(*context, table, "", kOpenNormal), 0) << table.name;
        EXPECT_TRUE(table.open);
    }
    EXPECT_TRUE(platform.FileExists(directory.File("orders.dat")));
    EXPECT_EQ(OpenTableCreatingFile(*context, Table(0), "", kOpenNormal), 0);  // already open
    CloseAllTables(*context);
    for (const TableDef& table : context->tables) EXPECT_FALSE(table.open);
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(TableFilesTest, AutomaticOpeningReportsAnOpenFailure) {
    {
        // A file that is not one of the record manager's stands where the table's file belongs.
        std::ofstream foreign(directory.File("orders.dat"), std::ios::binary);
        foreign << std::string(5000, 'x');
    }
    int status = OpenTableCreatingFile(*context, Table(1), "", kOpenNormal);
    EXPECT_NE(status, 0);
    EXPECT_FALSE(Table(1).open);
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.MessagesUtf8()[0],
              "VE803 Btrieveファイル Orders のオープンに失敗。(" + std::to_string(status) + ")");
}

TEST_F(TableFilesTest, Renaming) {
    EXPECT_EQ(SetTableLocation(Table(0), std::string(66, 'a')), 0);
    EXPECT_EQ(SetTableLocation(Table(0), std::string(67, 'a')), rc::kBadLength);
    EXPECT_EQ(SetTableLocation(Table(0), "NEWNAME"), 0);
    EXPECT_EQ(Table(0).location, "NEWNAME");
    ASSERT_EQ(OpenTableCreatingFile(*context, Table(0), "", kOpenNormal), 0);
    EXPECT_TRUE(platform.FileExists(directory.File("NEWNAME.btr")));
    EXPECT_EQ(SetTableLocation(Table(0), "OTHER"), rc::kAlreadyOpen);
}
