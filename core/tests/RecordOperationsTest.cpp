#include <gtest/gtest.h>

#include "core/DbManager.h"
#include "core/KeyBuffer.h"
#include "core/tests/OpenSampleTables.h"
#include "core/tests/RecordingRecordManager.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

class RecordOperationsTest : public OpenSampleTables {
protected:
    void SetUp() override {
        OpenSampleTables::SetUp();
        InsertCustomer(30, "Carol", "B");
        InsertCustomer(10, "Alice", "A");
        InsertCustomer(20, "Bob", "A");
    }
    std::string Code() { return DbGetFieldData(Customer(), "Code"); }
};

// Keeps the process-wide lock bias for one test.
struct ScopedLockBias {
    explicit ScopedLockBias(int bias) { TheDbManager().SetLockBias(bias); }
    ~ScopedLockBias() { TheDbManager().SetLockBias(0); }
};

}  // namespace

TEST_F(RecordOperationsTest, KeyedReadsByNameAndById) {
    ASSERT_EQ(DbAccess(Customer(), 12, "Code"), 0);
    EXPECT_EQ(Code(), "10");
    ASSERT_EQ(DbAccess(Customer(), 6, "Code"), 0);
    EXPECT_EQ(Code(), "20");
    ASSERT_EQ(DbAccess(Customer(), 13, "ByKind"), 0);  // Kind B sorts last
    EXPECT_EQ(Code(), "30");
    ASSERT_EQ(DbAccessByID(Customer(), 12, 1), 0);  // Kind A, then Name Alice
    EXPECT_EQ(Code(), "10");
    ASSERT_EQ(DbAccessByID(Customer(), 6, 1), 0);
    EXPECT_EQ(Code(), "20");

    // Get Equal takes its key from the record buffer.
    DbClearFieldBuffer(Customer());
    DbSetFieldData(Customer(), "Code", "30");
    ASSERT_EQ(DbAccess(Customer(), 5, "Code"), 0);
    EXPECT_EQ(DbGetFieldData(Customer(), "Name"), "Carol");
    DbSetFieldData(Customer(), "Code", "99");
    EXPECT_EQ(DbAccess(Customer(), 5, "Code"), 4);
}

TEST_F(RecordOperationsTest, KeyNamesThatNameNoKey) {
    RecordingRecordManager recorder;
    EXPECT_EQ(DbAccess(Customer(), 12, ""), rc::kNoSuchKey);
    EXPECT_EQ(DbAccess(Customer(), 12, "Nothing"), rc::kNoSuchKey);
    EXPECT_TRUE(recorder.calls.empty());
    // Without a key: DbAccessByID with -1 runs the operation with key number -1.
    DbAccessByID(Customer(), 12, -1);
    ASSERT_EQ(recorder.calls.size(), 1u);
    EXPECT_EQ(recorder.Last().operation, 12);
    EXPECT_EQ(recorder.Last().keyNumber, -1);
    EXPECT_EQ(recorder.Last().keyLength, 0);
    // A segment position past the table's segments: VE804, and no call.
    EXPECT_EQ(DbAccessByID(Customer(), 12, 3), rc::kNoSuchKey);
    EXPECT_EQ(recorder.calls.size(), 1u);
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.MessagesUtf8()[0], "VE804 インデックスの指定が不正です。");
}

TEST_F(RecordOperationsTest, KeyBufferHoldsTheSegmentsAndOneBytePerSegmentWithoutNullFlag) {
    ASSERT_EQ(DbAccess(Customer(), 12, "Code"), 0);  // Alice, Kind A
    KeyBuffer key;
    ASSERT_TRUE(BuildKeyBuffer(Customer(), 1, key));
    // Kind (2) + Name (30), plus one byte for each of the two segments.
    EXPECT_EQ(key.length, 34);
    EXPECT_EQ(key.keyNumber, 1);
    ASSERT_EQ(key.bytes.size(), 35u);
    EXPECT_EQ(std::string(key.bytes.begin(), key.bytes.begin() + 7), "A Alice");
    for (std::size_t i = 32; i < key.bytes.size(); ++i) EXPECT_EQ(key.bytes[i], 0) << i;

    ASSERT_TRUE(BuildKeyBuffer(Customer(), kNoKey, key));
    EXPECT_EQ(key.length, 0);
    EXPECT_EQ(key.keyNumber, -1);
    EXPECT_EQ(key.bytes.size(), 1u);
}

TEST_F(RecordOperationsTest, LockBiasIsAddedToAccessAndKeyedGetDirectOnly) {
    ASSERT_EQ(DbAccess(Customer(), 12, "Code"), 0);
    std::int32_t position = DbGetPosition(Customer());
    ASSERT_GE(position, 0);
    ScopedLockBias bias(200);
    RecordingRecordManager recorder;
    DbAccess(Customer(), 12, "Code");
    EXPECT_EQ(recorder.Last().operation, 212);
    DbGetDirect(Customer(), static_cast<std::uint32_t>(position), "Code");
    EXPECT_EQ(recorder.Last().operation, 223);
    EXPECT_EQ(recorder.Last().keyNumber, 0);
    DbGetDirectByID(Customer(), static_cast<std::uint32_t>(position), -1);
    EXPECT_EQ(recorder.Last().operation, 23);
    EXPECT_EQ(recorder.Last().keyNumber, -1);
    DbGetDirect(Customer(), static_cast<std::uint32_t>(position), "");
    EXPECT_EQ(recorder.Last().operation, 23);
}

TEST_F(RecordOperationsTest, LockBiasRefusesOtherValues) {
    ScopedLockBias bias(100);
    EXPECT_FALSE(TheDbManager().SetLockBias(150));
    RecordingRecordManager recorder;
    DbAccess(Customer(), 12, "Code");
    EXPECT_EQ(recorder.Last().operation, 112);
}

TEST_F(RecordOperationsTest, PositionsAndGetDirect) {
    ASSERT_EQ(DbAccess(Customer(), 13, "Code"), 0);  // Carol
    std::int32_t position = DbGetPosition(Customer());
    ASSERT_GE(position, 0);
    ASSERT_EQ(DbAccess(Customer(), 12, "Code"), 0);
    ASSERT_EQ(DbGetDirect(Customer(), static_cast<std::uint32_t>(position), "Code"), 0);
    EXPECT_EQ(Code(), "30");
    // Currency is on the Code key now: the next record by Code does not exist.
    EXPECT_EQ(DbAccess(Customer(), 6, "Code"), 9);
    EXPECT_EQ(DbGetDirect(Customer(), static_cast<std::uint32_t>(position), "Nope"),
              rc::kNoSuchKey);
}

TEST_F(RecordOperationsTest, Percentages) {
    ASSERT_EQ(DbAccess(Customer(), 12, "Code"), 0);  // the first of three
    int percentage = -1;
    ASSERT_EQ(DbFindPercentage(Customer(), "Code", 0, percentage), 0);
    EXPECT_EQ(percentage, 3333);
    ASSERT_EQ(DbGetByPercentage(Customer(), "Code", 10000), 0);
    EXPECT_EQ(Code(), "30");
    ASSERT_EQ(DbGetByPercentage(Customer(), "Code", 5000), 0);
    EXPECT_EQ(Code(), "20");
    // Physical order by position.
    std::int32_t position = DbGetPosition(Customer());
    ASSERT_EQ(DbFindPercentageByID(Customer(), -1, static_cast<std::uint32_t>(position),
                                   percentage),
              0);
    EXPECT_GT(percentage, 0);
    EXPECT_LE(percentage, 10000);
}

TEST_F(RecordOperationsTest, RecordCountAndUnlock) {
    std::uint32_t count = 0;
    ASSERT_EQ(DbGetNumOfRecords(Customer(), count), 0);
    EXPECT_EQ(count, 3u);
    RecordingRecordManager recorder;
    DbAccess(Customer(), 12, "Code");
    DbUnlock(Customer(), -1);
    ASSERT_EQ(recorder.calls.size(), 3u);
    EXPECT_EQ(recorder.calls[1].operation, 22);
    EXPECT_EQ(recorder.calls[2].operation, 27);
    EXPECT_EQ(recorder.calls[2].keyNumber, -1);
    EXPECT_EQ(recorder.calls[2].dataLength, 4u);
    DbUnlock(Customer(), -2);
    EXPECT_EQ(recorder.Last().keyNumber, -2);
    EXPECT_EQ(recorder.Last().dataLength, 0u);
}

TEST_F(RecordOperationsTest, TransactionBiases) {
    RecordingRecordManager recorder;
    EXPECT_EQ(DbBeginTransaction(500), rc::kLockBiasRefused);
    EXPECT_EQ(DbBeginTransaction(150), rc::kLockBiasRefused);
    EXPECT_EQ(DbBeginConCurTransaction(600), rc::kLockBiasRefused);
    EXPECT_TRUE(recorder.calls.empty());
    DbBeginConCurTransaction(500);
    ASSERT_EQ(recorder.calls.size(), 1u);
    EXPECT_EQ(recorder.Last().operation, 1519);
    DbAbortTransaction();
    EXPECT_EQ(recorder.Last().operation, 21);
    DbBeginTransaction(200);
    EXPECT_EQ(recorder.Last().operation, 219);
    DbEndTransaction();
    EXPECT_EQ(recorder.Last().operation, 20);
}

TEST_F(RecordOperationsTest, ClosedTableGivesNotOpen) {
    TableDef& orders = Table(kOrders);
    ASSERT_EQ(CloseTable(orders), 0);
    std::uint32_t count;
    int percentage;
    EXPECT_EQ(DbAccessByID(orders, 12, 0), rc::kNotOpen);
    EXPECT_EQ(DbGetDirectByID(orders, 1, -1), rc::kNotOpen);
    EXPECT_EQ(DbGetPosition(orders), -1);
    EXPECT_EQ(DbGetNumOfRecords(orders, count), rc::kNotOpen);
    EXPECT_EQ(DbFindPercentageByID(orders, 0, 0, percentage), rc::kNotOpen);
    EXPECT_EQ(DbUnlock(orders, 0), rc::kNotOpen);
}

TEST_F(RecordOperationsTest, VersionBlock) {
    std::uint8_t version[5] = {};
    ASSERT_EQ(DbGetVersion(version), 0);
    EXPECT_GT(version[0] | version[1] << 8, 0);  // major version
}
