// Exports filtered by a search condition: the records come from extended operations.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/tests/TestDirectory.h"
#include "tools/zeldict/tests/RunTool.h"

using namespace zelmor::testing;

namespace {

class ExportWhereTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::path sales = std::filesystem::path(SamplesDirectory()) / "sales";
        ASSERT_EQ(Run({"create", (sales / "schema.json").string(), work.File("db")}).exitCode, 0);
        ASSERT_EQ(Run({"import", work.File("db"), "Customer", (sales / "Customer.csv").string()})
                      .exitCode,
                  0);
    }
    ToolRun Run(const std::vector<std::string>& arguments) {
        return RunZeldict(arguments, work.Path());
    }
    TestDirectory work;
};

}  // namespace

TEST_F(ExportWhereTest, OnlyTheRecordsThatQualify) {
    struct Case {
        std::vector<std::string> options;
        std::string csv;
    } cases[] = {
        {{"--where", "@Kind = A"}, "Code\r\n1001\r\n1003\r\n"},
        {{"--where", "@Kind = B | @Code > 1005"}, "Code\r\n1002\r\n1005\r\n1006\r\n"},
        {{"--where", "@Credit >= 100000 & @Active = 1", "--key", "ByKindName"},
         "Code\r\n1001\r\n1003\r\n1005\r\n"},
        {{"--where", "@Name = \"Suzuki, Ltd.\""}, "Code\r\n1004\r\n"},
        {{"--where", "@Name = 山田商店"}, "Code\r\n1001\r\n"},
        {{"--where", "@Code > 2000"}, "Code\r\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = {"export", work.File("db"), "Customer", "--fields",
                                              "Code"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        ToolRun run = Run(arguments);
        EXPECT_EQ(run.exitCode, 0) << c.options[1] << run.err;
        EXPECT_EQ(run.out, c.csv) << c.options[1];
    }
}

TEST_F(ExportWhereTest, ARefusedConditionIsReported) {
    ToolRun run = Run({"export", work.File("db"), "Customer", "--where", "Kind = A"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("VE041"), std::string::npos) << run.err;
}
