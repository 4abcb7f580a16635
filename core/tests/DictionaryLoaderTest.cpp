#include <gtest/gtest.h>

#include "core/DictionaryLoader.h"
#include "core/tests/RecordingRecordManager.h"
#include "core/tests/SampleDictionary.h"
#include "core/tests/TestDirectory.h"
#include "platform/CodePage.h"
#include "platform/RecordingPlatform.h"
#include "values/GlobalOptions.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

class DictionaryLoaderTest : public ::testing::Test {
protected:
    void SetUp() override { WriteSampleDictionary(directory.Path()); }

    TestDirectory directory;
    platform::RecordingPlatform platform;
    platform::ScopedPlatform platformScope{platform};
};

GlobalOptions DelayedOptions(platform::RecordingPlatform& platform) {
    platform.SetProfile("zelmor.ini", "[zelmor320]\ndelayed_resolve=1\n");
    return GlobalOptions(platform);
}

}  // namespace

TEST_F(DictionaryLoaderTest, FullLoadReadsTablesFieldsSegmentsAndNamedIndexes) {
    std::unique_ptr<FormContext> context;
    ASSERT_EQ(LoadDictionaryFull(directory.Path(), context), 0);
    ASSERT_TRUE(context);
    EXPECT_EQ(context->directory, directory.Path());
    // The dictionary's own files are not tables.
    ASSERT_EQ(context->tables.size(), 4u);
    EXPECT_EQ(context->tables[0].name, "Customer");
    EXPECT_EQ(context->tables[1].location, "orders.dat");

    const TableDef& customer = context->tables[0];
    EXPECT_EQ(customer.fileId, 4);
    ASSERT_EQ(customer.fields.size(), 5u);  // the type 227 record is no field
    EXPECT_EQ(customer.fields[1].name, "Name");
    EXPECT_EQ(customer.fields[4].flags, kFieldNullable);
    ASSERT_EQ(customer.namedIndexes.size(), 1u);
    EXPECT_EQ(customer.namedIndexes[0].name, "ByKind");
    EXPECT_EQ(customer.recordLength, 51);  // offset 41 + size 10

    ASSERT_EQ(customer.segments.size(), 3u);
    const IndexDef& kind = customer.segments[1];
    EXPECT_EQ(kind.offset, 34);
    EXPECT_EQ(kind.length, 2);
    EXPECT_EQ(kind.dataType, kString);
    EXPECT_EQ(kind.flags, keyflag::kExtendedType | keyflag::kSegmented | keyflag::kDuplicates);
    EXPECT_EQ(kind.part, 0);
    EXPECT_EQ(customer.segments[2].part, 1);

    for (const TableDef& table : context->tables) {
        for (const FieldDef& field : table.fields) EXPECT_NE(field.name[2], '$') << field.name;
        EXPECT_FALSE(table.open);
    }
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(DictionaryLoaderTest, KeyNumbersCountTwoSegmentKeysOnce) {
    std::unique_ptr<FormContext> context;
    ASSERT_EQ(LoadDictionaryFull(directory.Path(), context), 0);
    const TableDef& customer = context->tables[0];
    struct Case {
        int segment;
        int keyNumber;
    } cases[] = {{-1, -1}, {0, 0}, {1, 1}, {2, 1}, {3, 2}};  // 2 continues key 1
    for (const Case& c : cases) EXPECT_EQ(KeyNumberOfSegment(customer, c.segment), c.keyNumber);
    EXPECT_EQ(SegmentOfKeyNumber(customer, 0), 0);
    EXPECT_EQ(SegmentOfKeyNumber(customer, 1), 1);
    EXPECT_EQ(SegmentOfKeyNumber(customer, 7), 0);  // no such key

    // The named index and the key's first field name the same key.
    EXPECT_EQ(FindKeyByName(customer, "ByKind"), 1);
    EXPECT_EQ(FindKeyByName(customer, "Kind"), 1);
    EXPECT_EQ(FindKeyByName(customer, "Code"), 0);
    EXPECT_EQ(FindKeyByName(customer, "Name"), kKeyNameNotFound);  // second segment, not a key
    EXPECT_EQ(FindKeyByName(customer, "code"), kKeyNameNotFound);  // names are exact
    EXPECT_EQ(FindKeyByName(customer, ""), kNoKey);
}

TEST_F(DictionaryLoaderTest, MissingDirectoryGivesTheReadersStatus) {
    std::unique_ptr<FormContext> context;
    int status = LoadDictionaryFull(directory.File("nosuch"), context);
    EXPECT_NE(status, 0);
    EXPECT_GT(status, 0);
    EXPECT_FALSE(context);
    EXPECT_TRUE(platform.Messages().empty());  // the caller reports it
}

TEST_F(DictionaryLoaderTest, DelayedLoadReadsTablesFirstAndDefinitionsOnUse) {
    GlobalOptions options = DelayedOptions(platform);
    ScopedOptions scope(options);
    std::unique_ptr<FormContext> context;
    ASSERT_EQ(LoadDictionary(directory.Path(), context), 0);
    ASSERT_EQ(context->tables.size(), 4u);
    TableDef& customer = context->tables[0];
    EXPECT_FALSE(customer.definitionsLoaded);
    EXPECT_TRUE(customer.fields.empty());
    EXPECT_TRUE(customer.segments.empty());

    ASSERT_EQ(ResolveTableDefinitions(*context, customer), 0);
    ASSERT_EQ(customer.fields.size(), 5u);
    EXPECT_EQ(customer.fields[4].flags, 0);  // this load keeps no field flags
    EXPECT_TRUE(customer.namedIndexes.empty());
    EXPECT_EQ(customer.segments.size(), 3u);
    EXPECT_EQ(customer.segments[1].offset, 34);
    EXPECT_EQ(customer.recordLength, 4 + 30 + 2 + 4 + 10);  // the sum of the sizes
    // Another table is resolved by itself, and only its own records are taken.
    TableDef& pictures = context->tables[3];
    ASSERT_EQ(ResolveTableDefinitions(*context, pictures), 0);
    EXPECT_EQ(pictures.fields.size(), 4u);
    EXPECT_EQ(pictures.fields[0].fileId, 7);
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(DictionaryLoaderTest, DelayedLoadReportsItsOwnFailures) {
    GlobalOptions options = DelayedOptions(platform);
    ScopedOptions scope(options);
    std::unique_ptr<FormContext> context;
    EXPECT_EQ(LoadDictionary(directory.File("nosuch"), context), -1);
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.MessagesUtf8()[0].rfind("VE028 DDFOpen APIエラー(", 0), 0u);
}

TEST_F(DictionaryLoaderTest, DelayedTablesReadTheirOwnDictionary) {
    // Two contexts loaded from two directories: each table reads its definitions from its own.
    GlobalOptions options = DelayedOptions(platform);
    ScopedOptions scope(options);
    TestDirectory other;
    std::vector<DictionaryTable> tables = SampleTables();
    tables[0].fields[1].size = 20;  // a different Customer.Name
    ASSERT_EQ(WriteDictionary(other.Path(), tables), 0);

    std::unique_ptr<FormContext> first, second;
    ASSERT_EQ(LoadDictionary(directory.Path(), first), 0);
    ASSERT_EQ(LoadDictionary(other.Path(), second), 0);
    ASSERT_EQ(ResolveTableDefinitions(*first, first->tables[0]), 0);
    EXPECT_EQ(first->tables[0].fields[1].size, 30);
}

TEST_F(DictionaryLoaderTest, CopyHasItsOwnClosedTables) {
    std::unique_ptr<FormContext> context;
    ASSERT_EQ(LoadDictionaryFull(directory.Path(), context), 0);
    context->tables[0].open = true;
    context->tables[0].variableLength = true;
    context->tables[0].record.assign(52, 7);
    std::unique_ptr<FormContext> copy = CopyFormContext(*context);
    ASSERT_TRUE(copy);
    ASSERT_EQ(copy->tables.size(), context->tables.size());
    EXPECT_FALSE(copy->tables[0].open);
    EXPECT_FALSE(copy->tables[0].variableLength);
    EXPECT_TRUE(copy->tables[0].record.empty());
    copy->tables[0].fields[0].name = "Changed";
    EXPECT_EQ(context->tables[0].fields[0].name, "Code");
    EXPECT_EQ(copy->tables[2].fields.size(), 3u);
}

// A damaged dictionary may give a field a negative size: the table still loads with a record
// length of at least zero and can be opened (and created) without an exception.
TEST_F(DictionaryLoaderTest, NegativeFieldSizesGiveNoNegativeRecord) {
    TestDirectory damaged;
    DictionaryTable table;
    table.fileId = 4;
    table.name = "Odd";
    table.location = "ODD";
    table.fields = {DictionaryField(1, "A", kInteger, 0, -40)};
    ASSERT_EQ(WriteDictionary(damaged.Path(), {table}), 0);
    std::unique_ptr<FormContext> context;
    ASSERT_EQ(LoadDictionaryFull(damaged.Path(), context), 0);
    ASSERT_EQ(context->tables.size(), 1u);
    EXPECT_GE(context->tables[0].recordLength, 0);
}
