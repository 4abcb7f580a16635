// Crash and fault loops: operations run until the in-memory file system fails or "crashes" at
// a chosen write or sync; the file is then reopened (after the unsynced writes were lost or torn)
// and must hold exactly the acknowledged state, or that state plus the operation that was
// under way, with every index agreeing with the records.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>
#include <set>

#include "engine/tests/FaultyFileSystem.h"
#include "engine/tests/TestSupport.h"

namespace zelmor::engine::testing {
namespace {

using Fault = FaultyFileSystem::Fault;
using Loss = FaultyFileSystem::LossMode;

constexpr const char* kPath = "/crash/table.btr";
constexpr std::size_t kFixed = 16;

enum class Mode { kNormal, kTransactions, kAccelerated };

struct Outcome {
    std::vector<State> acceptable;
};

class CrashRun {
public:
    CrashRun(std::uint32_t seed, Mode mode) : random_(seed), mode_(mode) {}

    Bytes Record(std::int32_t id) {
        static const char* names[] = {"north", "south", "east", "west"};
        Bytes record = Concat({Int32(id), Text(names[random_() % 4], 8), Int32(static_cast<std::int32_t>(random_()))});
        std::size_t tail = random_() % 3 == 0 ? random_() % 5000 : 0;
        for (std::size_t i = 0; i < tail; ++i) record.push_back(static_cast<std::uint8_t>(random_()));
        return record;
    }

    // Runs operations until a failure; returns the states the file may now hold.
    Outcome Run(FaultyFileSystem& fs) {
        RecordManager manager(fs);
        Block block, none;
        Outcome outcome;
        State committed;  // what the file must hold at least
        std::vector<State> prefixes{committed};  // accelerated: any of these
        if (Open(manager, block, kPath, mode_ == Mode::kAccelerated ? -1 : 0) != 0) {
            outcome.acceptable = {committed};
            return outcome;
        }
        State current = committed;
        bool inTransaction = false;
        for (int step = 0; step < 120; ++step) {
            if (mode_ == Mode::kTransactions && !inTransaction) {
                if (Call(manager, ZELRM_OP_BEGIN_TRANSACTION, none, {}, 0, {}, 0, 0).status != 0) break;
                inTransaction = true;
            }
            State next = current;
            std::int16_t status;
            const std::int32_t id = static_cast<std::int32_t>(random_() % 40);
            const int kind = static_cast<int>(random_() % 3);
            if (kind == 0 || current.empty()) {
                Bytes record = Record(id);
                status = Insert(manager, block, record);
                if (current.count(id)) {
                    if (status == 5) continue;
                } else {
                    next[id] = record;
                }
            } else {
                auto it = std::next(current.begin(), random_() % current.size());
                Reply found = Get(manager, ZELRM_OP_GET_EQUAL, block, 0, Int32(it->first), 8192);
                if (found.status != 0) break;
                if (kind == 1) {
                    Bytes record = Record(it->first);
                    status = Update(manager, block, record);
                    next[it->first] = record;
                } else {
                    status = Delete(manager, block);
                    next.erase(it->first);
                }
            }
            if (status != 0) {
                // The operation under way may have reached the file or not.
                if (mode_ == Mode::kNormal) outcome.acceptable = {committed, next};
                if (mode_ == Mode::kAccelerated) {
                    prefixes.push_back(next);
                    outcome.acceptable = prefixes;
                }
                if (mode_ == Mode::kTransactions) outcome.acceptable = {committed};
                return outcome;
            }
            current = next;
            if (mode_ == Mode::kNormal) committed = current;
            if (mode_ == Mode::kAccelerated) prefixes.push_back(current);
            if (mode_ == Mode::kTransactions && random_() % 6 == 0) {
                std::int16_t end = Call(manager, ZELRM_OP_END_TRANSACTION, none, {}, 0, {}, 0, 0).status;
                inTransaction = false;
                if (end != 0) {
                    outcome.acceptable = {committed, current};
                    return outcome;
                }
                committed = current;
            }
        }
        // No failure came: leave cleanly.
        fs.ArmFault(Fault::kNone, 0);
        if (inTransaction) Call(manager, ZELRM_OP_END_TRANSACTION, none, {}, 0, {}, 0, 0);
        Close(manager, block);
        outcome.acceptable = {current};
        if (mode_ == Mode::kTransactions && inTransaction) outcome.acceptable = {current};
        return outcome;
    }

private:
    std::mt19937 random_;
    Mode mode_;
};

::testing::AssertionResult ReadBack(FaultyFileSystem& fs, State* state) {
    RecordManager manager(fs);
    return ReadTable(manager, kPath, state);
}

struct CrashConfig {
    const char* name;
    Mode mode;
    int runs;
};

class CrashTest : public ::testing::TestWithParam<CrashConfig> {};

TEST_P(CrashTest, NothingAcknowledgedIsLostAndNothingElseAppears) {
    const Fault faults[] = {Fault::kCrashAtWrite, Fault::kCrashAtSync, Fault::kFailWrite,
                            Fault::kFailSync};
    const Loss losses[] = {Loss::kLoseAll, Loss::kKeepAll, Loss::kTornRandom};
    for (int run = 0; run < GetParam().runs; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        std::mt19937 random(static_cast<std::uint32_t>(run * 7919 + 17));
        FaultyFileSystem fs;
        {
            RecordManager manager(fs);
            ASSERT_EQ(0, Create(manager, kPath, IdAndNameSpec(kFixed, ZELRM_FILE_VARIABLE_LENGTH)));
        }
        const Fault fault = faults[random() % 4];
        fs.ArmFault(fault, 1 + random() % 150);
        CrashRun crash(static_cast<std::uint32_t>(run), GetParam().mode);
        Outcome outcome = crash.Run(fs);
        if (fs.Crashed()) fs.Recover(losses[random() % 3], static_cast<std::uint32_t>(run));
        fs.ArmFault(Fault::kNone, 0);
        State state;
        ASSERT_TRUE(ReadBack(fs, &state));
        bool matched = false;
        for (const State& acceptable : outcome.acceptable) matched = matched || acceptable == state;
        ASSERT_TRUE(matched) << "the file holds " << state.size() << " records, not a state it may hold";
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, CrashTest,
                         ::testing::Values(CrashConfig{"Normal", Mode::kNormal, 150},
                                           CrashConfig{"Transactions", Mode::kTransactions, 100},
                                           CrashConfig{"Accelerated", Mode::kAccelerated, 100}),
                         [](const auto& info) { return std::string(info.param.name); });

// A commit that adds enough pages to write them past the end of the file directly, cut by a
// crash at each of its writes and syncs in turn: the file holds it whole or not at all.
TEST(LargeCommitCrashTest, EveryCutLeavesTheCommitWholeOrAbsent) {
    const Bytes big = Concat({Int32(7), Text("big", 8), Int32(0), Bytes(1200000, 0x5A)});
    for (Fault fault : {Fault::kCrashAtWrite, Fault::kCrashAtSync}) {
        for (std::uint64_t n = 1;; ++n) {
            SCOPED_TRACE("cut at " + std::to_string(n));
            FaultyFileSystem fs;
            {
                RecordManager manager(fs);
                ASSERT_EQ(0, Create(manager, kPath, IdAndNameSpec(kFixed, ZELRM_FILE_VARIABLE_LENGTH)));
                Block block;
                ASSERT_EQ(0, Open(manager, block, kPath));
                ASSERT_EQ(0, Insert(manager, block, Concat({Int32(1), Text("small", 8), Int32(0)})));
                fs.ArmFault(fault, n);
                Insert(manager, block, big);
            }
            const bool cut = fs.Crashed();
            if (cut) fs.Recover(Loss::kLoseAll, static_cast<std::uint32_t>(n));
            fs.ArmFault(Fault::kNone, 0);
            State state;
            ASSERT_TRUE(ReadBack(fs, &state));
            ASSERT_TRUE(state.size() == 1 || state.size() == 2);
            if (state.size() == 2) {
                RecordManager manager(fs);
                Block block;
                ASSERT_EQ(0, Open(manager, block, kPath));
                Reply whole = Get(manager, ZELRM_OP_GET_EQUAL, block, 0, Int32(7), 1300000);
                ASSERT_EQ(0, whole.status);
                ASSERT_EQ(big, whole.data);
            }
            if (!cut) break;  // the commit had fewer writes than n
        }
    }
}

// Transactions over two and three files, each adding record t to every file; a crash or a
// failure at any write or sync of their commits leaves each transaction in every file or in
// none, and every acknowledged one everywhere.
TEST(MultiFileCrashTest, EachTransactionIsInEveryFileOrInNone) {
    const Fault faults[] = {Fault::kCrashAtWrite, Fault::kCrashAtSync, Fault::kFailWrite,
                            Fault::kFailSync};
    const Loss losses[] = {Loss::kLoseAll, Loss::kKeepAll, Loss::kTornRandom};
    for (int run = 0; run < 120; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        std::mt19937 random(static_cast<std::uint32_t>(run * 104729 + 5));
        const int files = 2 + run % 2;
        auto path = [](int f) { return "/crash/many" + std::to_string(f) + ".btr"; };
        FaultyFileSystem fs;
        {
            RecordManager manager(fs);
            for (int f = 0; f < files; ++f)
                ASSERT_EQ(0, Create(manager, path(f), IdAndNameSpec(kFixed, ZELRM_FILE_VARIABLE_LENGTH)));
        }
        fs.ArmFault(faults[random() % 4], 1 + random() % 120);
        std::int32_t acknowledged = 0;
        {
            RecordManager manager(fs);
            std::vector<Block> blocks(files);
            bool open = true;
            for (int f = 0; f < files; ++f) open = open && Open(manager, blocks[f], path(f)) == 0;
            Block none;
            for (std::int32_t t = 1; open && t <= 40; ++t) {
                const std::uint16_t begin = t % 2 ? ZELRM_OP_BEGIN_TRANSACTION
                                                  : ZELRM_OP_BEGIN_CONCURRENT_TRANSACTION;
                if (Call(manager, begin, none, {}, 0, {}, 0, 0).status != 0) break;
                bool inserted = true;
                for (int f = 0; f < files; ++f) {
                    // Now and then a long record, so that commits reach overflow pages, and a
                    // very long one, so that a commit adds enough pages to write them directly.
                    Bytes record = Concat({Int32(t), Text("t", 8), Int32(f)});
                    const auto size = random() % 16;
                    if (size < 4) record.resize(3000 + random() % 3000, static_cast<std::uint8_t>(t));
                    if (size == 4) record.resize(1100000, static_cast<std::uint8_t>(t));
                    inserted = inserted && Insert(manager, blocks[f], record) == 0;
                }
                if (!inserted ||
                    Call(manager, ZELRM_OP_END_TRANSACTION, none, {}, 0, {}, 0, 0).status != 0)
                    break;
                acknowledged = t;
            }
        }
        if (fs.Crashed()) fs.Recover(losses[random() % 3], static_cast<std::uint32_t>(run));
        fs.ArmFault(Fault::kNone, 0);
        std::vector<std::set<std::int32_t>> ids(files);
        for (int f = 0; f < files; ++f) {
            State state;
            RecordManager manager(fs);
            ASSERT_TRUE(ReadTable(manager, path(f), &state));
            for (const auto& entry : state) ids[f].insert(entry.first);
        }
        for (int f = 1; f < files; ++f) ASSERT_EQ(ids[0], ids[f]) << "file " << f;
        // Every acknowledged transaction, and at most the one under way.
        const auto count = static_cast<std::int32_t>(ids[0].size());
        ASSERT_TRUE(count == acknowledged || count == acknowledged + 1) << count << " " << acknowledged;
        for (std::int32_t t = 1; t <= count; ++t) ASSERT_EQ(1u, ids[0].count(t)) << t;
    }
}

}  // namespace
}  // namespace zelmor::engine::testing
