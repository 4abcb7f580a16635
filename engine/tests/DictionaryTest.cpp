// The dictionary reader: three files found whatever the case of their names, records handed
// out in file / field / index order, 9 at the end and 3 when nothing is open.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/tests/FaultyFileSystem.h"
#include "engine/tests/TestSupport.h"

namespace zelmor::engine::testing {
namespace {

Bytes I16(std::int16_t value) {
    Bytes bytes(2);
    std::memcpy(bytes.data(), &value, 2);
    return bytes;
}

Bytes FileRecord(std::int16_t id, const std::string& name, std::uint8_t flags) {
    return Concat({I16(id), Text(name, 20), Text(name + ".btr", 64), Bytes{flags}, Bytes(10, 0)});
}
Bytes FieldRecord(std::int16_t id, std::int16_t file, const std::string& name) {
    return Concat({I16(id), I16(file), Text(name, 20), Bytes{0}, I16(0), I16(4), Bytes{0}, I16(0)});
}
Bytes IndexRecord(std::int16_t file, std::int16_t field, std::int16_t key, std::int16_t part) {
    return Concat({I16(file), I16(field), I16(key), I16(part), I16(0)});
}

class DictionaryTest : public ::testing::Test {
protected:
    void Write(const std::string& path, std::uint16_t length, const std::vector<Bytes>& records) {
        ASSERT_EQ(0, Create(manager, path, FileSpecBytes(length, {{1, 2, ZELRM_KEY_DUPLICATES}})));
        Block block;
        ASSERT_EQ(0, Open(manager, block, path));
        for (const Bytes& record : records) ASSERT_EQ(0, Insert(manager, block, record));
        ASSERT_EQ(0, Close(manager, block));
    }
    void SetUp() override {
        Write("/dict/file.ddf", 97,
              {FileRecord(5, "orders", 0), FileRecord(1, "X$File", 16), FileRecord(4, "people", 0)});
        Write("/dict/Field.DDF", 32,
              {FieldRecord(12, 5, "total"), FieldRecord(10, 4, "name"), FieldRecord(11, 5, "id"),
               FieldRecord(9, 4, "id")});
        Write("/dict/INDEX.ddf", 10,
              {IndexRecord(5, 11, 1, 0), IndexRecord(4, 9, 0, 0), IndexRecord(5, 12, 0, 1),
               IndexRecord(5, 11, 0, 0)});
    }
    std::vector<Bytes> ReadAll(std::int16_t (RecordManager::*read)(void*), std::size_t size) {
        std::vector<Bytes> records;
        Bytes buffer(200, 0xEE);
        for (;;) {
            std::int16_t status = (manager.*read)(buffer.data());
            if (status == 9) break;
            EXPECT_EQ(0, status);
            if (status != 0) break;
            records.emplace_back(buffer.begin(), buffer.begin() + size);
            // Nothing is written past the record.
            EXPECT_EQ(0xEE, buffer[size]);
        }
        return records;
    }

    FaultyFileSystem fs;
    RecordManager manager{fs};
};

TEST_F(DictionaryTest, ReadsEachFileInItsOrder) {
    EXPECT_EQ(3, manager.DictionaryReadFile(nullptr));
    ASSERT_EQ(0, manager.DictionaryOpen("\\dict\\"));
    auto files = ReadAll(&RecordManager::DictionaryReadFile, ZELRM_DDF_FILE_RECORD_SIZE);
    ASSERT_EQ(3u, files.size());
    const Bytes own = FileRecord(1, "X$File", 16);
    EXPECT_EQ(Bytes(own.begin(), own.begin() + ZELRM_DDF_FILE_RECORD_SIZE), files[0]);
    EXPECT_EQ(4, files[1][0]);
    EXPECT_EQ(5, files[2][0]);
    auto fields = ReadAll(&RecordManager::DictionaryReadField, ZELRM_DDF_FIELD_RECORD_SIZE);
    std::vector<std::pair<int, int>> fieldOrder;
    for (const Bytes& f : fields) fieldOrder.push_back({f[2], f[0]});
    EXPECT_EQ((std::vector<std::pair<int, int>>{{4, 9}, {4, 10}, {5, 11}, {5, 12}}), fieldOrder);
    auto indexes = ReadAll(&RecordManager::DictionaryReadIndex, ZELRM_DDF_INDEX_RECORD_SIZE);
    std::vector<std::tuple<int, int, int>> indexOrder;
    for (const Bytes& i : indexes) indexOrder.push_back({i[0], i[4], i[6]});
    EXPECT_EQ((std::vector<std::tuple<int, int, int>>{{4, 0, 0}, {5, 0, 0}, {5, 0, 1}, {5, 1, 0}}),
              indexOrder);
    Bytes buffer(100);
    EXPECT_EQ(9, manager.DictionaryReadFile(buffer.data()));
    // Opening again starts over.
    ASSERT_EQ(0, manager.DictionaryOpen("/dict"));
    EXPECT_EQ(3u, ReadAll(&RecordManager::DictionaryReadFile, 87).size());
    EXPECT_EQ(0, manager.DictionaryClose());
    EXPECT_EQ(3, manager.DictionaryReadIndex(buffer.data()));
}

TEST_F(DictionaryTest, MissingOrForeignFilesFailTheOpen) {
    EXPECT_EQ(12, manager.DictionaryOpen("/nowhere"));
    ASSERT_EQ(0, manager.DictionaryOpen("/dict"));
    fs.Remove("/dict/INDEX.ddf");
    EXPECT_EQ(12, manager.DictionaryOpen("/dict"));
    Bytes buffer(100);
    EXPECT_EQ(3, manager.DictionaryReadFile(buffer.data()));
    fs.WriteWhole("/dict/index.DDF", Bytes(9000, 'z'));
    EXPECT_EQ(30, manager.DictionaryOpen("/dict"));
}

}  // namespace
}  // namespace zelmor::engine::testing
