// The record manager and its dictionary reader as the rest of the system calls them. The calls
// go through this interface so that tests can watch them (operation codes, key numbers, lengths)
// while the real engine does the work.
#pragma once

#include <cstdint>

namespace zelmor {

// Operation codes of the record manager.
namespace op {
constexpr std::uint16_t kOpen = 0;
constexpr std::uint16_t kClose = 1;
constexpr std::uint16_t kInsert = 2;
constexpr std::uint16_t kUpdate = 3;
constexpr std::uint16_t kDelete = 4;
constexpr std::uint16_t kGetEqual = 5;
constexpr std::uint16_t kGetNext = 6;
constexpr std::uint16_t kGetPrevious = 7;
constexpr std::uint16_t kGetGreater = 8;
constexpr std::uint16_t kGetGreaterOrEqual = 9;
constexpr std::uint16_t kGetLess = 10;
constexpr std::uint16_t kGetLessOrEqual = 11;
constexpr std::uint16_t kGetFirst = 12;
constexpr std::uint16_t kGetLast = 13;
constexpr std::uint16_t kCreate = 14;
constexpr std::uint16_t kStat = 15;
constexpr std::uint16_t kBeginTransaction = 19;
constexpr std::uint16_t kEndTransaction = 20;
constexpr std::uint16_t kAbortTransaction = 21;
constexpr std::uint16_t kGetPosition = 22;
constexpr std::uint16_t kGetDirect = 23;
constexpr std::uint16_t kStepNext = 24;
constexpr std::uint16_t kVersion = 26;
constexpr std::uint16_t kUnlock = 27;
constexpr std::uint16_t kReset = 28;
constexpr std::uint16_t kStepFirst = 33;
constexpr std::uint16_t kStepLast = 34;
constexpr std::uint16_t kStepPrevious = 35;
constexpr std::uint16_t kGetNextExtended = 36;
constexpr std::uint16_t kGetPreviousExtended = 37;
constexpr std::uint16_t kStepNextExtended = 38;
constexpr std::uint16_t kStepPreviousExtended = 39;
constexpr std::uint16_t kGetByPercentage = 44;
constexpr std::uint16_t kFindPercentage = 45;
constexpr std::uint16_t kBeginConcurrentTransaction = 1019;
}  // namespace op

// Statuses the system looks at.
namespace status {
constexpr int kSuccess = 0;
constexpr int kKeyNotFound = 4;
constexpr int kEndOfFile = 9;
constexpr int kDataBufferTooShort = 22;
}  // namespace status

constexpr std::size_t kPositionBlockSize = 128;

class RecordManager {
public:
    virtual ~RecordManager() = default;

    virtual std::int16_t Call(std::uint16_t operation, void* positionBlock, void* dataBuffer,
                              std::uint32_t* dataLength, void* keyBuffer, std::uint8_t keyLength,
                              std::int8_t keyNumber) = 0;

    // The dictionary reader. Each Read fills `record` with the next record of its file and gives
    // 0, 9 after the last one, or another status on failure.
    virtual std::int16_t DdfOpen(const char* directory) = 0;
    virtual std::int16_t DdfReadFile(void* record) = 0;
    virtual std::int16_t DdfReadField(void* record) = 0;
    virtual std::int16_t DdfReadIndex(void* record) = 0;
    virtual std::int16_t DdfClose() = 0;
};

// The embedded engine.
RecordManager& EngineRecordManager();

// The record manager in use: the engine unless a test installed another.
RecordManager& CurrentRecordManager();
RecordManager* InstallRecordManager(RecordManager* replacement);

class ScopedRecordManager {
public:
    explicit ScopedRecordManager(RecordManager& manager)
        : previous_(InstallRecordManager(&manager)) {}
    ~ScopedRecordManager() { InstallRecordManager(previous_); }
    ScopedRecordManager(const ScopedRecordManager&) = delete;
    ScopedRecordManager& operator=(const ScopedRecordManager&) = delete;

private:
    RecordManager* previous_;
};

}  // namespace zelmor
