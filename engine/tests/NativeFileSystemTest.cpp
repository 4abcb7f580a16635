// The operating system's file layer (POSIX natively, Win32 under Wine) under the engine: a table
// written, closed, reopened and read back; one file reached by two spellings of its path; the
// dictionary found in a real folder.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>

#include "engine/src/FileSystem.h"
#include "engine/tests/TestSupport.h"
#include "engine/tests/Workers.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zelmor::engine::testing {
namespace {

#ifndef _WIN32
// Another process that may only read the table: root gives up its rights first, as root opens
// every file for writing. Arguments: the table's path. Exit 0 when it read the first record.
int ReadOnlyReader(const std::vector<std::string>& arguments) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return 10;
    RecordManager manager;
    Block block;
    if (Open(manager, block, arguments.at(0)) != 0) return 11;
    Reply first = Get(manager, ZELRM_OP_GET_FIRST, block, 0);
    if (first.status != 0) return 12;
    if (Insert(manager, block, Concat({Int32(99), Text("no", 8), Int32(0)})) == 0) return 13;
    return Close(manager, block) == 0 ? 0 : 14;
}
const WorkerRegistration kReadOnlyReader("read-only-reader", ReadOnlyReader);
#endif

class NativeFileSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device seed;
        folder = std::filesystem::temp_directory_path() /
                 ("zelrm-native-" + std::to_string(seed()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::string PathOf(const std::string& name) { return (folder / name).string(); }

    std::filesystem::path folder;
};

TEST_F(NativeFileSystemTest, TablesSurviveCloseAndReopen) {
    const std::string path = PathOf("people.btr");
    State written;
    {
        RecordManager manager;
        ASSERT_EQ(0, Create(manager, path, IdAndNameSpec(16, ZELRM_FILE_VARIABLE_LENGTH)));
        EXPECT_EQ(59, Create(manager, path, FileSpecBytes(16, {}), -1));
        Block block;
        ASSERT_EQ(0, Open(manager, block, path));
        for (std::int32_t id = 0; id < 1500; ++id) {
            Bytes record = Concat({Int32(id), Text("n" + std::to_string(id % 13), 8), Int32(id * 3)});
            if (id % 100 == 0) record.resize(record.size() + 7000, static_cast<std::uint8_t>(id));
            ASSERT_EQ(0, Insert(manager, block, record));
            written[id] = record;
        }
        ASSERT_EQ(0, Get(manager, ZELRM_OP_GET_EQUAL, block, 0, Int32(700), 8192).status);
        ASSERT_EQ(0, Delete(manager, block));
        written.erase(700);
        // The same file by another spelling of its path is the same open file.
        Block other;
        std::string again = (folder / "." / "people.btr").string();
        EXPECT_EQ(88, Open(manager, other, again, ZELRM_MODE_EXCLUSIVE));
        ASSERT_EQ(0, Close(manager, block));
    }
    // While no process has it open, no journal or shared memory is left beside it.
    EXPECT_FALSE(std::filesystem::exists(path + ".zlj"));
    EXPECT_FALSE(std::filesystem::exists(path + ".zls"));
    RecordManager manager;
    State read;
    ASSERT_TRUE(ReadTable(manager, path, &read));
    EXPECT_EQ(written, read);
}

#ifndef _WIN32
// A table its process may only read (a read-only file, or a database on read-only storage) is
// read beside a writer that has it open: the reader's locks are read locks, which the system
// grants on a file open for reading, and the writer goes on writing.
TEST_F(NativeFileSystemTest, AFileThatMayOnlyBeReadIsReadBesideAWriter) {
    const std::string path = PathOf("people.btr");
    RecordManager manager;
    ASSERT_EQ(0, Create(manager, path, IdAndNameSpec(16)));
    Block writer;
    ASSERT_EQ(0, Open(manager, writer, path));
    ASSERT_EQ(0, Insert(manager, writer, Concat({Int32(1), Text("one", 8), Int32(3)})));
    ASSERT_EQ(0, chmod(path.c_str(), 0444));
    ASSERT_EQ(0, chmod(folder.c_str(), 0755));
    ChildProcess reader("read-only-reader", {path});
    EXPECT_EQ(reader.Wait(), 0);
    EXPECT_EQ(0, Insert(manager, writer, Concat({Int32(2), Text("two", 8), Int32(6)})));
    EXPECT_EQ(2u, RecordCount(manager, writer));
    ASSERT_EQ(0, Close(manager, writer));
    chmod(path.c_str(), 0644);
}
#endif

TEST_F(NativeFileSystemTest, DictionaryInARealFolder) {
    RecordManager manager;
    for (const char* name : {"file.ddf", "FIELD.DDF", "Index.Ddf"}) {
        ASSERT_EQ(0, Create(manager, PathOf(name), FileSpecBytes(32, {{1, 2, ZELRM_KEY_DUPLICATES}})));
        Block block;
        ASSERT_EQ(0, Open(manager, block, PathOf(name)));
        ASSERT_EQ(0, Insert(manager, block, Bytes(32, 1)));
        ASSERT_EQ(0, Close(manager, block));
    }
    ASSERT_EQ(0, manager.DictionaryOpen(folder.string().c_str()));
    Bytes record(100);
    EXPECT_EQ(0, manager.DictionaryReadIndex(record.data()));
    EXPECT_EQ(9, manager.DictionaryReadIndex(record.data()));
    EXPECT_EQ(0, manager.DictionaryClose());
    EXPECT_EQ(12, manager.DictionaryOpen(PathOf("missing").c_str()));
}

TEST_F(NativeFileSystemTest, MissingAndForeignFiles) {
    RecordManager manager;
    Block block;
    EXPECT_EQ(12, Open(manager, block, PathOf("none.btr")));
    std::unique_ptr<File> file;
    ASSERT_EQ(Status::kOk, NativeFileSystem().Open(PathOf("text.txt"), OpenDisposition::kCreateNew, &file));
    const char text[] = "not a table at all";
    ASSERT_EQ(Status::kOk, file->Write(0, text, sizeof text));
    file.reset();
    EXPECT_EQ(30, Open(manager, block, PathOf("text.txt")));
    // A folder is not a table file.
    EXPECT_NE(0, Open(manager, block, folder.string()));
}

}  // namespace
}  // namespace zelmor::engine::testing
