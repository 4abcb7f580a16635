// The dictionary zeldict writes is read by the system's own loader, fully and delayed.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/DictionaryLoader.h"
#include "core/tests/TestDirectory.h"
#include "platform/CodePage.h"
#include "platform/RecordingPlatform.h"
#include "tools/zeldict/tests/RunTool.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

class LoadsWrittenDictionaryTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string schema =
            (std::filesystem::path(SamplesDirectory()) / "sales" / "schema.json").string();
        ASSERT_EQ(RunZeldict({"create", schema, directory.File("db")}, directory.Path()).exitCode,
                  0);
    }
    TestDirectory directory;
    platform::RecordingPlatform platform;
    platform::ScopedPlatform scope{platform};
};

}  // namespace

TEST_F(LoadsWrittenDictionaryTest, FullLoad) {
    std::unique_ptr<FormContext> context;
    ASSERT_EQ(LoadDictionaryFull(directory.File("db"), context), 0);
    ASSERT_EQ(context->tables.size(), 4u);
    TableDef& customer = context->tables[0];
    EXPECT_EQ(customer.name, "Customer");
    EXPECT_EQ(customer.fields.size(), 10u);
    EXPECT_EQ(customer.fields[9].flags, kFieldNullable);
    EXPECT_EQ(customer.fields[9].offset, 95);  // after its null byte at 94
    ASSERT_EQ(customer.namedIndexes.size(), 3u);
    EXPECT_EQ(FindKeyByName(customer, "ByKindName"), 1);
    EXPECT_EQ(FindKeyByName(customer, "Kind"), 1);
    EXPECT_EQ(FindKeyByName(customer, "ByKana"), 3);
    EXPECT_EQ(KeyNumberOfSegment(customer, 3), 2);
    // Every segment is typed: integers and dates sort as numbers.
    for (const IndexDef& segment : customer.segments) {
        EXPECT_NE(segment.flags & keyflag::kExtendedType, 0);
    }
    EXPECT_EQ(context->tables[2].segments[1].dataType, kInteger);
    EXPECT_EQ(context->tables[2].segments[2].dataType, kDate);
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(LoadsWrittenDictionaryTest, DelayedLoad) {
    std::unique_ptr<FormContext> context;
    ASSERT_EQ(LoadDictionaryDelayed(directory.File("db"), context), 0);
    ASSERT_EQ(context->tables.size(), 4u);
    TableDef& orders = context->tables[2];
    EXPECT_TRUE(orders.fields.empty());
    ASSERT_EQ(ResolveTableDefinitions(*context, orders), 0);
    EXPECT_EQ(orders.fields.size(), 9u);
    EXPECT_EQ(orders.segments.size(), 4u);
    EXPECT_EQ(orders.fields[8].name, "Remarks");
    EXPECT_TRUE(platform.Messages().empty());
}
