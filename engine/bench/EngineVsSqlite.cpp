// The same work on this engine and on SQLite, with the ratios printed at the end:
//   200,000 inserts with two keys in one transaction (engine: accelerated open, no sync per
//   operation; SQLite: synchronous=OFF), the same inserts durable at the end of the transaction
//   (engine: normal open; SQLite: synchronous=FULL), 200,000 random lookups on the unique key, a
//   full scan in key order, a full scan in physical order, 10,000 Get By Percentage on 1,000,000
//   records (SQLite: LIMIT 1 OFFSET n on the same order, on fewer calls since each one is a
//   scan), and Get Next Extended over the 1,000,000 records in key order with a two-term filter
//   that keeps one in ten, 300 records per call (SQLite: a prepared SELECT ... WHERE ... ORDER BY
//   on the same order, stepped through).
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "engine/zelrm.h"

namespace {

constexpr int kRecords = 200000;
constexpr int kLookups = 200000;
constexpr int kLargeRecords = 1000000;
constexpr int kPercentageCalls = 10000;
constexpr int kSqlitePercentageCalls = 100;
constexpr std::uint32_t kRecordLength = 64;

std::string g_directory;
// Nanoseconds per operation, by work and by side.
std::map<std::string, std::map<std::string, double>> g_results;

void Record(const std::string& work, const std::string& side, double nanosecondsPerOp) {
    g_results[work][side] = nanosecondsPerOp;
}

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start)
        .count();
}

// Record: id (integer, unique key) at 0, name (16 bytes, key with duplicates) at 4, group
// (integer, id % 20) at 20, then 40 bytes of filler.
void Fill(std::uint8_t* record, std::int32_t id) {
    std::memset(record, 0, kRecordLength);
    std::memcpy(record, &id, 4);
    char name[17];
    std::snprintf(name, sizeof name, "name%011d", id % 5000);
    std::memcpy(record + 4, name, 16);
    const std::int32_t group = id % 20;
    std::memcpy(record + 20, &group, 4);
    for (std::uint32_t i = 24; i < kRecordLength; ++i) record[i] = static_cast<std::uint8_t>(id + i);
}

std::vector<std::int32_t> Shuffled(int count, unsigned seed) {
    std::vector<std::int32_t> ids(count);
    for (int i = 0; i < count; ++i) ids[i] = i;
    std::shuffle(ids.begin(), ids.end(), std::mt19937(seed));
    return ids;
}

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "benchmark setup failed: %s\n", what);
        std::exit(1);
    }
}

// ---- engine ----

struct EngineFile {
    std::uint8_t block[ZELRM_POSITION_BLOCK_SIZE] = {};
    std::string path;

    std::int16_t Call(std::uint16_t op, void* data, std::uint32_t length, void* key,
                      std::int8_t keyNumber) {
        return BTRCALL(op, block, data, &length, key, 255, keyNumber);
    }
};

// Creates and fills a file; `mode` is the open mode (accelerated: changes committed when the
// transaction ends, without a sync per operation; normal: durable at the end too).
void EngineCreate(EngineFile& file, int count, std::int8_t mode = ZELRM_MODE_ACCELERATED) {
    std::uint8_t spec[48] = {};
    auto put16 = [&](int at, std::uint16_t v) { std::memcpy(spec + at, &v, 2); };
    put16(0, kRecordLength);
    put16(2, 4096);
    put16(4, 2);
    put16(16, 1);
    put16(18, 4);
    put16(20, ZELRM_KEY_EXTENDED_TYPE);
    spec[26] = ZELRM_TYPE_INTEGER;
    put16(32, 5);
    put16(34, 16);
    put16(36, ZELRM_KEY_DUPLICATES);
    std::uint32_t length = sizeof spec;
    Check(BTRCALL(ZELRM_OP_CREATE, nullptr, spec, &length, file.path.data(),
                  static_cast<std::uint8_t>(file.path.size()), 0) == 0, "engine create");
    length = 0;
    Check(BTRCALL(ZELRM_OP_OPEN, file.block, nullptr, &length, file.path.data(),
                  static_cast<std::uint8_t>(file.path.size()), mode) == 0,
          "engine open");
    std::uint8_t record[kRecordLength];
    std::uint8_t key[255];
    std::uint32_t none = 0;
    Check(BTRCALL(ZELRM_OP_BEGIN_TRANSACTION, nullptr, nullptr, &none, nullptr, 0, 0) == 0, "begin");
    for (std::int32_t id : Shuffled(count, 1)) {
        Fill(record, id);
        Check(file.Call(ZELRM_OP_INSERT, record, kRecordLength, key, -1) == 0, "engine insert");
    }
    Check(BTRCALL(ZELRM_OP_END_TRANSACTION, nullptr, nullptr, &none, nullptr, 0, 0) == 0, "end");
}

// ---- SQLite ----

struct SqliteFile {
    sqlite3* db = nullptr;
    void Exec(const char* sql) {
        char* error = nullptr;
        if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
            std::fprintf(stderr, "sqlite: %s\n", error);
            std::exit(1);
        }
    }
    sqlite3_stmt* Prepare(const char* sql) {
        sqlite3_stmt* statement = nullptr;
        Check(sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK, sql);
        return statement;
    }
};

void SqliteCreate(SqliteFile& file, const std::string& path, int count, bool durable = false) {
    std::remove(path.c_str());
    Check(sqlite3_open(path.c_str(), &file.db) == SQLITE_OK, "sqlite open");
    // The engine keeps up to 32 MiB of pages per file; SQLite gets as much.
    file.Exec(durable ? "PRAGMA synchronous=FULL; PRAGMA cache_size=-32768;"
                      : "PRAGMA synchronous=OFF; PRAGMA cache_size=-32768;");
    file.Exec("CREATE TABLE t(id INTEGER NOT NULL, name BLOB NOT NULL, grp INTEGER NOT NULL,"
              " rest BLOB NOT NULL);"
              "CREATE UNIQUE INDEX t_id ON t(id); CREATE INDEX t_name ON t(name);");
    sqlite3_stmt* insert = file.Prepare("INSERT INTO t(id, name, grp, rest) VALUES(?, ?, ?, ?)");
    std::uint8_t record[kRecordLength];
    file.Exec("BEGIN");
    for (std::int32_t id : Shuffled(count, 1)) {
        Fill(record, id);
        sqlite3_bind_int(insert, 1, id);
        sqlite3_bind_blob(insert, 2, record + 4, 16, SQLITE_STATIC);
        sqlite3_bind_int(insert, 3, id % 20);
        sqlite3_bind_blob(insert, 4, record + 24, kRecordLength - 24, SQLITE_STATIC);
        Check(sqlite3_step(insert) == SQLITE_DONE, "sqlite insert");
        sqlite3_reset(insert);
    }
    file.Exec("COMMIT");
    sqlite3_finalize(insert);
}

// Reads a row into a record buffer, as a caller of the engine gets it.
void CopyRow(sqlite3_stmt* statement, std::uint8_t* record) {
    std::int32_t id = sqlite3_column_int(statement, 0);
    std::memcpy(record, &id, 4);
    std::memcpy(record + 4, sqlite3_column_blob(statement, 1), 16);
    std::int32_t group = sqlite3_column_int(statement, 2);
    std::memcpy(record + 20, &group, 4);
    std::memcpy(record + 24, sqlite3_column_blob(statement, 3), kRecordLength - 24);
}

EngineFile g_engine;
SqliteFile g_sqlite;

void BM_Insert(benchmark::State& state) {
    for (auto _ : state) {
        g_engine.path = g_directory + "/bench.btr";
        auto start = std::chrono::steady_clock::now();
        EngineCreate(g_engine, kRecords);
        Record("insert 200k, two keys, one transaction", "engine", Since(start) / kRecords);
        start = std::chrono::steady_clock::now();
        SqliteCreate(g_sqlite, g_directory + "/bench.sqlite", kRecords);
        Record("insert 200k, two keys, one transaction", "sqlite", Since(start) / kRecords);
    }
}

void BM_DurableTransaction(benchmark::State& state) {
    for (auto _ : state) {
        EngineFile file;
        file.path = g_directory + "/durable.btr";
        auto start = std::chrono::steady_clock::now();
        EngineCreate(file, kRecords, ZELRM_MODE_NORMAL);
        Record("insert 200k in a transaction, durable at end", "engine", Since(start) / kRecords);
        std::uint32_t length = 0;
        BTRCALL(ZELRM_OP_CLOSE, file.block, nullptr, &length, nullptr, 0, 0);
        SqliteFile sqlite;
        start = std::chrono::steady_clock::now();
        SqliteCreate(sqlite, g_directory + "/durable.sqlite", kRecords, true);
        Record("insert 200k in a transaction, durable at end", "sqlite", Since(start) / kRecords);
        sqlite3_close(sqlite.db);
    }
}

void BM_GetEqual(benchmark::State& state) {
    std::vector<std::int32_t> ids(kLookups);
    std::mt19937 random(2);
    for (auto& id : ids) id = static_cast<std::int32_t>(random() % kRecords);
    for (auto _ : state) {
        std::uint8_t record[kRecordLength];
        std::int32_t key[64];
        auto start = std::chrono::steady_clock::now();
        for (std::int32_t id : ids) {
            key[0] = id;
            Check(g_engine.Call(ZELRM_OP_GET_EQUAL, record, kRecordLength, key, 0) == 0, "get equal");
        }
        Record("get equal, random, unique key", "engine", Since(start) / kLookups);
        sqlite3_stmt* select = g_sqlite.Prepare("SELECT id, name, grp, rest FROM t WHERE id = ?");
        // One read transaction around the lookups: otherwise each statement locks the file and
        // reads its header, where the engine reads only a change counter in shared memory.
        g_sqlite.Exec("BEGIN");
        start = std::chrono::steady_clock::now();
        for (std::int32_t id : ids) {
            sqlite3_bind_int(select, 1, id);
            Check(sqlite3_step(select) == SQLITE_ROW, "sqlite lookup");
            CopyRow(select, record);
            sqlite3_reset(select);
        }
        Record("get equal, random, unique key", "sqlite", Since(start) / kLookups);
        g_sqlite.Exec("COMMIT");
        sqlite3_finalize(select);
        benchmark::DoNotOptimize(record);
    }
}

// The scans are short (tens of milliseconds): each side's figure is the best of a few rounds,
// so that a stray interruption of the machine does not decide the ratio.
constexpr int kScanRounds = 5;

void ScanBoth(const char* work, std::uint16_t first, std::uint16_t next, std::int8_t keyNumber,
              const char* sql) {
    std::uint8_t record[kRecordLength];
    std::uint8_t key[255];
    double engineBest = 0, sqliteBest = 0;
    for (int round = 0; round < kScanRounds; ++round) {
        int count = 0;
        auto start = std::chrono::steady_clock::now();
        for (std::int16_t status = g_engine.Call(first, record, kRecordLength, key, keyNumber);
             status == 0; status = g_engine.Call(next, record, kRecordLength, key, keyNumber))
            ++count;
        const double engine = Since(start) / count;
        Check(count == kRecords, "engine scan count");
        sqlite3_stmt* select = g_sqlite.Prepare(sql);
        count = 0;
        start = std::chrono::steady_clock::now();
        while (sqlite3_step(select) == SQLITE_ROW) {
            CopyRow(select, record);
            ++count;
        }
        const double sqlite = Since(start) / count;
        Check(count == kRecords, "sqlite scan count");
        sqlite3_finalize(select);
        if (round == 0 || engine < engineBest) engineBest = engine;
        if (round == 0 || sqlite < sqliteBest) sqliteBest = sqlite;
    }
    Record(work, "engine", engineBest);
    Record(work, "sqlite", sqliteBest);
}

void BM_GetNextScan(benchmark::State& state) {
    for (auto _ : state)
        ScanBoth("get next, full scan by unique key", ZELRM_OP_GET_FIRST, ZELRM_OP_GET_NEXT, 0,
                 "SELECT id, name, grp, rest FROM t ORDER BY id");
}

void BM_StepNextScan(benchmark::State& state) {
    for (auto _ : state)
        ScanBoth("step next, full physical scan", ZELRM_OP_STEP_FIRST, ZELRM_OP_STEP_NEXT, 0,
                 "SELECT id, name, grp, rest FROM t");
}

// The 1,000,000-record files, made once for the benchmarks that need them.
EngineFile& LargeEngine() {
    static EngineFile* file = [] {
        auto* made = new EngineFile;
        made->path = g_directory + "/large.btr";
        EngineCreate(*made, kLargeRecords);
        return made;
    }();
    return *file;
}

SqliteFile& LargeSqlite() {
    static SqliteFile* file = [] {
        auto* made = new SqliteFile;
        SqliteCreate(*made, g_directory + "/large.sqlite", kLargeRecords);
        return made;
    }();
    return *file;
}

void BM_GetByPercentage(benchmark::State& state) {
    for (auto _ : state) {
        EngineFile& large = LargeEngine();
        SqliteFile& sqlite = LargeSqlite();
        std::mt19937 random(3);
        std::uint8_t record[kRecordLength];
        std::uint8_t key[255];
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kPercentageCalls; ++i) {
            std::uint16_t percentage = static_cast<std::uint16_t>(random() % 10001);
            std::memcpy(record, &percentage, 2);
            Check(large.Call(ZELRM_OP_GET_BY_PERCENTAGE, record, kRecordLength, key, 0) == 0,
                  "get by percentage");
        }
        Record("get by percentage, 1M records", "engine", Since(start) / kPercentageCalls);
        sqlite3_stmt* select =
            sqlite.Prepare("SELECT id, name, grp, rest FROM t ORDER BY id LIMIT 1 OFFSET ?");
        start = std::chrono::steady_clock::now();
        for (int i = 0; i < kSqlitePercentageCalls; ++i) {
            std::int64_t rank = static_cast<std::int64_t>(random() % 10001) * kLargeRecords / 10000;
            sqlite3_bind_int64(select, 1, rank > 0 ? rank - 1 : 0);
            Check(sqlite3_step(select) == SQLITE_ROW, "sqlite offset");
            CopyRow(select, record);
            sqlite3_reset(select);
        }
        Record("get by percentage, 1M records", "sqlite", Since(start) / kSqlitePercentageCalls);
        sqlite3_finalize(select);
    }
}

// An extended-operation descriptor: group >= 4 AND group <= 5 (one record in ten), 300 records
// per call, the id, the name and the group extracted.
std::vector<std::uint8_t> GroupFilter(const char* start) {
    std::vector<std::uint8_t> bytes;
    auto put8 = [&](std::uint8_t v) { bytes.push_back(v); };
    auto put16 = [&](std::uint16_t v) {
        put8(static_cast<std::uint8_t>(v));
        put8(static_cast<std::uint8_t>(v >> 8));
    };
    auto term = [&](std::uint8_t comparison, std::uint8_t connector, std::int32_t value) {
        put8(ZELRM_TYPE_INTEGER);
        put16(4);
        put16(20);
        put8(comparison);
        put8(connector);
        for (int i = 0; i < 4; ++i) put8(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    put16(0);
    put8(static_cast<std::uint8_t>(start[0]));
    put8(static_cast<std::uint8_t>(start[1]));
    put16(0);  // reject count: 4095
    put16(2);
    term(5, 1, 4);  // >= 4 AND
    term(6, 0, 5);  // <= 5
    put16(300);
    put16(3);
    put16(4);
    put16(0);
    put16(16);
    put16(4);
    put16(4);
    put16(20);
    bytes[0] = static_cast<std::uint8_t>(bytes.size());
    bytes[1] = static_cast<std::uint8_t>(bytes.size() >> 8);
    return bytes;
}

void BM_ExtendedScan(benchmark::State& state) {
    constexpr int kKept = kLargeRecords / 10;
    for (auto _ : state) {
        EngineFile& large = LargeEngine();
        SqliteFile& sqlite = LargeSqlite();
        std::vector<std::uint8_t> buffer(2 + 300 * (6 + 24));
        std::uint8_t key[255];
        std::uint8_t record[kRecordLength];
        int kept = 0;
        auto start = std::chrono::steady_clock::now();
        Check(large.Call(ZELRM_OP_GET_FIRST, record, kRecordLength, key, 0) == 0, "get first");
        const char* mode = "UC";
        for (;;) {
            std::vector<std::uint8_t> descriptor = GroupFilter(mode);
            std::memcpy(buffer.data(), descriptor.data(), descriptor.size());
            std::int16_t status = large.Call(ZELRM_OP_GET_NEXT_EXTENDED, buffer.data(),
                                             static_cast<std::uint32_t>(buffer.size()), key, 0);
            Check(status == 0 || status == 9 || status == 60, "extended get next");
            kept += buffer[0] | (buffer[1] << 8);
            if (status == 9) break;
            mode = "EG";
        }
        Check(kept == kKept, "extended count");
        Record("extended get next, 1M records, 1 in 10", "engine", Since(start) / kKept);
        sqlite3_stmt* select = sqlite.Prepare(
            "SELECT id, name, grp FROM t WHERE grp >= 4 AND grp <= 5 ORDER BY id");
        kept = 0;
        start = std::chrono::steady_clock::now();
        while (sqlite3_step(select) == SQLITE_ROW) {
            std::int32_t id = sqlite3_column_int(select, 0);
            std::memcpy(record, &id, 4);
            std::memcpy(record + 4, sqlite3_column_blob(select, 1), 16);
            std::int32_t group = sqlite3_column_int(select, 2);
            std::memcpy(record + 20, &group, 4);
            ++kept;
        }
        Check(kept == kKept, "sqlite count");
        Record("extended get next, 1M records, 1 in 10", "sqlite", Since(start) / kKept);
        sqlite3_finalize(select);
    }
}

BENCHMARK(BM_Insert)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DurableTransaction)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetEqual)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetNextScan)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StepNextScan)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetByPercentage)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtendedScan)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    char directory[] = "/tmp/zelrm-bench-XXXXXX";
    Check(mkdtemp(directory) != nullptr, "temporary folder");
    g_directory = directory;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\n%-42s %12s %12s %10s\n", "work (per operation)", "engine ns", "sqlite ns",
                "speed-up");
    for (const auto& [work, sides] : g_results) {
        double engine = sides.count("engine") ? sides.at("engine") : 0;
        double sqlite = sides.count("sqlite") ? sides.at("sqlite") : 0;
        std::printf("%-42s %12.1f %12.1f %9.2fx\n", work.c_str(), engine, sqlite,
                    engine > 0 ? sqlite / engine : 0.0);
    }
    std::uint32_t length = 0;
    BTRCALL(ZELRM_OP_CLOSE, g_engine.block, nullptr, &length, nullptr, 0, 0);
    sqlite3_close(g_sqlite.db);
    std::string cleanup = "rm -rf '" + g_directory + "'";
    return std::system(cleanup.c_str()) == 0 ? 0 : 1;
}
