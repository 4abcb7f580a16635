#include "core/BoundOperations.h"

#include <algorithm>
#include <new>

#include "core/FieldAccess.h"
#include "core/KeyBuffer.h"
#include "core/LittleEndian.h"
#include "messages/Messages.h"
#include "core/RecordOperations.h"
#include "core/TableFiles.h"
#include "core/recordmanager/RecordManager.h"
#include "values/FieldCodecs.h"

namespace zelmor {

namespace {

struct ReadCode {
    int operation;
    int code;
};

// The get and step operations and the record manager's code for each.
const ReadCode kReadCodes[] = {
    {kDbGetEqual, op::kGetEqual},       {kDbGetFirst, op::kGetFirst},
    {kDbGetLast, op::kGetLast},         {kDbGetNext, op::kGetNext},
    {kDbGetPrevious, op::kGetPrevious}, {kDbGetGreater, op::kGetGreater},
    {kDbGetLessThan, op::kGetLess},     {kDbGetGreaterOrEqual, op::kGetGreaterOrEqual},
    {kDbGetLessThanOrEqual, op::kGetLessOrEqual}, {kDbStepFirst, op::kStepFirst},
    {kDbStepLast, op::kStepLast},       {kDbStepNext, op::kStepNext},
    {kDbStepPrevious, op::kStepPrevious},
};

std::int16_t Call(TableDef& table, int code, void* data, std::uint32_t dataLength,
                  KeyBuffer& key) {
    return CurrentRecordManager().Call(static_cast<std::uint16_t>(code), table.positionBlock, data,
                                       &dataLength, key.Data(), key.length, key.keyNumber);
}

int InsertOrUpdate(TableDef& table, int dbOperation, int lockChoice, int indexId,
                   BoundOperationHost& host) {
    bool update = dbOperation == kDbUpdate || dbOperation == kDbUpdateNCC;
    bool keepCurrency = dbOperation == kDbInsertNCC || dbOperation == kDbUpdateNCC;
    if (!update) ResetRecordBuffer(table);  // an insert starts from an empty record
    // An update keeps the fields no control supplies, as the record last read had them.
    const TableWatch watch(table);
    ReadControlsIntoRecord(table, host, Placement::Walk);
    if (host.CancelledByHandler()) return rc::kAborted;
    if (!watch.Intact()) return rc::kNotOpen;  // the handler closed it or freed the dictionary
    int operation = update ? op::kUpdate : op::kInsert;
    // The whole record goes back, every Blob value included, not only the values the controls
    // placed: a shorter length would cut off the Blob data no control shows.
    std::uint32_t dataLength = DataLengthFor(table, operation);
    KeyBuffer key;
    if (!BuildKeyBuffer(table, indexId, key)) return rc::kBadLength;
    if (keepCurrency) key.keyNumber = -1;
    return Call(table, operation + LockBiasOf(lockChoice), table.record.data(), dataLength, key);
}

int Delete(TableDef& table, int lockChoice, BoundOperationHost& host) {
    const TableWatch watch(table);
    if (host.CancelledByHandler()) return rc::kAborted;
    if (!watch.Intact()) return rc::kNotOpen;
    KeyBuffer key;
    BuildKeyBuffer(table, kNoKey, key);
    return Call(table, op::kDelete + LockBiasOf(lockChoice), nullptr, 0, key);
}

// Grows the buffer to hold every Blob value the fixed part describes, then reads the record
// again by its position.
int ReReadByPosition(TableDef& table, int lockBias, KeyBuffer& key) {
    std::size_t needed = 0;
    for (const FieldDef& field : table.fields) {
        if (field.dataType != kBlob || field.offset < 0) continue;
        std::size_t at = static_cast<std::size_t>(field.offset);
        std::size_t end = std::size_t{LoadU32(table.record, at + 4)} + LoadU32(table.record, at);
        needed = std::max(needed, end);
    }
    // Room for the position Get Position returns, whatever the record's length.
    needed = std::max<std::size_t>(needed, 3);
    if (needed > kMaxBlobRecordSize) {
        ShowMessage(VE001, "Zeldb", __LINE__);
        return rc::kBadLength;
    }
    if (needed > static_cast<std::size_t>(table.bufferLength)) {
        try {
            table.record.assign(needed + 1, 0);
        } catch (const std::bad_alloc&) {
            ShowMessage(VE001, "Zeldb", __LINE__);
            return rc::kBadLength;
        }
        table.bufferLength = static_cast<std::int32_t>(needed);
    }
    std::vector<std::uint8_t> position(4, 0);
    KeyBuffer none;
    BuildKeyBuffer(table, kNoKey, none);
    int status = Call(table, op::kGetPosition + lockBias, position.data(), 4, none);
    if (status != 0) return status;
    std::copy(position.begin(), position.end(), table.record.begin());
    return Call(table, op::kGetDirect + lockBias, table.record.data(),
                static_cast<std::uint32_t>(table.bufferLength) + 1, key);
}

int KeyedRead(TableDef& table, int dbOperation, int lockChoice, int indexId,
              BoundOperationHost& host) {
    const TableWatch watch(table);
    if (host.CancelledByHandler()) return rc::kAborted;
    if (!watch.Intact()) return rc::kNotOpen;
    if (dbOperation != kDbGetNext && dbOperation != kDbGetPrevious) {
        std::fill(table.record.begin(), table.record.end(), 0);
        ReadControlsIntoRecord(table, host, Placement::DictionaryOffset);
        if (!watch.Intact()) return rc::kNotOpen;
    }
    int status = ReadWholeRecord(table, ReadOperationCode(dbOperation), LockBiasOf(lockChoice),
                                 indexId);
    if (status == 0) host.ShowRecord(table);
    return status;
}

int Step(TableDef& table, int dbOperation, int lockChoice, BoundOperationHost& host) {
    KeyBuffer key;
    BuildKeyBuffer(table, kNoKey, key);
    int status = Call(table, ReadOperationCode(dbOperation) + LockBiasOf(lockChoice),
                      table.record.data(), static_cast<std::uint32_t>(table.recordLength), key);
    if (status == 0) host.ShowRecord(table);
    return status;
}

}  // namespace

void ReadControlsIntoRecord(TableDef& table, BoundOperationHost& host, Placement placement) {
    bool walk = placement == Placement::Walk;
    const TableWatch watch(table);
    std::size_t at = 0;
    std::string text;
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        const FieldDef& field = table.fields[i];
        if (walk && field.IsNullable()) ++at;
        std::size_t place = walk ? at : static_cast<std::size_t>(std::max(field.offset, 0));
        bool supplied = host.ReadFieldValue(table, field, text);
        // A control may have closed the table or reloaded the dictionary while it was read.
        if (!watch.Intact()) return;
        if (supplied) {
            TextToField(field, table.record.data(), table.record.size(), place, text);
            if (field.dataType == kBlob && walk) PlaceBlobValue(table, field, place, text);
        }
        // A Note or LVar value that no control supplied keeps its stored length.
        if (walk) at += StoredFieldSize(field, table.record.data(), table.record.size(), place);
    }
}

int LockBiasOf(int lockChoice) {
    return lockChoice >= kLockNone && lockChoice <= kLockMultiNoWait ? lockChoice * 100 : 0;
}

int ReadOperationCode(int dbOperation) {
    for (const ReadCode& entry : kReadCodes) {
        if (entry.operation == dbOperation) return entry.code;
    }
    return -1;
}

namespace {

// Runs a read that fills the record buffer; a variable-length record is read again whole.
// `prepare` puts what the operation takes into the buffer once the key is built.
template <typename Prepare>
int ReadWhole(TableDef& table, int code, int lockBias, int indexId, Prepare prepare) {
    if (!table.open) return rc::kNotOpen;
    KeyBuffer key;
    if (!BuildKeyBuffer(table, indexId, key)) return rc::kBadLength;
    prepare();
    std::uint32_t dataLength = DataLengthFor(table, code);
    int status = Call(table, code + lockBias, table.record.data(), dataLength, key);
    bool shortBuffer = status == status::kDataBufferTooShort && table.variableLength;
    if ((status == 0 || shortBuffer) && table.variableLength) {
        status = ReReadByPosition(table, lockBias, key);
    }
    return status;
}

}  // namespace

int ReadWholeRecord(TableDef& table, int code, int lockBias, int indexId) {
    return ReadWhole(table, code, lockBias, indexId, [] {});
}

int ReadWholeRecordAtPercentage(TableDef& table, int indexId, int percentage) {
    return ReadWhole(table, op::kGetByPercentage, 0, indexId, [&] {
        StoreU16(table.record, 0, static_cast<std::uint16_t>(percentage));
    });
}

int RunBoundOperation(TableDef& table, int dbOperation, int lockChoice, int indexId,
                      BoundOperationHost& host) {
    if (!table.open) return rc::kNotOpen;
    switch (dbOperation) {
        case kDbInsert:
        case kDbUpdate:
        case kDbInsertNCC:
        case kDbUpdateNCC:
            return InsertOrUpdate(table, dbOperation, lockChoice, indexId, host);
        case kDbDelete:
            return Delete(table, lockChoice, host);
        case kDbStepFirst:
        case kDbStepLast:
        case kDbStepNext:
        case kDbStepPrevious:
            return Step(table, dbOperation, lockChoice, host);
        default:
            if (ReadOperationCode(dbOperation) < 0) return rc::kBadLength;
            return KeyedRead(table, dbOperation, lockChoice, indexId, host);
    }
}

}  // namespace zelmor
