#include "core/RecordOperations.h"

#include <algorithm>
#include <vector>

#include "core/DbManager.h"
#include "core/KeyBuffer.h"
#include "core/LittleEndian.h"
#include "core/TableFiles.h"
#include "core/recordmanager/RecordManager.h"
#include "values/FieldCodecs.h"

namespace zelmor {

namespace {

std::int16_t Call(TableDef& table, int operation, void* data, std::uint32_t& dataLength,
                  KeyBuffer& key) {
    return CurrentRecordManager().Call(static_cast<std::uint16_t>(operation), table.positionBlock,
                                       data, &dataLength, key.Data(), key.length, key.keyNumber);
}

KeyBuffer NoKey() {
    KeyBuffer key;
    BuildKeyBuffer(TableDef(), kNoKey, key);
    return key;
}

// Length of the record with its variable part: the Blob lengths after the fixed part, or, when
// the record ends in a Note or LVar field, every field's stored size and null byte.
std::uint32_t VariableRecordLength(const TableDef& table) {
    const std::uint8_t* record = table.record.data();
    std::size_t size = table.record.size();
    if (!table.fields.empty()) {
        int lastType = table.fields.back().dataType;
        if (lastType == kNote || lastType == kLVar) {
            std::size_t at = 0;
            for (const FieldDef& field : table.fields) {
                if (field.IsNullable()) ++at;
                at += StoredFieldSize(field, record, size, at);
            }
            return static_cast<std::uint32_t>(at);
        }
    }
    std::uint32_t length = static_cast<std::uint32_t>(table.recordLength);
    for (const FieldDef& field : table.fields) {
        if (field.dataType != kBlob) continue;
        std::size_t at = static_cast<std::size_t>(field.offset);
        if (field.offset < 0 || at + 4 > size) continue;
        length += LoadU32(table.record, at);
    }
    return length;
}

int KeyedAccess(TableDef& table, int operation, int segmentPosition, bool addBias) {
    if (!table.open) return rc::kNotOpen;
    KeyBuffer key;
    if (!BuildKeyBuffer(table, segmentPosition, key)) return rc::kNoSuchKey;
    std::uint32_t dataLength = DataLengthFor(table, operation);
    int code = operation + (addBias ? TheDbManager().LockBias() : 0);
    return Call(table, code, table.record.data(), dataLength, key);
}

int GetDirect(TableDef& table, std::uint32_t position, int segmentPosition) {
    if (!table.open) return rc::kNotOpen;
    std::fill(table.record.begin(), table.record.end(), 0);
    StoreU32(table.record, 0, position);
    KeyBuffer key;
    if (!BuildKeyBuffer(table, segmentPosition, key)) return rc::kBadLength;
    std::uint32_t dataLength = DataLengthFor(table, op::kGetDirect);
    int bias = segmentPosition == kNoKey ? 0 : TheDbManager().LockBias();
    return Call(table, op::kGetDirect + bias, table.record.data(), dataLength, key);
}

int GetByPercentage(TableDef& table, int segmentPosition, int percentage) {
    if (!table.open) return rc::kNotOpen;
    StoreU16(table.record, 0, static_cast<std::uint16_t>(percentage));
    KeyBuffer key;
    if (!BuildKeyBuffer(table, segmentPosition, key)) return rc::kBadLength;
    std::uint32_t dataLength = DataLengthFor(table, op::kGetByPercentage);
    return Call(table, op::kGetByPercentage, table.record.data(), dataLength, key);
}

int FindPercentage(TableDef& table, int segmentPosition, std::uint32_t position,
                   int& percentage) {
    if (!table.open) return rc::kNotOpen;
    KeyBuffer key;
    if (!BuildKeyBuffer(table, segmentPosition, key)) return rc::kBadLength;
    std::vector<std::uint8_t> data(4);
    StoreU32(data, 0, position);
    std::uint32_t dataLength = 4;
    int status = Call(table, op::kFindPercentage, data.data(), dataLength, key);
    percentage = LoadU16(data, 0);  // the low 16 bits
    return status;
}

// Resolves a key name for the operations that report a missing key as -6.
bool KeyPosition(const TableDef& table, const std::string& keyName, int& segmentPosition) {
    segmentPosition = FindKeyByName(table, keyName);
    return segmentPosition != kKeyNameNotFound;
}

bool AcceptedBias(int bias, int highest) {
    return bias >= 0 && bias <= highest && bias % 100 == 0;
}

}  // namespace

std::uint32_t DataLengthFor(const TableDef& table, int operation) {
    int base = operation % 100;
    if (table.variableLength && (base == op::kInsert || base == op::kUpdate)) {
        // Overlaid fields or Blob lengths set through a record image may add up to more than
        // the buffer holds: the record manager is never told to read past it.
        return std::min<std::uint32_t>(VariableRecordLength(table),
                                       static_cast<std::uint32_t>(table.record.size()));
    }
    std::int32_t length = table.variableLength ? table.bufferLength : table.recordLength;
    return static_cast<std::uint32_t>(length) + 1;
}

int DbAccess(TableDef& table, int operation, const std::string& keyName) {
    int segmentPosition = FindKeyByName(table, keyName);
    if (segmentPosition < 0) return rc::kNoSuchKey;
    return KeyedAccess(table, operation, segmentPosition, true);
}

int DbAccessByID(TableDef& table, int operation, int indexId) {
    return KeyedAccess(table, operation, indexId, true);
}

int DbGetDirect(TableDef& table, std::uint32_t position, const std::string& keyName) {
    int segmentPosition;
    if (!KeyPosition(table, keyName, segmentPosition)) return rc::kNoSuchKey;
    return GetDirect(table, position, segmentPosition);
}

int DbGetDirectByID(TableDef& table, std::uint32_t position, int indexId) {
    return GetDirect(table, position, indexId);
}

std::int32_t DbGetPosition(TableDef& table) {
    if (!table.open) return -1;
    std::vector<std::uint8_t> data(4, 0);
    std::uint32_t dataLength = 4;
    KeyBuffer key = NoKey();
    if (Call(table, op::kGetPosition, data.data(), dataLength, key) != 0) return -1;
    return static_cast<std::int32_t>(LoadU32(data, 0));
}

int DbGetByPercentage(TableDef& table, const std::string& keyName, int percentage) {
    int segmentPosition;
    if (!KeyPosition(table, keyName, segmentPosition)) return rc::kNoSuchKey;
    return GetByPercentage(table, segmentPosition, percentage);
}

int DbGetByPercentageByID(TableDef& table, int indexId, int percentage) {
    return GetByPercentage(table, indexId, percentage);
}

int DbFindPercentage(TableDef& table, const std::string& keyName, std::uint32_t position,
                     int& percentage) {
    int segmentPosition;
    if (!KeyPosition(table, keyName, segmentPosition)) return rc::kNoSuchKey;
    return FindPercentage(table, segmentPosition, position, percentage);
}

int DbFindPercentageByID(TableDef& table, int indexId, std::uint32_t position, int& percentage) {
    return FindPercentage(table, indexId, position, percentage);
}

int DbUnlock(TableDef& table, int unlockType) {
    if (!table.open) return rc::kNotOpen;
    KeyBuffer key = NoKey();
    if (unlockType == -1) {
        std::uint8_t data[4] = {};
        std::uint32_t dataLength = sizeof data;
        Call(table, op::kGetPosition, data, dataLength, key);
        dataLength = sizeof data;
        key.keyNumber = -1;
        return Call(table, op::kUnlock, data, dataLength, key);
    }
    std::uint32_t dataLength = 0;
    key.keyNumber = static_cast<std::int8_t>(unlockType);
    return Call(table, op::kUnlock, nullptr, dataLength, key);
}

int DbGetNumOfRecords(TableDef& table, std::uint32_t& count) {
    if (!table.open) return rc::kNotOpen;
    std::vector<std::uint8_t> stat(4096, 0);
    std::uint32_t dataLength = static_cast<std::uint32_t>(stat.size());
    char fileName[256] = {};
    int status = CurrentRecordManager().Call(op::kStat, table.positionBlock, stat.data(),
                                             &dataLength, fileName, sizeof fileName - 1, 0);
    if (status == 0) count = LoadU32(stat, 6);
    return status;
}

int DbBeginTransaction(int lockBias) {
    if (!AcceptedBias(lockBias, 400)) return rc::kLockBiasRefused;
    std::uint32_t dataLength = 0;
    return CurrentRecordManager().Call(static_cast<std::uint16_t>(op::kBeginTransaction + lockBias),
                                       nullptr, nullptr, &dataLength, nullptr, 0, 0);
}

int DbBeginConCurTransaction(int lockBias) {
    if (!AcceptedBias(lockBias, 500)) return rc::kLockBiasRefused;
    std::uint32_t dataLength = 0;
    return CurrentRecordManager().Call(
        static_cast<std::uint16_t>(op::kBeginConcurrentTransaction + lockBias), nullptr, nullptr,
        &dataLength, nullptr, 0, 0);
}

int DbEndTransaction() {
    std::uint32_t dataLength = 0;
    return CurrentRecordManager().Call(op::kEndTransaction, nullptr, nullptr, &dataLength, nullptr,
                                       0, 0);
}

int DbAbortTransaction() {
    std::uint32_t dataLength = 0;
    return CurrentRecordManager().Call(op::kAbortTransaction, nullptr, nullptr, &dataLength,
                                       nullptr, 0, 0);
}

int DbGetVersion(std::uint8_t* versionBlock) {
    std::uint32_t dataLength = 5;
    return CurrentRecordManager().Call(op::kVersion, nullptr, versionBlock, &dataLength, nullptr,
                                       0, 0);
}

}  // namespace zelmor
