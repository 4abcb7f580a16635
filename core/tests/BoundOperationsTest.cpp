#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "core/BoundOperations.h"
#include "core/tests/OpenSampleTables.h"
#include "core/tests/RecordingRecordManager.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

// Controls holding texts for some fields, an event handler that may cancel, and a record of
// what was shown.
class FakeControls : public BoundOperationHost {
public:
    bool ReadFieldValue(const TableDef&, const FieldDef& field, std::string& text) override {
        auto found = values.find(field.name);
        if (found == values.end()) return false;
        text = found->second;
        return true;
    }
    bool CancelledByHandler() override {
        ++events;
        if (onEvent) onEvent();
        return cancel;
    }
    void ShowRecord(const TableDef& table) override {
        shown.clear();
        for (const FieldDef& field : table.fields) {
            shown[field.name] = DbGetFieldData(table, field.name);
        }
        ++shows;
    }

    std::map<std::string, std::string> values;
    std::map<std::string, std::string> shown;
    bool cancel = false;
    std::function<void()> onEvent;  // what the pre-operation handler does besides
    int events = 0;
    int shows = 0;
};

class BoundOperationsTest : public OpenSampleTables {
protected:
    FakeControls controls;
};

}  // namespace

TEST(BoundOperationCodes, GetAndStepOperationsMapToRecordManagerCodes) {
    struct Case {
        int operation;
        int code;
    } cases[] = {{kDbGetEqual, 5},   {kDbGetFirst, 12},   {kDbGetLast, 13},  {kDbGetNext, 6},
                 {kDbGetPrevious, 7}, {kDbGetGreater, 8}, {kDbGetLessThan, 10},
                 {kDbGetGreaterOrEqual, 9}, {kDbGetLessThanOrEqual, 11}, {kDbStepFirst, 33},
                 {kDbStepLast, 34},  {kDbStepNext, 24},   {kDbStepPrevious, 35},
                 {kDbInsert, -1},    {kDbDelete, -1},     {18, -1}};
    for (const Case& c : cases) EXPECT_EQ(ReadOperationCode(c.operation), c.code) << c.operation;
    EXPECT_EQ(LockBiasOf(kLockMultiNoWait), 400);
    EXPECT_EQ(LockBiasOf(9), 0);
}

TEST_F(BoundOperationsTest, InsertTakesTheControlsValuesAndTheButtonsLock) {
    controls.values = {{"Code", "5"}, {"Name", "Fay"}, {"Kind", "K"}};
    RecordingRecordManager recorder;
    ASSERT_EQ(RunBoundOperation(Customer(), kDbInsert, kLockNone, 1, controls), 0);
    EXPECT_EQ(controls.events, 1);
    EXPECT_EQ(recorder.Last().operation, 2);
    EXPECT_EQ(recorder.Last().keyNumber, 1);
    EXPECT_EQ(recorder.Last().dataLength, 52u);  // record length + 1
    ASSERT_EQ(DbAccess(Customer(), 12, "Code"), 0);
    EXPECT_EQ(DbGetFieldData(Customer(), "Name"), "Fay");

    controls.values["Code"] = "6";
    RunBoundOperation(Customer(), kDbInsertNCC, kLockNone, 1, controls);
    EXPECT_EQ(recorder.Last().operation, 2);
    EXPECT_EQ(recorder.Last().keyNumber, -1);
}

TEST_F(BoundOperationsTest, ACancellingHandlerStopsBeforeTheCall) {
    controls.values = {{"Code", "5"}};
    controls.cancel = true;
    RecordingRecordManager recorder;
    for (int operation : {kDbInsert, kDbUpdate, kDbDelete, kDbGetEqual, kDbGetNext}) {
        EXPECT_EQ(RunBoundOperation(Customer(), operation, kLockNone, 0, controls), rc::kAborted);
    }
    EXPECT_TRUE(recorder.calls.empty());
    EXPECT_EQ(controls.shows, 0);
}

TEST_F(BoundOperationsTest, UpdateKeepsFieldsNoControlSupplies) {
    InsertCustomer(1, "Gus", "G");
    ASSERT_EQ(DbAccess(Customer(), 12, "Code"), 0);
    controls.values = {{"Joined", "2020/02/03"}};
    ASSERT_EQ(RunBoundOperation(Customer(), kDbUpdate, kLockNone, 0, controls), 0);
    ASSERT_EQ(DbAccess(Customer(), 12, "Code"), 0);
    EXPECT_EQ(DbGetFieldData(Customer(), "Name"), "Gus");
    EXPECT_EQ(DbGetFieldData(Customer(), "Joined"), "2020/02/03");
    // Kind is part of a key that may not change.
    controls.values = {{"Kind", "H"}};
    EXPECT_EQ(RunBoundOperation(Customer(), kDbUpdate, kLockNone, 0, controls), 10);
}

TEST_F(BoundOperationsTest, GetEqualReplacesTheBufferGetNextKeepsIt) {
    InsertCustomer(1, "Gus", "G");
    InsertCustomer(2, "Hal", "G");
    InsertCustomer(3, "Ida", "G");
    controls.values = {{"Code", "2"}};
    ASSERT_EQ(RunBoundOperation(Customer(), kDbGetEqual, kLockNone, 0, controls), 0);
    EXPECT_EQ(controls.shown["Name"], "Hal");
    // Get Next reads on from the current record, whatever the controls hold.
    controls.values = {{"Code", "1"}};
    RecordingRecordManager recorder;
    ASSERT_EQ(RunBoundOperation(Customer(), kDbGetNext, kLockSingleNoWait, 0, controls), 0);
    EXPECT_EQ(controls.shown["Name"], "Ida");
    EXPECT_EQ(recorder.Last().operation, 206);
    EXPECT_EQ(controls.shows, 2);
    EXPECT_EQ(RunBoundOperation(Customer(), kDbGetNext, kLockNone, 0, controls), 9);
    EXPECT_EQ(controls.shows, 2);
}

TEST_F(BoundOperationsTest, StepsAndDelete) {
    InsertCustomer(1, "Gus", "G");
    InsertCustomer(2, "Hal", "G");
    ASSERT_EQ(RunBoundOperation(Customer(), kDbStepLast, kLockNone, 0, controls), 0);
    EXPECT_EQ(controls.events, 0);  // steps raise no event
    EXPECT_EQ(controls.shown["Code"], "2");
    ASSERT_EQ(RunBoundOperation(Customer(), kDbDelete, kLockNone, 0, controls), 0);
    EXPECT_EQ(controls.events, 1);
    std::uint32_t count = 0;
    DbGetNumOfRecords(Customer(), count);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(RunBoundOperation(Customer(), 18, kLockNone, 0, controls), rc::kBadLength);
}

TEST_F(BoundOperationsTest, BlobValuesFromControlsAreInsertedWhole) {
    TableDef& pictures = Table(kPictures);
    controls.values = {{"Id", "3"}, {"Image", std::string(300, 'p')}, {"Thumb", "tt"}};
    ASSERT_EQ(RunBoundOperation(pictures, kDbInsert, kLockNone, 0, controls), 0);
    controls.values = {{"Id", "3"}};
    ASSERT_EQ(RunBoundOperation(pictures, kDbGetEqual, kLockNone, 0, controls), 0);
    EXPECT_EQ(controls.shown["Image"], std::string(300, 'p'));
    EXPECT_EQ(controls.shown["Thumb"], "tt");
    // An update from controls that show only the caption keeps both Blob values.
    controls.values = {{"Caption", "new"}};
    ASSERT_EQ(RunBoundOperation(pictures, kDbUpdate, kLockNone, 0, controls), 0);
    controls.values = {{"Id", "3"}};
    ASSERT_EQ(RunBoundOperation(pictures, kDbGetEqual, kLockNone, 0, controls), 0);
    EXPECT_EQ(controls.shown["Caption"], "new");
    EXPECT_EQ(controls.shown["Image"], std::string(300, 'p'));
}

// The pre-operation handler may close the table, or close and open it again: the operation
// then does not run on a position block that is no longer the one it started with.
TEST_F(BoundOperationsTest, AHandlerThatClosesTheTableStopsTheOperation) {
    InsertCustomer(1, "Ann", "A");
    controls.values = {{"Code", "1"}, {"Name", "Bo"}};
    controls.onEvent = [&] { CloseTable(Customer()); };
    for (int operation : {kDbInsert, kDbUpdate, kDbDelete, kDbGetEqual}) {
        ASSERT_EQ(OpenTable(*context, Customer(), "", kOpenNormal), 0);
        EXPECT_EQ(RunBoundOperation(Customer(), operation, kLockNone, 0, controls), rc::kNotOpen)
            << operation;
    }
    controls.onEvent = [&] {
        CloseTable(Customer());
        OpenTable(*context, Customer(), "", kOpenNormal);
    };
    ASSERT_EQ(OpenTable(*context, Customer(), "", kOpenNormal), 0);
    EXPECT_EQ(RunBoundOperation(Customer(), kDbDelete, kLockNone, 0, controls), rc::kNotOpen);
    std::uint32_t count = 0;
    ASSERT_EQ(DbGetNumOfRecords(Customer(), count), 0);
    EXPECT_EQ(count, 1u);
}
