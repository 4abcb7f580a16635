// The record manager as a C++ object: one instance is one client (what a process is to the C
// interface). BTRCALL and the DDF functions use the process-wide instance; tests make their own
// over an in-memory file system to stand for other processes or to inject faults.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace zelmor::engine {

class Engine;
class FileSystem;

struct RecordManagerOptions {
    // Pages (4 KiB) each open file may keep cached.
    std::size_t cachePages = 8192;
    // Accelerated opens commit once their uncommitted changes reach this many pages.
    std::size_t groupCommitPages = 2048;
    // How long a wait for a lock held by another process may last where the system cannot
    // detect deadlocks (Windows); then it gives status 78. POSIX systems detect them and wait
    // as long as needed.
    std::uint32_t lockWaitMilliseconds = 20000;
};

class RecordManager {
public:
    // On the operating system's files.
    RecordManager();
    explicit RecordManager(FileSystem& fileSystem, RecordManagerOptions options = {});
    ~RecordManager();
    RecordManager(const RecordManager&) = delete;
    RecordManager& operator=(const RecordManager&) = delete;

    std::int16_t Call(std::uint16_t op, void* positionBlock, void* data, std::uint32_t* dataLength,
                      void* key, std::uint8_t keyLength, std::int8_t keyNumber);

    std::int16_t DictionaryOpen(const char* directory);
    std::int16_t DictionaryReadFile(void* record);
    std::int16_t DictionaryReadField(void* record);
    std::int16_t DictionaryReadIndex(void* record);
    std::int16_t DictionaryClose();

private:
    std::unique_ptr<Engine> engine_;
};

// The instance behind the C interface.
RecordManager& ProcessRecordManager();

}  // namespace zelmor::engine
