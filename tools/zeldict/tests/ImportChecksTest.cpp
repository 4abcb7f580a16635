// What zeldict refuses rather than store or do wrongly, through the built program: cells that
// would not come back as written, text in the wrong encoding, broken CSV, conditions with text
// nobody reads, schemas that would make broken databases, and the messages of failures.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/tests/TestDirectory.h"
#include "tools/zeldict/tests/RunTool.h"

using namespace zelmor::testing;

namespace {

class ImportChecksTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Run({"create", Sample("schema.json"), Db()}).exitCode, 0);
    }
    ToolRun Run(const std::vector<std::string>& arguments) {
        return RunZeldict(arguments, work.Path());
    }
    std::string Sample(const std::string& name) {
        return (std::filesystem::path(SamplesDirectory()) / "sales" / name).string();
    }
    std::string Db() { return work.File("db"); }
    // A CSV file of the given bytes in the work folder.
    std::string Csv(const std::string& name, const std::string& content) {
        WriteWholeFile(work.File(name), content);
        return work.File(name);
    }
    ToolRun Import(const std::string& csv, std::vector<std::string> options = {}) {
        std::vector<std::string> arguments = {"import", Db(), "Customer", csv};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return Run(arguments);
    }
    std::string Codes() { return Run({"export", Db(), "Customer", "--fields", "Code"}).out; }

    TestDirectory work;
};

}  // namespace

TEST_F(ImportChecksTest, CellsThatWouldNotComeBackFailTheirRows) {
    struct Case {
        const char* row;      // Code,Name,Joined,Credit,Active
        const char* refusal;  // the message's end; nullptr: the row goes in
    } cases[] = {
        {"1,Plain,2021/01/01,1.5,1", nullptr},
        {" +0013 ,Blanks,2020/2/29,-0012.50,0", nullptr},
        {"99999999999,B,,,", "field \"Code\": \"99999999999\" does not fit in the field (4 bytes)"},
        {"2147483648,C,,,", "does not fit in the field (4 bytes)"},
        {"12x,D,,,", "field \"Code\": \"12x\" is not a whole number"},
        {"3,E,2021/13/45,,", "field \"Joined\": \"2021/13/45\" is not a date (yyyy/mm/dd)"},
        {"4,F,2021/02/30,,", "is not a date (yyyy/mm/dd)"},
        {"5,G,31/12/2021,,", "is not a date (yyyy/mm/dd)"},
        {"6,H,yesterday,,", "is not a date (yyyy/mm/dd)"},
        {"7,I,,1234567890.00,", "field \"Credit\": \"1234567890.00\" does not fit"},
        {"8,J,,1e3,", "field \"Credit\": \"1e3\" is not a number"},
        {"9,K,,1.999,", "\"1.999\" has more than the field's 2 decimal places"},
        {"10,ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEF,,,", "is 32 bytes; the field holds 30"},
        {"11,L,,,yes", "field \"Active\": \"yes\" is not 0 or 1"},
        {"12,M,,,true", "\"true\" is not 0 or 1"},
    };
    std::string csv = "Code,Name,Joined,Credit,Active\n";
    for (const Case& c : cases) csv += std::string(c.row) + "\n";
    ToolRun run = Import(Csv("cells.csv", csv));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("15 rows read, 2 inserted, 13 failed"), std::string::npos) << run.out;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::string place = "cells.csv:" + std::to_string(i + 2) + ": ";
        if (cases[i].refusal == nullptr) {
            EXPECT_EQ(run.err.find(place), std::string::npos) << run.err;
        } else {
            const std::size_t at = run.err.find(place);
            ASSERT_NE(at, std::string::npos) << cases[i].row << "\n" << run.err;
            EXPECT_NE(run.err.substr(at, run.err.find('\n', at) - at).find(cases[i].refusal),
                      std::string::npos)
                << run.err;
        }
    }
    EXPECT_EQ(Run({"export", Db(), "Customer", "--fields", "Code,Name,Joined,Credit,Active"}).out,
              "Code,Name,Joined,Credit,Active\r\n1,Plain,2021/01/01,1.50,1\r\n"
              "13,Blanks,2020/02/29,-12.50,0\r\n");
}

TEST_F(ImportChecksTest, LenientAndAtomicImports) {
    const std::string csv = Csv("two.csv", "Code,Name\n21,a\nxx,b\n");
    ToolRun atomic = Import(csv, {"--atomic"});
    EXPECT_EQ(atomic.exitCode, 1);
    EXPECT_NE(atomic.err.find("nothing stored: 1 of 2 rows failed (--atomic)"), std::string::npos)
        << atomic.err;
    EXPECT_EQ(Codes(), "Code\r\n");
    ToolRun lenient = Import(csv, {"--lenient"});
    EXPECT_EQ(lenient.exitCode, 0) << lenient.err;
    EXPECT_EQ(Codes(), "Code\r\n0\r\n21\r\n");  // "xx" converted as the library converts it
}

TEST_F(ImportChecksTest, TextInTheWrongEncodingIsRefusedWithAHint) {
    const std::string utf8 = "Code,Name\n31,山田\n";
    const std::string shiftJis = "Code,Name\n31,\x8E\x52\x93\x63\n";  // 山田 in code page 932
    struct Case {
        std::string content;
        std::vector<std::string> options;
        int exitCode;
        const char* message;  // nullptr: stored
    } cases[] = {
        {shiftJis, {}, 1, "column 2 (\"Name\") is not UTF-8 at byte 1; for a Shift-JIS file use "
                          "--encoding cp932"},
        {utf8, {"--encoding", "cp932"}, 1, "looks like UTF-8, not Shift-JIS"},
        {"Code,Name\n31,\xE2\x82\xACuro\n", {}, 1,
         "holds a character that code page 932 cannot store"},
        {"\xEF\xBB\xBF" + utf8, {"--encoding", "cp932"}, 1, "byte-order mark"},
        {"\xEF\xBB\xBF" + utf8, {}, 0, nullptr},
        {shiftJis, {"--encoding", "cp932"}, 0, nullptr},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Run({"create", Sample("schema.json"), Db(), "--force"}).exitCode, 0);
        ToolRun run = Import(Csv("text.csv", c.content), c.options);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        if (c.message) {
            EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
            EXPECT_EQ(Codes(), "Code\r\n");
        } else {
            EXPECT_EQ(Run({"export", Db(), "Customer", "--fields", "Code,Name"}).out,
                      "Code,Name\r\n31,山田\r\n");
        }
    }
}

TEST_F(ImportChecksTest, BrokenFilesAreReportedAndCountedAsTheyAre) {
    struct Case {
        std::string content;
        const char* summary;  // on standard output; nullptr for none
        const char* message;
    } cases[] = {
        {"Code,Name\n41,a\n42,\"open\n43,b\n", "2 rows read, 1 inserted, 1 failed",
         "quoted.csv:3: a quoted field runs to the end of the file"},
        {"Code,Name\n41,a,extra\n42,\"open\n", "2 rows read, 0 inserted, 2 failed",
         "quoted.csv:2: 3 cells where the header has 2"},
        {"", nullptr, "quoted.csv is empty; its first line must name the fields"},
        {"Code,Nmae\n1,a\n", nullptr, "quoted.csv:1: the table has no field \"Nmae\""},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Run({"create", Sample("schema.json"), Db(), "--force"}).exitCode, 0);
        ToolRun run = Import(Csv("quoted.csv", c.content));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        if (c.summary) {
            EXPECT_NE(run.out.find(c.summary), std::string::npos) << run.out;
        }
    }
    EXPECT_EQ(Codes(), "Code\r\n");
    ToolRun folder = Import(work.Path());
    EXPECT_EQ(folder.exitCode, 1);
    EXPECT_NE(folder.err.find("is a folder, not a CSV file"), std::string::npos) << folder.err;
    ToolRun missing = Run({"tables", work.File("nothing")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("nothing: no such folder"), std::string::npos) << missing.err;
}

TEST_F(ImportChecksTest, ConditionsWithTextNobodyReadsAreRefused) {
    ASSERT_EQ(Import(Sample("Customer.csv")).exitCode, 0);
    ToolRun ignored = Run({"export", Db(), "Customer", "--fields", "Code", "--where",
                           "@Code = 1001 and @Kind = B"});
    EXPECT_EQ(ignored.exitCode, 1);
    EXPECT_EQ(ignored.out, "");
    EXPECT_NE(ignored.err.find("\"and @Kind = B\" was not understood"), std::string::npos)
        << ignored.err;
    ToolRun joined = Run({"export", Db(), "Customer", "--fields", "Code", "--where",
                          "@Code = 1001 | @Kind = B "});
    EXPECT_EQ(joined.exitCode, 0) << joined.err;
    EXPECT_EQ(joined.out, "Code\r\n1001\r\n1002\r\n1005\r\n");
}

TEST_F(ImportChecksTest, SchemasThatWouldMakeBrokenDatabasesAreRefusedBeforeWriting) {
    struct Case {
        const char* tables;  // the "tables" list
        const char* message;
    } cases[] = {
        {R"([{"name": "A", "location": "X", "fields": [{"name": "F", "type": "Integer"}]},
             {"name": "B", "location": "x", "fields": [{"name": "F", "type": "Integer"}]}])",
         "table \"B\": the location \"x\" is already that of table \"A\""},
        {R"([{"name": "A", "fields": [{"name": "F", "type": "Money", "size": 2, "decimals": 4}]}])",
         "field \"F\": 4 decimals, but a Money of 2 bytes holds 3 digits"},
        {R"([{"name": "A", "fields": [{"name": "F", "type": "Integer"}],
              "keys": [{"segments": [{"field": "F"}], "duplicate": true}]}])",
         "table \"A\", key 0: unknown member \"duplicate\""},
        {R"([{"name": "A", "fields": [{"name": "F", "type": "Integer", "sise": 2}]}])",
         "table \"A\", field \"F\": unknown member \"sise\""},
        {R"([{"name": "A", "location": "nofolder/A", "fields": [{"name": "F", "type": "Integer"}]}])",
         "table \"A\": the folder of its location \"nofolder/A\" does not exist"},
    };
    for (const Case& c : cases) {
        const std::string schema = work.File("bad.json");
        WriteWholeFile(schema, std::string("{\"tables\": ") + c.tables + "}");
        const std::string folder = work.File("broken");
        ToolRun run = Run({"create", schema, folder});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(folder) / "FILE.DDF"));
    }
    ASSERT_EQ(Import(Sample("Customer.csv")).exitCode, 0);
    ToolRun forced = Run({"create", Sample("schema.json"), Db(), "--force"});
    EXPECT_EQ(forced.exitCode, 0);
    EXPECT_NE(forced.err.find("replacing table \"Customer\" with its 6 records"),
              std::string::npos)
        << forced.err;
}
