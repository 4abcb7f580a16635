#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "core/tests/TestDirectory.h"
#include "tools/zeldict/tests/RunTool.h"

using namespace zelmor::testing;

namespace {

const char* kTables[] = {"Customer", "Product", "Orders", "OrderLine"};

class ZeldictTest : public ::testing::Test {
protected:
    ToolRun Run(const std::vector<std::string>& arguments) {
        return RunZeldict(arguments, work.Path());
    }
    std::string Sample(const std::string& name) {
        return (std::filesystem::path(SamplesDirectory()) / "sales" / name).string();
    }
    // Creates the sample database in `directory` and imports every sample CSV.
    void CreateSample(const std::string& directory) {
        ToolRun created = Run({"create", Sample("schema.json"), directory});
        ASSERT_EQ(created.exitCode, 0) << created.err;
        for (const char* table : kTables) {
            ToolRun imported = Run({"import", directory, table, Sample(std::string(table) + ".csv")});
            ASSERT_EQ(imported.exitCode, 0) << table << ": " << imported.err;
        }
    }
    std::string Database(const std::string& name) { return work.File(name); }

    TestDirectory work;
};

}  // namespace

TEST_F(ZeldictTest, CreatesAndDescribesTheSampleDatabase) {
    CreateSample(Database("sales"));
    ToolRun tables = Run({"tables", Database("sales")});
    ASSERT_EQ(tables.exitCode, 0);
    EXPECT_NE(tables.out.find("0\tCustomer\tCUSTOMER\t295\t10\t3"), std::string::npos) << tables.out;
    EXPECT_NE(tables.out.find("3\tOrderLine\tORDLINE\t20\t5\t2"), std::string::npos);
    ToolRun described = Run({"describe", Database("sales"), "Customer"});
    ASSERT_EQ(described.exitCode, 0);
    EXPECT_NE(described.out.find("9\tMemo\tNote\t95\t200\t0\tyes"), std::string::npos);
    EXPECT_NE(described.out.find("1\tByKindName\tKind+Name(desc)\t0x0143"), std::string::npos);
    for (const char* file : {"CUSTOMER.btr", "PRODUCT.btr", "ORDERS.btr", "ORDLINE.btr"}) {
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(Database("sales")) / file))
            << file;
    }
}

TEST_F(ZeldictTest, ExportImportExportGivesTheSameCsv) {
    CreateSample(Database("first"));
    ASSERT_EQ(Run({"create", Sample("schema.json"), Database("second")}).exitCode, 0);
    for (const char* table : kTables) {
        ToolRun exported = Run({"export", Database("first"), table});
        ASSERT_EQ(exported.exitCode, 0) << exported.err;
        std::string csv = work.File(std::string(table) + ".csv");
        WriteWholeFile(csv, exported.out);
        ToolRun imported = Run({"import", Database("second"), table, csv});
        ASSERT_EQ(imported.exitCode, 0) << imported.err;
        ToolRun again = Run({"export", Database("second"), table});
        EXPECT_EQ(again.out, exported.out) << table;
    }
    // Every row of the samples made it, Japanese texts and embedded line breaks included.
    std::string customers = Run({"export", Database("second"), "Customer"}).out;
    EXPECT_NE(customers.find("1001,山田商店,ヤマダショウテン,A,03-1234-5678,2003/04/01,150000,1,3,"
                             "\"老舗の小売店。\n毎月発注あり。\""),
              std::string::npos)
        << customers;
    EXPECT_NE(customers.find("\"Suzuki, Ltd.\""), std::string::npos);
}

// Values far longer than the library hands to a control (a Blob of 10,000 bytes) leave and
// come back whole.
TEST_F(ZeldictTest, LongValuesAreExportedWhole) {
    ASSERT_EQ(Run({"create", Sample("schema.json"), Database("long")}).exitCode, 0);
    const std::string picture(10000, 'p');
    std::string csv = work.File("long.csv");
    WriteWholeFile(csv, "Id,Sku,Picture\n7,P-7," + picture + "\n");
    ASSERT_EQ(Run({"import", Database("long"), "Product", csv}).exitCode, 0);
    ToolRun exported = Run({"export", Database("long"), "Product", "--fields", "Id,Picture"});
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    EXPECT_EQ(exported.out, "Id,Picture\r\n7," + picture + "\r\n");
}

TEST_F(ZeldictTest, ExportAlongAKeyWithChosenFieldsAndEncodings) {
    CreateSample(Database("sales"));
    ToolRun byKind =
        Run({"export", Database("sales"), "Customer", "--key", "ByKindName", "--fields", "Code,Kind"});
    ASSERT_EQ(byKind.exitCode, 0);
    EXPECT_EQ(byKind.out, "Code,Kind\r\n1001,A\r\n1003,A\r\n1005,B\r\n1002,B\r\n1004,C\r\n1006,C\r\n");
    ToolRun cp932 = Run({"export", Database("sales"), "Customer", "--fields", "Name", "--encoding",
                         "cp932"});
    EXPECT_NE(cp932.out.find("\x8E\x52\x93\x63"), std::string::npos);  // 山田 in code page 932
    EXPECT_EQ(Run({"export", Database("sales"), "Customer", "--key", "Nope"}).exitCode, 1);
    EXPECT_EQ(Run({"export", Database("sales"), "Customer", "--fields", "Code,Nope"}).exitCode, 1);
    EXPECT_EQ(Run({"export", Database("sales"), "Customer", "--encoding", "latin1"}).exitCode, 2);
}

TEST_F(ZeldictTest, ImportReportsFailingRowsAndKeepsTheOthers) {
    ASSERT_EQ(Run({"create", Sample("schema.json"), Database("sales")}).exitCode, 0);
    std::string csv = work.File("rows.csv");
    WriteWholeFile(csv, "Code,Name,Kind\n1,Ann,A\n1,Dup,A\n2,Bob\n3,\"Cy\nril\",B\n");
    ToolRun imported = Run({"import", Database("sales"), "Customer", csv});
    EXPECT_EQ(imported.exitCode, 1);
    EXPECT_NE(imported.err.find("rows.csv:3: キ－の値が重複しています。"), std::string::npos) << imported.err;
    EXPECT_NE(imported.err.find("rows.csv:4: 2 cells where the header has 3"), std::string::npos);
    ToolRun exported = Run({"export", Database("sales"), "Customer", "--fields", "Code,Name"});
    EXPECT_EQ(exported.out, "Code,Name\r\n1,Ann\r\n3,\"Cy\nril\"\r\n");
    WriteWholeFile(csv, "Code,Nope\n5,x\n");
    EXPECT_EQ(Run({"import", Database("sales"), "Customer", csv}).exitCode, 1);

    // One column: a blank line is skipped, a row of one empty cell is a row (code 0).
    ASSERT_EQ(Run({"create", Sample("schema.json"), Database("single")}).exitCode, 0);
    WriteWholeFile(csv, "Code\n5\n\n\"\"\n6\n");
    ToolRun single = Run({"import", Database("single"), "Customer", csv});
    EXPECT_EQ(single.exitCode, 0) << single.err;
    EXPECT_EQ(Run({"export", Database("single"), "Customer", "--fields", "Code"}).out,
              "Code\r\n0\r\n5\r\n6\r\n");
}

TEST_F(ZeldictTest, DumpShowsPositionsAndRecordImages) {
    CreateSample(Database("sales"));
    ToolRun dumped = Run({"dump", Database("sales"), "OrderLine"});
    ASSERT_EQ(dumped.exitCode, 0);
    std::regex line("[0-9]+\t[0-9a-f]{40}\r?\n");
    std::size_t lines = 0;
    for (std::sregex_iterator it(dumped.out.begin(), dumped.out.end(), line), end; it != end; ++it) {
        ++lines;
    }
    EXPECT_EQ(lines, 6u) << dumped.out;
    // OrderNo 1, Line 1, ProductId 1, Qty 50, Price 120.00 as a 64-bit 12000.
    EXPECT_NE(dumped.out.find("010000000100010000003200e02e000000000000"), std::string::npos);
}

TEST_F(ZeldictTest, CheckFindsADamagedTable) {
    CreateSample(Database("sales"));
    ToolRun good = Run({"check", Database("sales")});
    EXPECT_EQ(good.exitCode, 0) << good.err;
    EXPECT_NE(good.out.find("Customer: ok"), std::string::npos);
    // Overwrite the middle of every page after the header of the Customer file.
    std::string path = (std::filesystem::path(Database("sales")) / "CUSTOMER.btr").string();
    std::string bytes = ReadWholeFile(path);
    ASSERT_GT(bytes.size(), 8192u);
    for (std::size_t page = 4096; page + 4096 <= bytes.size(); page += 4096) {
        for (std::size_t i = 200; i < 400; ++i) bytes[page + i] = '\x5A';
    }
    WriteWholeFile(path, bytes);
    ToolRun damaged = Run({"check", Database("sales"), "Customer"});
    EXPECT_EQ(damaged.exitCode, 1) << damaged.out << damaged.err;
    EXPECT_EQ(damaged.out.find("Customer: ok"), std::string::npos);
}

TEST_F(ZeldictTest, RefusesBadSchemasBeforeWritingAnything) {
    // 120 keys on one field: one more than the record manager takes.
    std::string manyKeys = R"({"tables":[{"name":"T","fields":[{"name":"A","type":"Date"}],"keys":[)";
    for (int k = 0; k < 120; ++k)
        manyKeys += std::string(k ? "," : "") + R"({"segments":[{"field":"A"}],"duplicates":true})";
    manyKeys += "]}]}";
    struct Case {
        std::string schema;
        const char* message;
    } cases[] = {
        {manyKeys, "table \"T\": has more than 119 keys or key segments"},
        {R"({"tables":[{"name":"T","fields":[{"name":"A","type":"Integer","size":4294967300}]}]})",
         "table \"T\", field \"A\": size must be between 0 and 65535"},
        {R"({"tables":[{"name":"T","fields":[{"name":"A","type":"Strin","size":4}]}]})",
         "table \"T\", field \"A\": unknown type \"Strin\""},
        {R"({"tables":[{"name":"T","fields":[{"name":"A","type":"Integer"},{"name":"A","type":"Date"}]}]})",
         "table \"T\", field \"A\": the name is used twice"},
        {R"({"tables":[{"name":"T","fields":[{"name":"A","type":"Date"}]},{"name":"T","fields":[{"name":"B","type":"Date"}]}]})",
         "table \"T\": the name is used twice"},
        {R"({"tables":[{"name":"T","fields":[{"name":"ABCDEFGHIJKLMNOPQRSTU","type":"Date"}]}]})",
         "field \"ABCDEFGHIJKLMNOPQRSTU\": name is longer than 20 bytes"},
        {R"({"tables":[{"name":"T","fields":[{"name":"A","type":"Integer","size":4},{"name":"B","type":"Date","offset":2}]}]})",
         "table \"T\", field \"B\": overlaps field \"A\""},
        {R"({"tables":[{"name":"T","fields":[{"name":"A","type":"Date"}],"keys":[{"segments":[{"field":"Z"}]}]}]})",
         "table \"T\", field \"Z\": key 0 names a field the table does not have"},
        {R"({"tables":[{"name":"T","fields":[{"name":"A","type":"Date"},{"name":"N","type":"Note","size":10}],"keys":[{"segments":[{"field":"N"}]}]}]})",
         "table \"T\", field \"N\": a Note field cannot be part of a key"},
        {R"({"tables":[{"name":"T","fields":[{"name":"A","type":"String","size":200},{"name":"B","type":"String","size":60}],"keys":[{"segments":[{"field":"A"},{"field":"B"}]}]}]})",
         "table \"T\": key 0 is longer than 255 bytes"},
        {R"({"tables":[{"name":"T","fields":[{"name":"A","type":"Integer","size":3}]}]})",
         "table \"T\", field \"A\": a Integer cannot have size 3"},
        {R"({"tables": 5})", "the schema needs a list \"tables\""},
        {R"({"tables": [)", "not a valid schema"},
    };
    int n = 0;
    for (const Case& c : cases) {
        std::string schema = work.File("bad" + std::to_string(n) + ".json");
        std::string directory = work.File("bad" + std::to_string(n++));
        WriteWholeFile(schema, c.schema);
        ToolRun run = Run({"create", schema, directory});
        EXPECT_EQ(run.exitCode, 1) << c.schema;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(directory) / "FILE.DDF"));
    }
}

TEST_F(ZeldictTest, RefusesToReplaceADictionaryUnlessForced) {
    ASSERT_EQ(Run({"create", Sample("schema.json"), Database("sales")}).exitCode, 0);
    EXPECT_EQ(Run({"create", Sample("schema.json"), Database("sales")}).exitCode, 1);
    EXPECT_EQ(Run({"create", Sample("schema.json"), Database("sales"), "--force"}).exitCode, 0);
}

TEST_F(ZeldictTest, UsageAndHelp) {
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
    } cases[] = {
        {{}, 2},
        {{"--help"}, 0},
        {{"frobnicate"}, 2},
        {{"tables"}, 2},
        {{"export", "a"}, 2},
        {{"import", "--help"}, 0},
        {{"check", "--help"}, 0},
        {{"tables", "/no/such/dir"}, 1},
        {{"export", "a", "T", "--feilds", "Code"}, 2},  // a misspelt option is not ignored
        {{"import", "a", "T", "f.csv", "--force"}, 2},   // an option of another command
    };
    for (const Case& c : cases) {
        ToolRun run = Run(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << (c.arguments.empty() ? "" : c.arguments[0]);
    }
    EXPECT_NE(Run({"--help"}).out.find("create SCHEMA.json DIR"), std::string::npos);
}
