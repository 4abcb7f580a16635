// Random sequences of inserts, updates, deletes and every Get and Step operation, checked step
// by step against an in-memory model built on std::multimap (duplicates stay in order of
// arrival there too). The model orders records with plain typed comparisons of its own.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <random>

#include "engine/tests/FaultyFileSystem.h"
#include "engine/tests/TestSupport.h"

namespace zelmor::engine::testing {
namespace {

// Record: id i32 at 0 (key 0, unique), name string 6 at 4 (key 1, duplicates,
// case-insensitive), small i16 at 10 descending + tag zstring 4 at 12 (key 2, segmented,
// duplicates, null when all zero), amount double at 16 (key 3, duplicates, null when zero).
constexpr std::size_t kFixed = 32;

struct Fields {
    std::int32_t id;
    std::string name;
    std::int16_t small;
    std::string tag;
    double amount;
};

Fields Decode(const Bytes& r) {
    Fields f;
    std::memcpy(&f.id, r.data(), 4);
    f.name.assign(r.begin() + 4, r.begin() + 10);
    std::memcpy(&f.small, r.data() + 10, 2);
    f.tag.assign(reinterpret_cast<const char*>(r.data() + 12), strnlen(reinterpret_cast<const char*>(r.data() + 12), 4));
    std::memcpy(&f.amount, r.data() + 16, 8);
    return f;
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool AllZero(const Bytes& r, std::size_t from, std::size_t count) {
    for (std::size_t i = from; i < from + count; ++i)
        if (r[i] != 0) return false;
    return true;
}

struct KeyModel {
    std::function<bool(const Bytes&, const Bytes&)> less;
    std::function<bool(const Bytes&)> isNull;
    std::vector<std::pair<std::size_t, std::size_t>> parts;  // (offset, length) of the key value
    bool unique;
};

std::vector<KeyModel> Keys() {
    std::vector<KeyModel> keys(4);
    keys[0] = {[](const Bytes& a, const Bytes& b) { return Decode(a).id < Decode(b).id; },
               [](const Bytes&) { return false; }, {{0, 4}}, true};
    keys[1] = {[](const Bytes& a, const Bytes& b) {
                   return Upper(Decode(a).name) < Upper(Decode(b).name);
               },
               [](const Bytes&) { return false; }, {{4, 6}}, false};
    keys[2] = {[](const Bytes& a, const Bytes& b) {
                   Fields x = Decode(a), y = Decode(b);
                   if (x.small != y.small) return x.small > y.small;
                   return x.tag < y.tag;
               },
               [](const Bytes& r) { return AllZero(r, 10, 2) && AllZero(r, 12, 4); },
               {{10, 2}, {12, 4}}, false};
    keys[3] = {[](const Bytes& a, const Bytes& b) { return Decode(a).amount < Decode(b).amount; },
               [](const Bytes& r) { return AllZero(r, 16, 8); }, {{16, 8}}, false};
    return keys;
}

Bytes KeyValue(const KeyModel& key, const Bytes& record) {
    Bytes value;
    for (auto [offset, length] : key.parts)
        value.insert(value.end(), record.begin() + offset, record.begin() + offset + length);
    return value;
}

struct Entry {
    std::uint64_t arrival;
    std::uint32_t position;
};

class Model {
public:
    explicit Model(std::vector<KeyModel> keys) : keys_(std::move(keys)) {
        for (const auto& key : keys_) index_.emplace_back(key.less);
    }
    using Index = std::multimap<Bytes, Entry, std::function<bool(const Bytes&, const Bytes&)>>;

    std::map<std::uint32_t, Bytes> records;
    const std::vector<KeyModel>& keys() const { return keys_; }
    Index& index(int k) { return index_[k]; }

    bool IdTaken(const Bytes& record, std::uint32_t except = 0) const {
        for (const auto& [position, existing] : records)
            if (position != except && Decode(existing).id == Decode(record).id) return true;
        return false;
    }
    void Add(std::uint32_t position, const Bytes& record) {
        records[position] = record;
        for (std::size_t k = 0; k < keys_.size(); ++k)
            if (!keys_[k].isNull(record)) index_[k].insert({record, {++arrival_, position}});
    }
    Index::iterator Find(int k, std::uint32_t position) {
        for (auto it = index_[k].begin(); it != index_[k].end(); ++it)
            if (it->second.position == position) return it;
        return index_[k].end();
    }
    void Remove(std::uint32_t position) {
        for (std::size_t k = 0; k < keys_.size(); ++k) {
            auto it = Find(static_cast<int>(k), position);
            if (it != index_[k].end()) index_[k].erase(it);
        }
        records.erase(position);
    }
    void Change(std::uint32_t position, const Bytes& record) {
        const Bytes old = records[position];
        for (std::size_t k = 0; k < keys_.size(); ++k) {
            const auto& key = keys_[k];
            bool wasIn = !key.isNull(old), isIn = !key.isNull(record);
            bool same = wasIn == isIn && (!isIn || (!key.less(old, record) && !key.less(record, old)));
            if (same) continue;
            auto it = Find(static_cast<int>(k), position);
            if (it != index_[k].end()) index_[k].erase(it);
            if (isIn) index_[k].insert({record, {++arrival_, position}});
        }
        records[position] = record;
    }
    std::uint64_t ArrivalOf(int k, std::uint32_t position) {
        auto it = Find(k, position);
        return it == index_[k].end() ? 0 : it->second.arrival;
    }

private:
    std::vector<KeyModel> keys_;
    std::vector<Index> index_;
    std::uint64_t arrival_ = 0;
};

enum class State { kNone, kOn, kDeleted };

struct ModelCursor {
    State state = State::kNone;
    bool physicalSet = false;
    std::uint32_t position = 0;
    int logicalKey = -1;
    Bytes logicalRecord;
    std::uint64_t arrival = 0;
};

struct Config {
    const char* name;
    bool variable;
    std::int8_t mode;
    std::size_t cachePages;
    int steps;
};

class ModelTest : public ::testing::TestWithParam<Config> {
protected:
    void SetUp() override {
        const Config& config = GetParam();
        RecordManagerOptions options;
        options.cachePages = config.cachePages;
        options.groupCommitPages = 64;
        manager = std::make_unique<RecordManager>(fs, options);
        std::vector<SegmentSpec> segments = {
            {1, 4, ZELRM_KEY_EXTENDED_TYPE, ZELRM_TYPE_INTEGER},
            {5, 6, ZELRM_KEY_DUPLICATES | ZELRM_KEY_MODIFIABLE | ZELRM_KEY_CASE_INSENSITIVE},
            {11, 2,
             ZELRM_KEY_EXTENDED_TYPE | ZELRM_KEY_SEGMENTED | ZELRM_KEY_DESCENDING |
                 ZELRM_KEY_DUPLICATES | ZELRM_KEY_MODIFIABLE | ZELRM_KEY_NULL_ALL,
             ZELRM_TYPE_INTEGER, 0},
            {13, 4,
             ZELRM_KEY_EXTENDED_TYPE | ZELRM_KEY_DUPLICATES | ZELRM_KEY_MODIFIABLE |
                 ZELRM_KEY_NULL_ALL,
             ZELRM_TYPE_ZSTRING, 0},
            {17, 8,
             ZELRM_KEY_EXTENDED_TYPE | ZELRM_KEY_DUPLICATES | ZELRM_KEY_MODIFIABLE |
                 ZELRM_KEY_NULL_ANY,
             ZELRM_TYPE_FLOAT, 0}};
        ASSERT_EQ(0, Create(*manager, path, FileSpecBytes(kFixed, segments,
                                                          config.variable ? 1 : 0)));
        Reopen();
    }

    void Reopen() {
        if (opened) {
            ASSERT_EQ(0, Close(*manager, block));
            ASSERT_EQ(0, Close(*manager, probe));
        }
        ASSERT_EQ(0, Open(*manager, block, path, GetParam().mode));
        ASSERT_EQ(0, Open(*manager, probe, path));
        opened = true;
        cursor = ModelCursor();
    }

    Bytes RandomRecord() {
        static const char* names[] = {"alpha", "ALPHA", "beta", "Beta", "gamma", "delta", ""};
        static const char* tags[] = {"", "a", "ab", "b", "zz"};
        static const double amounts[] = {0.0, -0.0, 1.5, -2.25, 3.0, 100.0, -0.5};
        Bytes record(kFixed, 0);
        std::int32_t id = static_cast<std::int32_t>(random() % 300) - 20;
        std::memcpy(record.data(), &id, 4);
        Bytes name = Text(names[random() % 7], 6);
        std::copy(name.begin(), name.end(), record.begin() + 4);
        std::int16_t small = static_cast<std::int16_t>(random() % 6) - 2;
        std::memcpy(record.data() + 10, &small, 2);
        const char* tag = tags[random() % 5];
        std::memcpy(record.data() + 12, tag, std::strlen(tag));
        double amount = amounts[random() % 7];
        std::memcpy(record.data() + 16, &amount, 8);
        for (std::size_t i = 24; i < kFixed; ++i) record[i] = static_cast<std::uint8_t>(random());
        if (GetParam().variable && random() % 2) {
            std::size_t tail = random() % 3 == 0 ? random() % 6000 : random() % 60;
            for (std::size_t i = 0; i < tail; ++i) record.push_back(static_cast<std::uint8_t>(random()));
        }
        return record;
    }

    // A record to read: the currency moves onto it.
    void Land(std::uint32_t position, int key, bool clearLogical) {
        cursor.state = State::kOn;
        cursor.physicalSet = true;
        cursor.position = position;
        if (key >= 0) {
            cursor.logicalKey = key;
            cursor.logicalRecord = model.records[position];
            cursor.arrival = model.ArrivalOf(key, position);
        } else if (clearLogical) {
            cursor.logicalKey = -1;
        }
    }

    void ExpectRead(const Reply& reply, std::int16_t status, std::uint32_t position, int key,
                    const std::string& what) {
        ASSERT_EQ(status, reply.status) << what;
        if (status != 0) return;
        ASSERT_EQ(model.records[position], reply.data) << what;
        if (key >= 0) {
            Bytes value = KeyValue(model.keys()[key], model.records[position]);
            ASSERT_EQ(value, Bytes(reply.key.begin(), reply.key.begin() + value.size())) << what;
        }
    }

    // The entry after (or before) the cursor's logical entry.
    Model::Index::iterator Neighbour(int k, bool next) {
        auto& index = model.index(k);
        const auto& less = model.keys()[k].less;
        auto it = index.lower_bound(cursor.logicalRecord);
        auto equal = [&](const Bytes& r) { return !less(r, cursor.logicalRecord) && !less(cursor.logicalRecord, r); };
        if (next) {
            while (it != index.end() && equal(it->first) && it->second.arrival <= cursor.arrival) ++it;
            return it;
        }
        auto found = index.end();
        if (it != index.begin()) found = std::prev(it);
        for (; it != index.end() && equal(it->first) && it->second.arrival < cursor.arrival; ++it) found = it;
        return found;
    }

    void GetOperation() {
        const int k = static_cast<int>(random() % 4);
        auto& index = model.index(k);
        const auto& key = model.keys()[k];
        Bytes probeRecord = model.records.empty() || random() % 4 == 0
                                ? RandomRecord()
                                : std::next(model.records.begin(), random() % model.records.size())->second;
        Bytes value = KeyValue(key, probeRecord);
        static const std::uint16_t ops[] = {ZELRM_OP_GET_EQUAL, ZELRM_OP_GET_NEXT,
                                            ZELRM_OP_GET_PREVIOUS, ZELRM_OP_GET_GREATER,
                                            ZELRM_OP_GET_GREATER_OR_EQUAL, ZELRM_OP_GET_LESS,
                                            ZELRM_OP_GET_LESS_OR_EQUAL, ZELRM_OP_GET_FIRST,
                                            ZELRM_OP_GET_LAST};
        const std::uint16_t op = ops[random() % 9];
        auto expected = index.end();
        std::int16_t status = 0;
        switch (op) {
            case ZELRM_OP_GET_EQUAL:
                expected = index.lower_bound(probeRecord);
                if (expected == index.end() || key.less(probeRecord, expected->first)) status = 4;
                break;
            case ZELRM_OP_GET_GREATER_OR_EQUAL:
                expected = index.lower_bound(probeRecord);
                break;
            case ZELRM_OP_GET_GREATER:
                expected = index.upper_bound(probeRecord);
                break;
            case ZELRM_OP_GET_LESS:
            case ZELRM_OP_GET_LESS_OR_EQUAL: {
                auto bound = op == ZELRM_OP_GET_LESS ? index.lower_bound(probeRecord)
                                                     : index.upper_bound(probeRecord);
                expected = bound == index.begin() ? index.end() : std::prev(bound);
                break;
            }
            case ZELRM_OP_GET_FIRST:
                expected = index.begin();
                break;
            case ZELRM_OP_GET_LAST:
                expected = index.empty() ? index.end() : std::prev(index.end());
                break;
            default:
                if (cursor.logicalKey < 0)
                    status = 8;
                else if (cursor.logicalKey != k)
                    status = 7;
                else
                    expected = Neighbour(k, op == ZELRM_OP_GET_NEXT);
        }
        if (status == 0 && expected == index.end()) status = 9;
        Reply reply = Get(*manager, op, block, static_cast<std::int8_t>(k), value, 8192);
        const std::uint32_t position = status == 0 ? expected->second.position : 0;
        ExpectRead(reply, status, position, k, "get " + std::to_string(op) + " key " + std::to_string(k));
        if (status == 0) Land(position, k, false);
    }

    void StepOperation() {
        static const std::uint16_t ops[] = {ZELRM_OP_STEP_FIRST, ZELRM_OP_STEP_LAST,
                                            ZELRM_OP_STEP_NEXT, ZELRM_OP_STEP_PREVIOUS};
        const std::uint16_t op = ops[random() % 4];
        auto& records = model.records;
        auto expected = records.end();
        std::int16_t status = 0;
        if (op == ZELRM_OP_STEP_FIRST) {
            expected = records.begin();
        } else if (op == ZELRM_OP_STEP_LAST) {
            expected = records.empty() ? records.end() : std::prev(records.end());
        } else if (op == ZELRM_OP_STEP_NEXT) {
            expected = cursor.physicalSet ? records.upper_bound(cursor.position) : records.begin();
        } else if (!cursor.physicalSet) {
            status = 8;
        } else {
            auto bound = records.lower_bound(cursor.position);
            expected = bound == records.begin() ? records.end() : std::prev(bound);
        }
        if (status == 0 && expected == records.end()) status = 9;
        Reply reply = Get(*manager, op, block, 0, {}, 8192);
        const std::uint32_t position = status == 0 ? expected->first : 0;
        ExpectRead(reply, status, position, -1, "step " + std::to_string(op));
        if (status == 0)
            Land(position, -1, op == ZELRM_OP_STEP_FIRST || op == ZELRM_OP_STEP_LAST);
    }

    void InsertOperation() {
        Bytes record = RandomRecord();
        const int k = static_cast<int>(random() % 5) - 1;
        const std::int16_t expected = model.IdTaken(record) ? 5 : 0;
        Reply reply = Call(*manager, ZELRM_OP_INSERT, block, record, -1, {}, 255,
                           static_cast<std::int8_t>(k));
        ASSERT_EQ(expected, reply.status) << "insert";
        if (expected != 0) return;
        Reply found =
            Get(*manager, ZELRM_OP_GET_EQUAL, probe, 0, KeyValue(model.keys()[0], record), 8192);
        ASSERT_EQ(0, found.status);
        std::uint32_t position = Position(*manager, probe);
        model.Add(position, record);
        if (k >= 0) {
            Land(position, model.keys()[k].isNull(record) ? -1 : k, true);
            Bytes value = KeyValue(model.keys()[k], record);
            ASSERT_EQ(value, Bytes(reply.key.begin(), reply.key.begin() + value.size()));
        }
    }

    void UpdateOperation() {
        const int k = static_cast<int>(random() % 5) - 1;
        Bytes record = RandomRecord();
        std::int16_t expected = cursor.state != State::kOn ? 8 : 0;
        if (expected == 0) {
            const Bytes& old = model.records[cursor.position];
            // Usually keep the id: the unique key is not modifiable.
            if (random() % 8 != 0) std::copy(old.begin(), old.begin() + 4, record.begin());
            if (Decode(old).id != Decode(record).id) expected = 10;
        }
        Reply reply = Call(*manager, ZELRM_OP_UPDATE, block, record, -1, {}, 255,
                           static_cast<std::int8_t>(k));
        ASSERT_EQ(expected, reply.status) << "update";
        if (expected != 0) return;
        model.Change(cursor.position, record);
        if (k >= 0) Land(cursor.position, model.keys()[k].isNull(record) ? -1 : k, true);
    }

    void DeleteOperation() {
        std::int16_t expected = cursor.state != State::kOn ? 8 : 0;
        ASSERT_EQ(expected, Delete(*manager, block)) << "delete";
        if (expected != 0) return;
        model.Remove(cursor.position);
        cursor.state = State::kDeleted;
    }

    void DirectOperation() {
        std::uint32_t position = model.records.empty() || random() % 4 == 0
                                     ? static_cast<std::uint32_t>(random() % 400)
                                     : std::next(model.records.begin(), random() % model.records.size())->first;
        const int k = static_cast<int>(random() % 5) - 1;
        std::int16_t expected = model.records.count(position) ? 0 : 43;
        if (expected == 0 && k >= 0 && model.keys()[k].isNull(model.records[position])) expected = 44;
        Reply reply = Call(*manager, ZELRM_OP_GET_DIRECT, block, Int32(static_cast<std::int32_t>(position)),
                           8192, {}, 255, static_cast<std::int8_t>(k));
        ExpectRead(reply, expected, position, k, "direct");
        if (expected == 0) Land(position, k, true);
    }

    void PercentageOperations() {
        const int k = static_cast<int>(random() % 5) - 1;
        std::vector<std::uint32_t> order;
        if (k < 0) {
            for (const auto& [position, record] : model.records) order.push_back(position);
        } else {
            for (const auto& [record, entry] : model.index(k)) order.push_back(entry.position);
        }
        std::uint16_t percentage = static_cast<std::uint16_t>(random() % 10200);
        Bytes data(8192);
        std::memcpy(data.data(), &percentage, 2);
        Reply reply = Call(*manager, ZELRM_OP_GET_BY_PERCENTAGE, block, data, 8192, {}, 255,
                           static_cast<std::int8_t>(k));
        std::int16_t expected = order.empty() ? 9 : 0;
        std::uint32_t position = 0;
        if (!order.empty()) {
            std::uint64_t p = percentage > 10000 ? 10000 : percentage;
            std::uint64_t rank = (p * order.size() + 9999) / 10000;
            position = order[rank > 0 ? rank - 1 : 0];
        }
        ExpectRead(reply, expected, position, k, "get by percentage");
        if (expected != 0) return;
        Land(position, k, true);
        // Find Percentage of a record of rank r gives (r + 1) * 10000 / N.
        std::size_t rank = random() % order.size();
        if (k >= 0 && cursor.state == State::kOn && random() % 2) {
            // the current record's own entry
            rank = std::find(order.begin(), order.end(), cursor.position) - order.begin();
        }
        const Bytes& record = model.records[order[rank]];
        Reply find = k >= 0 ? Call(*manager, ZELRM_OP_FIND_PERCENTAGE, block, {}, 4,
                                   KeyValue(model.keys()[k], record), 255, static_cast<std::int8_t>(k))
                            : Call(*manager, ZELRM_OP_FIND_PERCENTAGE, block,
                                   Int32(static_cast<std::int32_t>(order[rank])), 4, {}, 0, -1);
        ASSERT_EQ(0, find.status);
        if (k >= 0) {
            // The current record's entry when it has the value, else the first entry with it.
            const auto& less = model.keys()[k].less;
            auto current = std::find(order.begin(), order.end(), cursor.position);
            if (cursor.state == State::kOn && current != order.end() &&
                !less(model.records[cursor.position], record) &&
                !less(record, model.records[cursor.position])) {
                rank = current - order.begin();
            } else {
                while (rank > 0 && !less(model.records[order[rank - 1]], record)) --rank;
            }
        }
        std::uint32_t got;
        std::memcpy(&got, find.data.data(), 4);
        EXPECT_EQ((rank + 1) * 10000 / order.size(), got) << "find percentage key " << k;
    }

    void Transaction() {
        Block none;
        if (!inTransaction) {
            ASSERT_EQ(0, Call(*manager, ZELRM_OP_BEGIN_TRANSACTION, none, {}, 0, {}, 0, 0).status);
            saved = std::make_unique<Model>(model);
            inTransaction = true;
            return;
        }
        bool abort = random() % 2;
        ASSERT_EQ(0, Call(*manager, abort ? ZELRM_OP_ABORT_TRANSACTION : ZELRM_OP_END_TRANSACTION,
                          none, {}, 0, {}, 0, 0).status);
        if (abort) model = *saved;
        inTransaction = false;
        // Start again from a known place.
        Reply first = Get(*manager, ZELRM_OP_STEP_FIRST, block, 0, {}, 8192);
        ASSERT_EQ(model.records.empty() ? 9 : 0, first.status);
        cursor = ModelCursor();
        if (!model.records.empty()) Land(model.records.begin()->first, -1, true);
    }

    // Every key and the physical order, whole.
    void Verify() {
        Block check;
        ASSERT_EQ(0, Open(*manager, check, path));
        for (int k = 0; k < 4; ++k) {
            std::vector<std::uint32_t> expected, actual;
            for (const auto& [record, entry] : model.index(k)) expected.push_back(entry.position);
            for (Reply r = Get(*manager, ZELRM_OP_GET_FIRST, check, static_cast<std::int8_t>(k), {}, 8192);
                 r.status == 0; r = Get(*manager, ZELRM_OP_GET_NEXT, check, static_cast<std::int8_t>(k), {}, 8192))
                actual.push_back(Position(*manager, check));
            ASSERT_EQ(expected, actual) << "key " << k;
        }
        std::vector<std::uint32_t> expected, actual;
        for (const auto& [position, record] : model.records) expected.push_back(position);
        for (Reply r = Get(*manager, ZELRM_OP_STEP_LAST, check, 0, {}, 8192); r.status == 0;
             r = Get(*manager, ZELRM_OP_STEP_PREVIOUS, check, 0, {}, 8192))
            actual.insert(actual.begin(), Position(*manager, check));
        ASSERT_EQ(expected, actual) << "physical order";
        ASSERT_EQ(model.records.size(), RecordCount(*manager, check));
        ASSERT_EQ(0, Close(*manager, check));
    }

    FaultyFileSystem fs;
    std::unique_ptr<RecordManager> manager;
    const std::string path = "/model.btr";
    Block block, probe;
    bool opened = false;
    Model model{Keys()};
    std::unique_ptr<Model> saved;
    bool inTransaction = false;
    ModelCursor cursor;
    std::mt19937 random{12345};
};

TEST_P(ModelTest, RandomOperationsMatchTheModel) {
    for (int step = 0; step < GetParam().steps; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const int choice = static_cast<int>(random() % 100);
        if (choice < 30)
            InsertOperation();
        else if (choice < 42)
            UpdateOperation();
        else if (choice < 52)
            DeleteOperation();
        else if (choice < 72)
            GetOperation();
        else if (choice < 84)
            StepOperation();
        else if (choice < 89)
            DirectOperation();
        else if (choice < 94)
            PercentageOperations();
        else if (choice < 96)
            Transaction();
        else if (choice < 97 && !inTransaction)
            Reopen();
        else if (choice < 98)
            ASSERT_EQ(cursor.state == State::kOn ? cursor.position : 0u, Position(*manager, block));
        else
            Verify();
        if (HasFatalFailure()) return;
    }
    Verify();
}

INSTANTIATE_TEST_SUITE_P(
    Configurations, ModelTest,
    ::testing::Values(Config{"Fixed", false, 0, 8192, 4000},
                      Config{"VariableSmallCache", true, 0, 16, 2500},
                      Config{"Accelerated", false, ZELRM_MODE_ACCELERATED, 64, 3000}),
    [](const ::testing::TestParamInfo<Config>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelmor::engine::testing
