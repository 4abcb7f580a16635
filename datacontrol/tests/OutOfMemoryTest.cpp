// Running out of memory anywhere in an operation is reported (a result code and, where the
// system says so, VE001), never thrown out of the library. Each test fails the 1st, 2nd, 3rd...
// allocation of the operation in turn.
#include <gtest/gtest.h>

#include <string>

#include "binding/BindingRegistry.h"
#include "core/DictionaryLoader.h"
#include "core/TableFiles.h"
#include "core/tests/SampleDictionary.h"
#include "core/tests/TestDirectory.h"
#include "datacontrol/DataControl.h"
#include "datacontrol/tests/FakeHost.h"
#include "datacontrol/zelmor.h"
#include "extended/ExtendedFill.h"
#include "extended/ResultSets.h"
#include "platform/AllocationFailure.h"
#include "platform/RecordingPlatform.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

constexpr WindowHandle kForm = 7000;


class Lines : public ExtendedFillTarget {
public:
    void ClearLines() override { lines.clear(); }
    bool RaiseFormat(std::string&) override { return false; }
    bool AddLine(const std::string& line, std::uint32_t) override {
        lines.push_back(line);
        return true;
    }
    void RaiseBtrieveError(int status) override { errors.push_back(status); }
    std::vector<std::string> lines;
    std::vector<int> errors;
};

class OutOfMemoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteSampleDictionary(directory.Path());
        control.ddfDir = directory.Path();
        control.Initialize();
        ASSERT_NE(control.Context(), nullptr);
        for (int code = 1; code <= 6; ++code) {
            control.DbClearFieldBuffer("Customer");
            control.DbSetFieldData("Customer", "Code", std::to_string(code));
            control.DbSetFieldData("Customer", "Name", "N" + std::to_string(code));
            ASSERT_EQ(control.DbAccess(2, "Customer", "Code"), 0);
        }
        platform.Clear();
    }
    void TearDown() override { FreeAllResultSets(); }

    // A failed run either still did its work or said why.
    void ExpectReported(bool succeeded) {
        EXPECT_TRUE(succeeded || !platform.Messages().empty());
        platform.Clear();
    }

    TestDirectory directory;
    platform::RecordingPlatform platform;
    platform::ScopedPlatform scope{platform};
    FakeHost host{kForm, u"Data1"};
    DataControl control{host, Registry()};
};

}  // namespace

TEST_F(OutOfMemoryTest, DelayedDefinitionLoad) {
    const std::string path = directory.Path();
    std::size_t runs = ForEachFailingAllocation(
        [&] {
            std::unique_ptr<FormContext> context;
            int status = LoadDictionaryDelayed(path, context);
            if (status == 0) status = ResolveTableDefinitions(*context, context->tables[0]);
            bool loaded = status == 0 && context->tables[0].fields.size() == 5;
            return std::make_pair(status, loaded);
        },
        [&](std::pair<int, bool> result) {
            EXPECT_EQ(result.first == 0, result.second);
            ExpectReported(result.first == 0);
        });
    EXPECT_GT(runs, 10u);
}

TEST_F(OutOfMemoryTest, ExtendedListFill) {
    TableDef& customer = *control.Context()->TableByName("Customer");
    ExtendedFillRequest request;
    request.fields = "Code,Name";
    request.maxRecords = 2;
    request.leaveResults = true;
    Lines list;
    std::size_t runs = ForEachFailingAllocation(
        [&] {
            int resultId = -1;
            int status = RunExtendedFill(customer, 0, request, list, resultId);
            FreeAllResultSets();
            return status == 0 && list.lines.size() == 6 && list.errors.empty();
        },
        [&](bool complete) { ExpectReported(complete); });
    EXPECT_GT(runs, 10u);
}

// Each call either does its work or gives its failure: a status other than the end of file, or
// no text with VE001 shown. A call never reports success with less than it was asked for.
TEST_F(OutOfMemoryTest, ExportedFunctionsReturnTheirFailure) {
    ASSERT_EQ(DbAttachControl("Data1", "Form1"), 0);
    ASSERT_EQ(DbAccess(12, 0, 0), 0);
    struct Outcome {
        int status;
        std::int16_t id;
        std::int16_t count;
        bool named;  // the text of the first record, or no text with a message
    };
    std::size_t runs = ForEachFailingAllocation(
        [&] {
            std::int16_t id = -1, count = 0;
            int status = DbExAccess(36, 0, "@Code >= 2", "Name,Code", 0, 0, 10, 0, &id, &count);
            char* name = id >= 0 ? DbExGetFieldData(id, 1, 0) : nullptr;
            bool named = name == nullptr ? !platform.Messages().empty() : std::string(name) == "N2";
            ZelFreeString(name);
            return Outcome{status, id, count, named};
        },
        [&](Outcome outcome) {
            if (outcome.status == 9) {
                EXPECT_GE(outcome.id, 0);
                EXPECT_EQ(outcome.count, 5);
                EXPECT_TRUE(outcome.named);
            }
            if (outcome.id >= 0) DbExFree(outcome.id);
            ASSERT_EQ(DbAccess(12, 0, 0), 0);  // the next scan starts from the first record
            platform.Clear();
        });
    EXPECT_GT(runs, 5u);
}
