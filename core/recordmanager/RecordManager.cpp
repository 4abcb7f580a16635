#include "core/recordmanager/RecordManager.h"

#include "engine/zelrm.h"

namespace zelmor {

namespace {

class Engine : public RecordManager {
public:
    std::int16_t Call(std::uint16_t operation, void* positionBlock, void* dataBuffer,
                      std::uint32_t* dataLength, void* keyBuffer, std::uint8_t keyLength,
                      std::int8_t keyNumber) override {
        return BTRCALL(operation, positionBlock, dataBuffer, dataLength, keyBuffer, keyLength,
                       keyNumber);
    }
    std::int16_t DdfOpen(const char* directory) override { return DDFOpen(directory, 0); }
    std::int16_t DdfReadFile(void* record) override { return DDFReadFile(record); }
    std::int16_t DdfReadField(void* record) override { return DDFReadField(record); }
    std::int16_t DdfReadIndex(void* record) override { return DDFReadIndex(record); }
    std::int16_t DdfClose() override { return DDFClose(); }
};

RecordManager* g_installed = nullptr;

}  // namespace

RecordManager& EngineRecordManager() {
    static Engine engine;
    return engine;
}

RecordManager& CurrentRecordManager() {
    return g_installed != nullptr ? *g_installed : EngineRecordManager();
}

RecordManager* InstallRecordManager(RecordManager* replacement) {
    RecordManager* previous = g_installed;
    g_installed = replacement;
    return previous;
}

}  // namespace zelmor
