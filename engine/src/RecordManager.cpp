#include "engine/RecordManager.h"

#include "engine/src/Engine.h"
#include "engine/zelrm.h"

namespace zelmor::engine {

namespace {
EngineOptions EngineOptionsOf(const RecordManagerOptions& options) {
    EngineOptions engineOptions;
    engineOptions.cachePages = options.cachePages;
    engineOptions.groupCommitPages = options.groupCommitPages;
    engineOptions.lockWaitMilliseconds = options.lockWaitMilliseconds;
    return engineOptions;
}
}  // namespace

RecordManager::RecordManager() : RecordManager(NativeFileSystem()) {}

RecordManager::RecordManager(FileSystem& fileSystem, RecordManagerOptions options)
    : engine_(std::make_unique<Engine>(fileSystem, EngineOptionsOf(options))) {}

RecordManager::~RecordManager() = default;

std::int16_t RecordManager::Call(std::uint16_t op, void* positionBlock, void* data,
                                 std::uint32_t* dataLength, void* key, std::uint8_t keyLength,
                                 std::int8_t keyNumber) {
    return engine_->Call(op, positionBlock, data, dataLength, key, keyLength, keyNumber);
}

std::int16_t RecordManager::DictionaryOpen(const char* directory) {
    return engine_->DictionaryOpen(directory);
}
std::int16_t RecordManager::DictionaryReadFile(void* record) {
    return engine_->DictionaryRead(DictionaryFile::kFile, record);
}
std::int16_t RecordManager::DictionaryReadField(void* record) {
    return engine_->DictionaryRead(DictionaryFile::kField, record);
}
std::int16_t RecordManager::DictionaryReadIndex(void* record) {
    return engine_->DictionaryRead(DictionaryFile::kIndex, record);
}
std::int16_t RecordManager::DictionaryClose() { return engine_->DictionaryClose(); }

RecordManager& ProcessRecordManager() {
    // Never destroyed: callers may still call in while the process's statics go away.
    static RecordManager* manager = new RecordManager();
    return *manager;
}

}  // namespace zelmor::engine

extern "C" {

int16_t ZELRM_CALL BTRCALL(uint16_t op, void* posBlock, void* dataBuf, uint32_t* dataLen,
                           void* keyBuf, uint8_t keyLen, int8_t keyNum) {
    return zelmor::engine::ProcessRecordManager().Call(op, posBlock, dataBuf, dataLen, keyBuf,
                                                       keyLen, keyNum);
}

int16_t ZELRM_CALL DDFOpen(const char* directory, int reserved) {
    (void)reserved;
    return zelmor::engine::ProcessRecordManager().DictionaryOpen(directory);
}
int16_t ZELRM_CALL DDFReadFile(void* record) {
    return zelmor::engine::ProcessRecordManager().DictionaryReadFile(record);
}
int16_t ZELRM_CALL DDFReadField(void* record) {
    return zelmor::engine::ProcessRecordManager().DictionaryReadField(record);
}
int16_t ZELRM_CALL DDFReadIndex(void* record) {
    return zelmor::engine::ProcessRecordManager().DictionaryReadIndex(record);
}
int16_t ZELRM_CALL DDFClose(void) { return zelmor::engine::ProcessRecordManager().DictionaryClose(); }

}
