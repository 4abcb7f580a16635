// Damaged files: bytes overwritten at chosen offsets of each kind of page give status 2 or 30,
// never a crash (the native tests run under AddressSanitizer). Damage behind a recomputed
// checksum reaches the structure checks.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "engine/src/Bytes.h"
#include "engine/src/Checksum.h"
#include "engine/tests/FaultyFileSystem.h"
#include "engine/src/Format.h"
#include "engine/tests/TestSupport.h"

namespace zelmor::engine::testing {
namespace {

constexpr const char* kPath = "/damaged.btr";

// A file with interior and leaf pages in every tree, overflow pages and free pages.
Bytes BuildFile() {
    FaultyFileSystem fs;
    RecordManager manager(fs);
    Block block;
    EXPECT_EQ(0, Create(manager, kPath,
                        FileSpecBytes(24,
                                      {{1, 4, ZELRM_KEY_EXTENDED_TYPE, ZELRM_TYPE_INTEGER},
                                       {5, 20, ZELRM_KEY_DUPLICATES | ZELRM_KEY_MODIFIABLE}},
                                      ZELRM_FILE_VARIABLE_LENGTH)));
    EXPECT_EQ(0, Open(manager, block, kPath, ZELRM_MODE_ACCELERATED));
    for (std::int32_t id = 0; id < 700; ++id) {
        Bytes record = Concat({Int32(id), Text("name" + std::to_string(id % 97), 20)});
        if (id % 150 == 0) record.resize(record.size() + 9000, 'v');
        EXPECT_EQ(0, Insert(manager, block, record));
    }
    for (std::int32_t id = 100; id < 200; ++id) {
        EXPECT_EQ(0, Get(manager, ZELRM_OP_GET_EQUAL, block, 0, Int32(id), 65536).status);
        EXPECT_EQ(0, Delete(manager, block));
    }
    EXPECT_EQ(0, Close(manager, block));
    Bytes content;
    fs.ReadWhole(kPath, &content);
    return content;
}

// Runs every kind of read and a few writes, walking at most `walk` records each way; returns
// the statuses seen.
std::set<int> Exercise(FaultyFileSystem& fs, int walk = 1000) {
    std::set<int> seen;
    RecordManager manager(fs);
    Block block;
    std::int16_t open = Open(manager, block, kPath);
    seen.insert(open);
    if (open != 0) return seen;
    for (std::uint16_t first : {ZELRM_OP_STEP_FIRST, ZELRM_OP_STEP_LAST}) {
        std::uint16_t next = first == ZELRM_OP_STEP_FIRST ? ZELRM_OP_STEP_NEXT : ZELRM_OP_STEP_PREVIOUS;
        Reply reply = Get(manager, first, block, 0, {}, 65536);
        for (int i = 0; reply.status == 0 && i < walk; ++i) reply = Get(manager, next, block, 0, {}, 65536);
        seen.insert(reply.status);
    }
    for (std::int8_t key = 0; key < 2; ++key) {
        Reply reply = Get(manager, ZELRM_OP_GET_FIRST, block, key, {}, 65536);
        for (int i = 0; reply.status == 0 && i < walk; ++i)
            reply = Get(manager, ZELRM_OP_GET_NEXT, block, key, {}, 65536);
        seen.insert(reply.status);
    }
    for (std::int32_t id : {0, 1, 150, 450, 699}) {
        Reply reply = Get(manager, ZELRM_OP_GET_EQUAL, block, 0, Int32(id), 65536);
        seen.insert(reply.status);
        if (reply.status == 0) seen.insert(Update(manager, block, reply.data));
    }
    Bytes half(65536);
    Store16(half.data(), 5000);
    seen.insert(Call(manager, ZELRM_OP_GET_BY_PERCENTAGE, block, half, 65536, {}, 255, 1).status);
    seen.insert(Insert(manager, block, Concat({Int32(5000), Text("new", 20)})));
    seen.insert(Get(manager, ZELRM_OP_STAT, block, 0, {}, 4096).status);
    return seen;
}

const std::size_t kOffsets[] = {0, 4, 5, 6, 8, 12, 14, 16, 17, 19, 22, 24, 26, 28,
                                40, 44, 52, 56, 60, 128, 640, 650, 2047, 4000, 4095};

// The header and the first page of each kind in each tree.
std::vector<std::size_t> SamplePages(const Bytes& file) {
    std::vector<std::size_t> pages{0};
    std::set<std::pair<int, int>> sorts;
    for (std::size_t page = 1; page < file.size() / format::kPageSize; ++page) {
        const std::uint8_t* data = file.data() + page * format::kPageSize;
        if (sorts.insert({data[format::kKind], data[format::kTree]}).second) pages.push_back(page);
    }
    return pages;
}

TEST(CorruptionTest, DamagedPagesGiveStatusTwoOrThirty) {
    const Bytes original = BuildFile();
    ASSERT_EQ(0u, original.size() % format::kPageSize);
    std::set<int> kinds;
    for (std::size_t page : SamplePages(original)) {
        const int kind = original[page * format::kPageSize + format::kKind];
        kinds.insert(kind);
        for (std::size_t offset : kOffsets) {
            SCOPED_TRACE("page " + std::to_string(page) + " offset " + std::to_string(offset));
            Bytes damaged = original;
            damaged[page * format::kPageSize + offset] ^= 0x5A;
            FaultyFileSystem fs;
            fs.WriteWhole(kPath, damaged);
            std::set<int> seen = Exercise(fs);
            for (int status : seen)
                EXPECT_TRUE(status == 0 || status == 2 || status == 30 || status == 9 ||
                            status == 4 || status == 5 || status == 22)
                    << "status " << status;
            // Pages in use are read by the walks above; a damaged one must show.
            if (kind != static_cast<int>(format::PageKind::kFree)) {
                EXPECT_TRUE(seen.count(2) || seen.count(30));
            }
        }
    }
    // Header, leaves, interiors, overflow and free pages were all there to damage.
    EXPECT_EQ((std::set<int>{1, 2, 3, 4, 5}), kinds);
}

TEST(CorruptionTest, DamageBehindAValidChecksumIsCaughtByTheStructureChecks) {
    const Bytes original = BuildFile();
    const std::uint8_t values[] = {0x00, 0xFF};
    for (std::size_t page : SamplePages(original)) {
        if (page == 0) continue;
        for (std::size_t offset : kOffsets) {
            if (offset < 4) continue;
            for (std::uint8_t value : values) {
                Bytes damaged = original;
                std::uint8_t* data = damaged.data() + page * format::kPageSize;
                data[offset] = value;
                Store32(data, Checksum(data + 4, format::kPageSize - 4, static_cast<std::uint32_t>(page)));
                FaultyFileSystem fs;
                fs.WriteWhole(kPath, damaged);
                for (int status : Exercise(fs, 100))
                    EXPECT_TRUE(status == 0 || status == 2 || status == 9 || status == 4 ||
                                status == 5 || status == 22 || status == 80 || status == 43)
                        << "page " << page << " offset " << offset << " status " << status;
            }
        }
    }
}

// A leaf whose gap count claims room its cells already take, behind a valid checksum: an
// insert into it must be refused, not packed over the page's neighbours.
TEST(CorruptionTest, AFalseGapCountIsRefusedBeforeAnInsertUsesIt) {
    FaultyFileSystem fs;
    {
        RecordManager manager(fs);
        Block block;
        ASSERT_EQ(0, Create(manager, kPath,
                            FileSpecBytes(900, {{1, 4, ZELRM_KEY_EXTENDED_TYPE, ZELRM_TYPE_INTEGER}})));
        ASSERT_EQ(0, Open(manager, block, kPath));
        for (std::int32_t id = 0; id < 4; ++id)
            ASSERT_EQ(0, Insert(manager, block, Concat({Int32(id), Bytes(896, 'x')})));
        ASSERT_EQ(0, Close(manager, block));
    }
    Bytes damaged;
    fs.ReadWhole(kPath, &damaged);
    for (std::size_t page = 1; page < damaged.size() / format::kPageSize; ++page) {
        std::uint8_t* data = damaged.data() + page * format::kPageSize;
        if (data[format::kKind] != static_cast<std::uint8_t>(format::PageKind::kLeaf)) continue;
        Store16(data + format::kFragments, 600);
        Store32(data, Checksum(data + 4, format::kPageSize - 4, static_cast<std::uint32_t>(page)));
    }
    fs.WriteWhole(kPath, damaged);
    RecordManager manager(fs);
    Block block;
    ASSERT_EQ(0, Open(manager, block, kPath));
    EXPECT_EQ(2, Insert(manager, block, Concat({Int32(4), Bytes(896, 'y')})));
    EXPECT_EQ(0, Close(manager, block));
    Bytes after;
    fs.ReadWhole(kPath, &after);
    EXPECT_TRUE(after == damaged) << "the refused insert changed the file";
}

// A journal whose header and records all check out, but whose page lies beyond the page count
// its own header gives, belongs to no commit of this file: it is not replayed.
TEST(CorruptionTest, AJournalPageBeyondTheCommittedFileIsNotReplayed) {
    const Bytes original = BuildFile();
    const auto pages = static_cast<std::uint32_t>(original.size() / format::kPageSize);
    const std::uint32_t salt = 0x5A17;
    const std::uint32_t number = pages + 5;
    Bytes journal(format::kJournalHeaderSize + format::kJournalEntrySize, 0);
    std::memcpy(journal.data(), format::kJournalMagic, sizeof format::kJournalMagic);
    Store32(journal.data() + format::kJournalPageSize, format::kPageSize);
    Store32(journal.data() + format::kJournalSalt, salt);
    Store32(journal.data() + format::kJournalPageCount, pages);
    Store32(journal.data() + format::kJournalRecords, 1);
    Store32(journal.data() + format::kJournalChecksum,
            Checksum(journal.data(), format::kJournalHeaderSize, salt));
    std::uint8_t* entry = journal.data() + format::kJournalHeaderSize;
    std::uint8_t* image = entry + format::kJournalEntryHeader;
    std::memset(image, 0x77, format::kPageSize);
    Store32(entry + format::kJournalEntryPage, number);
    Store32(entry + format::kJournalEntrySalt, salt);
    Store32(entry + format::kJournalEntryChecksum, Checksum(image, format::kPageSize, number ^ salt));

    FaultyFileSystem fs;
    fs.WriteWhole(kPath, original);
    fs.WriteWhole(std::string(kPath) + ".zlj", journal);
    RecordManager manager(fs);
    Block block;
    ASSERT_EQ(0, Open(manager, block, kPath));
    ASSERT_EQ(0, Close(manager, block));
    Bytes after;
    fs.ReadWhole(kPath, &after);
    EXPECT_EQ(after.size(), original.size()) << "a page past the file was written";
}

TEST(CorruptionTest, TruncatedFilesAndForeignJournals) {
    const Bytes original = BuildFile();
    for (std::size_t size : {std::size_t{0}, std::size_t{100}, format::kPageSize,
                             original.size() / 2, original.size() - 1}) {
        FaultyFileSystem fs;
        fs.WriteWhole(kPath, Bytes(original.begin(), original.begin() + size));
        for (int status : Exercise(fs)) EXPECT_TRUE(status == 2 || status == 30) << size;
    }
    // A journal that is not one, or is cut short, is ignored.
    for (std::size_t size : {std::size_t{10}, std::size_t{40}, std::size_t{5000}}) {
        FaultyFileSystem fs;
        fs.WriteWhole(kPath, original);
        Bytes journal(size, 0x33);
        std::memcpy(journal.data(), format::kJournalMagic, std::min<std::size_t>(size, 8));
        fs.WriteWhole(std::string(kPath) + ".zlj", journal);
        std::set<int> seen = Exercise(fs);
        EXPECT_EQ(0u, seen.count(2) + seen.count(30)) << size;
    }
}

}  // namespace
}  // namespace zelmor::engine::testing
