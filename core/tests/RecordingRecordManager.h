// Passes every call to the real engine and keeps what was asked: operation, lengths, key number
// and key bytes, so that tests can check the exact calls the system makes.
#pragma once

#include <string>
#include <vector>

#include "core/recordmanager/RecordManager.h"

namespace zelmor::testing {

struct RecordedCall {
    int operation;
    std::uint32_t dataLength;  // as passed in
    int keyLength;
    int keyNumber;
    std::vector<std::uint8_t> key;   // keyLength bytes as passed in
    std::vector<std::uint8_t> data;  // the first min(dataLength, 64) bytes passed in
    int status;
};

class RecordingRecordManager : public RecordManager {
public:
    RecordingRecordManager() : scope_(*this) {}

    std::int16_t Call(std::uint16_t operation, void* positionBlock, void* dataBuffer,
                      std::uint32_t* dataLength, void* keyBuffer, std::uint8_t keyLength,
                      std::int8_t keyNumber) override {
        RecordedCall call{operation, dataLength != nullptr ? *dataLength : 0, keyLength, keyNumber,
                          {}, {}, 0};
        if (keyBuffer != nullptr) {
            auto* key = static_cast<const std::uint8_t*>(keyBuffer);
            call.key.assign(key, key + keyLength);
        }
        if (dataBuffer != nullptr && dataLength != nullptr) {
            auto* data = static_cast<const std::uint8_t*>(dataBuffer);
            call.data.assign(data, data + std::min<std::uint32_t>(*dataLength, 64));
        }
        call.status = EngineRecordManager().Call(operation, positionBlock, dataBuffer, dataLength,
                                                 keyBuffer, keyLength, keyNumber);
        calls.push_back(call);
        return static_cast<std::int16_t>(call.status);
    }
    std::int16_t DdfOpen(const char* directory) override {
        ++ddfOpens;
        return EngineRecordManager().DdfOpen(directory);
    }
    std::int16_t DdfReadFile(void* record) override {
        return EngineRecordManager().DdfReadFile(record);
    }
    std::int16_t DdfReadField(void* record) override {
        return EngineRecordManager().DdfReadField(record);
    }
    std::int16_t DdfReadIndex(void* record) override {
        return EngineRecordManager().DdfReadIndex(record);
    }
    std::int16_t DdfClose() override { return EngineRecordManager().DdfClose(); }

    const RecordedCall& Last() const { return calls.back(); }
    // The calls of one operation code (biases included in the code).
    std::vector<RecordedCall> CallsOf(int operation) const {
        std::vector<RecordedCall> found;
        for (const RecordedCall& call : calls) {
            if (call.operation == operation) found.push_back(call);
        }
        return found;
    }

    std::vector<RecordedCall> calls;
    int ddfOpens = 0;

private:
    ScopedRecordManager scope_;
};

}  // namespace zelmor::testing
