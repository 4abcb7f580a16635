// Two record managers on one in-memory file system stand for two processes (each owns its
// locks): what one commits the other sees, record locks conflict between them and not within
// one, waits end when the holder lets go or with 78 in a cycle, open modes and transactions
// keep each other out, and a reader never sees a commit half-written.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <future>
#include <thread>

#include "engine/tests/FaultyFileSystem.h"
#include "engine/tests/ExtendedSupport.h"
#include "engine/tests/TestSupport.h"

namespace zelmor::engine::testing {
namespace {

constexpr const char* kPath = "/shared/table.btr";
constexpr const char* kOther = "/shared/other.btr";

Bytes Row(std::int32_t id, const std::string& name, std::int32_t value) {
    return Concat({Int32(id), Text(name, 8), Int32(value)});
}

std::int32_t ValueOf(const Reply& reply) {
    std::int32_t value = -1;
    if (reply.data.size() >= 16) std::memcpy(&value, reply.data.data() + 12, 4);
    return value;
}

RecordManagerOptions Options() {
    RecordManagerOptions options;
    options.lockWaitMilliseconds = 10000;  // a safety net: the in-memory locks find cycles
    return options;
}

class SharingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(0, Create(a, kPath, IdAndNameSpec(16)));
        ASSERT_EQ(0, Create(a, kOther, IdAndNameSpec(16)));
        ASSERT_EQ(0, Open(a, blockA, kPath));
        ASSERT_EQ(0, Open(b, blockB, kPath));
        for (std::int32_t id = 1; id <= 5; ++id)
            ASSERT_EQ(0, Insert(a, blockA, Row(id, "r" + std::to_string(id), id * 10)));
    }
    Reply GetEqual(RecordManager& manager, Block& block, std::int32_t id, int bias = 0) {
        return Get(manager, static_cast<std::uint16_t>(ZELRM_OP_GET_EQUAL + bias), block, 0,
                   Int32(id));
    }
    std::int16_t Unlock(RecordManager& manager, Block& block, std::int8_t which,
                        std::int32_t position = 0) {
        return Call(manager, ZELRM_OP_UNLOCK, block, Int32(position), -1, {}, 0, which).status;
    }
    // The second file, through a block of each process.
    void OpenOther(Block& ofA, Block& ofB) {
        ASSERT_EQ(0, Open(a, ofA, kOther));
        ASSERT_EQ(0, Open(b, ofB, kOther));
    }
    static std::int16_t Transaction(RecordManager& manager, std::uint16_t op) {
        Block none;
        return Call(manager, op, none, {}, 0, {}, 0, 0).status;
    }

    FaultyFileSystem fs;
    RecordManager a{fs, Options()};
    RecordManager b{fs, Options()};
    Block blockA, blockB;
};

TEST_F(SharingTest, EachProcessSeesWhatTheOtherCommittedAndNoUpdateIsLost) {
    // b read its records before a changed them.
    ASSERT_EQ(10, ValueOf(GetEqual(b, blockB, 1)));
    ASSERT_EQ(0, GetEqual(a, blockA, 1).status);
    ASSERT_EQ(0, Update(a, blockA, Row(1, "r1", 11)));
    ASSERT_EQ(0, Insert(a, blockA, Row(6, "r6", 60)));
    // b's update would undo a's: it is refused, and b sees a's record when it reads again.
    EXPECT_EQ(80, Update(b, blockB, Row(1, "r1", 12)));
    EXPECT_EQ(11, ValueOf(GetEqual(b, blockB, 1)));
    EXPECT_EQ(60, ValueOf(GetEqual(b, blockB, 6)));
    EXPECT_EQ(6u, RecordCount(b, blockB));
    ASSERT_EQ(11, ValueOf(GetEqual(b, blockB, 1)));
    ASSERT_EQ(0, Update(b, blockB, Row(1, "r1", 12)));
    EXPECT_EQ(12, ValueOf(GetEqual(a, blockA, 1)));
    State state;
    Close(a, blockA);
    Close(b, blockB);
    ASSERT_TRUE(ReadTable(a, kPath, &state));
    EXPECT_EQ(6u, state.size());
}

TEST_F(SharingTest, RecordLocksConflictBetweenProcessesOnly) {
    Block secondA;
    ASSERT_EQ(0, Open(a, secondA, kPath));
    ASSERT_EQ(0, GetEqual(a, blockA, 1, ZELRM_LOCK_SINGLE_NO_WAIT).status);
    EXPECT_EQ(0, GetEqual(a, secondA, 1, ZELRM_LOCK_SINGLE_NO_WAIT).status);
    EXPECT_EQ(84, GetEqual(b, blockB, 1, ZELRM_LOCK_SINGLE_NO_WAIT).status);
    EXPECT_EQ(84, GetEqual(b, blockB, 1, ZELRM_LOCK_MULTIPLE_NO_WAIT).status);
    // A failed lock leaves b's currency where it was.
    ASSERT_EQ(0, GetEqual(b, blockB, 2, ZELRM_LOCK_SINGLE_NO_WAIT).status);
    EXPECT_EQ(84, GetEqual(b, blockB, 1, ZELRM_LOCK_SINGLE_NO_WAIT).status);
    EXPECT_EQ(3, ValueOf(Get(b, ZELRM_OP_GET_NEXT, blockB, 0)) / 10);
    // A locked record cannot be changed by the other process either.
    ASSERT_EQ(0, GetEqual(b, blockB, 1).status);
    EXPECT_EQ(84, Update(b, blockB, Row(1, "r1", 99)));
    EXPECT_EQ(84, Delete(b, blockB));
    // Still held by a's second block after the first lets go; free once both have.
    ASSERT_EQ(0, Unlock(a, blockA, 0));
    EXPECT_EQ(84, GetEqual(b, blockB, 1, ZELRM_LOCK_SINGLE_NO_WAIT).status);
    ASSERT_EQ(0, Close(a, secondA));
    EXPECT_EQ(0, GetEqual(b, blockB, 1, ZELRM_LOCK_SINGLE_NO_WAIT).status);
    // b's update releases its single-record lock.
    ASSERT_EQ(0, Update(b, blockB, Row(1, "r1", 15)));
    EXPECT_EQ(0, GetEqual(a, blockA, 1, ZELRM_LOCK_SINGLE_NO_WAIT).status);
    ASSERT_EQ(0, Unlock(a, blockA, 0));

    // Multiple-record locks: one by one, or all at once.
    ASSERT_EQ(0, GetEqual(a, blockA, 3, ZELRM_LOCK_MULTIPLE_WAIT).status);
    ASSERT_EQ(0, GetEqual(a, blockA, 4, ZELRM_LOCK_MULTIPLE_NO_WAIT).status);
    EXPECT_EQ(84, GetEqual(b, blockB, 3, ZELRM_LOCK_MULTIPLE_NO_WAIT).status);
    ASSERT_EQ(0, Unlock(a, blockA, -1, 3));  // positions follow the ids here
    EXPECT_EQ(0, GetEqual(b, blockB, 3, ZELRM_LOCK_MULTIPLE_NO_WAIT).status);
    EXPECT_EQ(84, GetEqual(b, blockB, 4, ZELRM_LOCK_SINGLE_NO_WAIT).status);
    ASSERT_EQ(0, Unlock(a, blockA, -2));
    EXPECT_EQ(0, GetEqual(b, blockB, 4, ZELRM_LOCK_MULTIPLE_NO_WAIT).status);
    // Closing a block releases its locks.
    ASSERT_EQ(0, Close(b, blockB));
    EXPECT_EQ(0, GetEqual(a, blockA, 3, ZELRM_LOCK_SINGLE_NO_WAIT).status);
}

TEST_F(SharingTest, AnExtendedOperationLocksTheRecordsItReturns) {
    ASSERT_EQ(0, Get(a, ZELRM_OP_GET_FIRST, blockA, 0).status);
    const TermSpec odd{ZELRM_TYPE_INTEGER, 4, 12, 6 /* <= */, 0, Int32(30)};
    ExtendedReply reply =
        CallExtended(a, ZELRM_OP_GET_NEXT_EXTENDED + ZELRM_LOCK_MULTIPLE_NO_WAIT, blockA,
                     Descriptor("UC", 0, {odd}, 10, {{4, 0}}), 4096, 0);
    ASSERT_EQ(9, reply.status);
    ASSERT_EQ(3u, reply.records.size());
    for (std::int32_t id : {1, 2, 3})
        EXPECT_EQ(84, GetEqual(b, blockB, id, ZELRM_LOCK_SINGLE_NO_WAIT).status) << id;
    EXPECT_EQ(0, GetEqual(b, blockB, 4, ZELRM_LOCK_SINGLE_NO_WAIT).status);
    // b holds record 4: a's next extended call with a no-wait lock gets 84 and nothing.
    ASSERT_EQ(0, Unlock(a, blockA, -2));
    ASSERT_EQ(0, Get(a, ZELRM_OP_GET_FIRST, blockA, 0).status);
    reply = CallExtended(a, ZELRM_OP_GET_NEXT_EXTENDED + ZELRM_LOCK_MULTIPLE_NO_WAIT, blockA,
                         Descriptor("UC", 0, {}, 10, {{4, 0}}), 4096, 0);
    EXPECT_EQ(84, reply.status);
    EXPECT_EQ(0, GetEqual(b, blockB, 1, ZELRM_LOCK_MULTIPLE_NO_WAIT).status);
}

TEST_F(SharingTest, AWaitingLockIsGrantedWhenTheHolderUnlocks) {
    ASSERT_EQ(0, GetEqual(a, blockA, 2, ZELRM_LOCK_SINGLE_NO_WAIT).status);
    auto waiting = std::async(std::launch::async, [&] {
        return GetEqual(b, blockB, 2, ZELRM_LOCK_SINGLE_WAIT);
    });
    EXPECT_EQ(std::future_status::timeout, waiting.wait_for(std::chrono::milliseconds(100)));
    // The holder changes the record, then lets go: the waiter gets the record as it is now.
    ASSERT_EQ(0, Update(a, blockA, Row(2, "r2", 21)));
    Reply reply = waiting.get();
    EXPECT_EQ(0, reply.status);
    EXPECT_EQ(21, ValueOf(reply));
    EXPECT_EQ(84, GetEqual(a, blockA, 2, ZELRM_LOCK_SINGLE_NO_WAIT).status);
}

TEST_F(SharingTest, ProcessesWaitingForEachOtherGet78) {
    ASSERT_EQ(0, GetEqual(a, blockA, 1, ZELRM_LOCK_MULTIPLE_NO_WAIT).status);
    ASSERT_EQ(0, GetEqual(b, blockB, 2, ZELRM_LOCK_MULTIPLE_NO_WAIT).status);
    // Each asks, waiting, for the other's record; whichever closes the cycle gets 78 and lets
    // go of its own lock, so that the other's wait ends.
    auto ask = [&](RecordManager& manager, Block& block, std::int32_t wanted) {
        std::int16_t status = GetEqual(manager, block, wanted, ZELRM_LOCK_MULTIPLE_WAIT).status;
        if (status == 78) Unlock(manager, block, -2);
        return status;
    };
    auto first = std::async(std::launch::async, [&] { return ask(a, blockA, 2); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const std::int16_t second = ask(b, blockB, 1);
    const std::int16_t firstStatus = first.get();
    EXPECT_TRUE((firstStatus == 78 && second == 0) || (firstStatus == 0 && second == 78))
        << firstStatus << " " << second;
}

TEST_F(SharingTest, ExclusiveAndReadOnlyOpens) {
    Block exclusive, reader;
    // Another process has the file open: no exclusive open.
    ASSERT_EQ(0, Open(a, exclusive, kOther));
    EXPECT_EQ(88, Open(b, reader, kOther, ZELRM_MODE_EXCLUSIVE));
    ASSERT_EQ(0, Close(a, exclusive));
    ASSERT_EQ(0, Open(a, exclusive, kOther, ZELRM_MODE_EXCLUSIVE));
    EXPECT_EQ(85, Open(b, reader, kOther));
    EXPECT_EQ(85, Open(b, reader, kOther, ZELRM_MODE_READ_ONLY));
    ASSERT_EQ(0, Close(a, exclusive));
    // A read-only open beside a writer: its changes are refused, the writer's are seen.
    ASSERT_EQ(0, Open(b, reader, kOther, ZELRM_MODE_READ_ONLY));
    ASSERT_EQ(0, Open(a, exclusive, kOther));
    EXPECT_EQ(46, Insert(b, reader, Row(1, "b", 1)));
    ASSERT_EQ(0, Insert(a, exclusive, Row(1, "a", 1)));
    EXPECT_EQ(1u, RecordCount(b, reader));
}

TEST_F(SharingTest, AnExclusiveTransactionHoldsTheFilesItTouches) {
    ASSERT_EQ(0, Transaction(a, ZELRM_OP_BEGIN_TRANSACTION));
    ASSERT_EQ(0, Get(a, ZELRM_OP_GET_FIRST, blockA, 0).status);
    // Others may read it but not change it, nor start a transaction on it without waiting.
    EXPECT_EQ(85, Insert(b, blockB, Row(7, "b", 70)));
    EXPECT_EQ(0, GetEqual(b, blockB, 1).status);
    ASSERT_EQ(0, Transaction(b, ZELRM_OP_BEGIN_TRANSACTION + ZELRM_LOCK_SINGLE_NO_WAIT));
    EXPECT_EQ(85, GetEqual(b, blockB, 1).status);
    ASSERT_EQ(0, Transaction(b, ZELRM_OP_ABORT_TRANSACTION));
    // a's changes stay its own until it ends the transaction.
    ASSERT_EQ(0, Insert(a, blockA, Row(8, "a", 80)));
    EXPECT_EQ(5u, RecordCount(b, blockB));
    // A waiting transaction of b goes ahead once a ends.
    ASSERT_EQ(0, Transaction(b, ZELRM_OP_BEGIN_TRANSACTION));
    auto waiting = std::async(std::launch::async, [&] { return GetEqual(b, blockB, 8); });
    EXPECT_EQ(std::future_status::timeout, waiting.wait_for(std::chrono::milliseconds(100)));
    ASSERT_EQ(0, Transaction(a, ZELRM_OP_END_TRANSACTION));
    EXPECT_EQ(80, ValueOf(waiting.get()));
    EXPECT_EQ(85, Insert(a, blockA, Row(9, "a", 90)));
    ASSERT_EQ(0, Transaction(b, ZELRM_OP_END_TRANSACTION));
    EXPECT_EQ(0, Insert(a, blockA, Row(9, "a", 90)));
}

TEST_F(SharingTest, AConcurrentTransactionLocksTheRecordsItChanges) {
    ASSERT_EQ(0, Transaction(a, ZELRM_OP_BEGIN_CONCURRENT_TRANSACTION));
    ASSERT_EQ(0, GetEqual(a, blockA, 3).status);
    // Before its first change others may still change the file.
    ASSERT_EQ(0, GetEqual(b, blockB, 4).status);
    ASSERT_EQ(0, Update(b, blockB, Row(4, "r4", 41)));
    ASSERT_EQ(0, Update(a, blockA, Row(3, "r3", 31)));
    EXPECT_EQ(84, GetEqual(b, blockB, 3, ZELRM_LOCK_SINGLE_NO_WAIT).status);
    EXPECT_EQ(30, ValueOf(GetEqual(b, blockB, 3)));
    EXPECT_EQ(85, Insert(b, blockB, Row(7, "b", 70)));
    ASSERT_EQ(0, Transaction(a, ZELRM_OP_END_TRANSACTION));
    EXPECT_EQ(31, ValueOf(GetEqual(b, blockB, 3, ZELRM_LOCK_SINGLE_NO_WAIT)));
    EXPECT_EQ(41, ValueOf(GetEqual(a, blockA, 4)));
}

TEST_F(SharingTest, AbortedTransactionsLeaveNoTrace) {
    Block otherA, otherB;
    OpenOther(otherA, otherB);
    ASSERT_EQ(0, Transaction(a, ZELRM_OP_BEGIN_CONCURRENT_TRANSACTION));
    ASSERT_EQ(0, Insert(a, blockA, Row(7, "a", 70)));
    ASSERT_EQ(0, Insert(a, otherA, Row(1, "a", 10)));
    ASSERT_EQ(0, Transaction(a, ZELRM_OP_ABORT_TRANSACTION));
    EXPECT_EQ(5u, RecordCount(b, blockB));
    EXPECT_EQ(0u, RecordCount(b, otherB));
    // Both files are free again.
    EXPECT_EQ(0, Insert(b, blockB, Row(7, "b", 70)));
    EXPECT_EQ(0, Insert(b, otherB, Row(1, "b", 10)));
}

TEST_F(SharingTest, AcceleratedChangesLetAWaitingWriterIn) {
    Block fast;
    ASSERT_EQ(0, Open(a, fast, kOther, ZELRM_MODE_ACCELERATED));
    ASSERT_EQ(0, Insert(a, fast, Row(1, "a", 1)));
    Block slow;
    ASSERT_EQ(0, Open(b, slow, kOther));
    auto waiting = std::async(std::launch::async, [&] { return Insert(b, slow, Row(2, "b", 2)); });
    // The waiter is let in at a's next call.
    while (waiting.wait_for(std::chrono::milliseconds(10)) == std::future_status::timeout)
        Get(a, ZELRM_OP_STAT, fast, 0, {}, 4096);
    EXPECT_EQ(0, waiting.get());
    EXPECT_EQ(2u, RecordCount(a, fast));
}

// A writer moves amounts between two records far apart in the file, inside transactions that
// also add records; every extended read of the reader, which passes over hundreds of records on
// many pages, finds the two adding up.
TEST_F(SharingTest, AReaderNeverSeesACommitHalfWritten) {
    Block writer, reader;
    OpenOther(writer, reader);
    ASSERT_EQ(0, Transaction(a, ZELRM_OP_BEGIN_TRANSACTION));
    ASSERT_EQ(0, Insert(a, writer, Row(1, "pot", 500)));
    for (std::int32_t id = 100; id < 400; ++id) ASSERT_EQ(0, Insert(a, writer, Row(id, "filler", 0)));
    ASSERT_EQ(0, Insert(a, writer, Row(2, "pot", 500)));
    ASSERT_EQ(0, Transaction(a, ZELRM_OP_END_TRANSACTION));
    std::atomic<bool> done{false};
    auto moves = std::async(std::launch::async, [&] {
        int failures = 0;
        for (std::int32_t round = 0; round < 500; ++round) {
            const std::int32_t amount = (round * 37) % 400;
            failures += Transaction(a, ZELRM_OP_BEGIN_TRANSACTION) != 0;
            failures += Get(a, ZELRM_OP_GET_EQUAL, writer, 0, Int32(1)).status != 0;
            failures += Update(a, writer, Row(1, "pot", 500 - amount)) != 0;
            for (int i = 0; i < 3; ++i)
                failures += Insert(a, writer, Row(1000 + round * 3 + i, "filler", 0)) != 0;
            failures += Get(a, ZELRM_OP_GET_EQUAL, writer, 0, Int32(2)).status != 0;
            failures += Update(a, writer, Row(2, "pot", 500 + amount)) != 0;
            failures += Transaction(a, ZELRM_OP_END_TRANSACTION) != 0;
        }
        done = true;
        return failures;
    });
    const TermSpec pots{ZELRM_TYPE_STRING, 8, 4, 1 /* = */, 0, Text("pot", 8)};
    int reads = 0;
    while (!done || reads < 10) {
        ASSERT_EQ(0, Get(b, ZELRM_OP_STEP_FIRST, reader, 0).status);
        ExtendedReply reply = CallExtended(b, ZELRM_OP_STEP_NEXT_EXTENDED, reader,
                                           Descriptor("UC", 0, {pots}, 10, {{4, 12}}), 4096, 0);
        ASSERT_EQ(9, reply.status);
        ASSERT_EQ(2u, reply.records.size());
        std::int32_t first, second;
        std::memcpy(&first, reply.records[0].second.data(), 4);
        std::memcpy(&second, reply.records[1].second.data(), 4);
        ASSERT_EQ(1000, first + second) << "read " << reads;
        ++reads;
    }
    EXPECT_EQ(0, moves.get());
    EXPECT_EQ(1802u, RecordCount(b, reader));
}

}  // namespace
}  // namespace zelmor::engine::testing
