#include "extended/ResultSets.h"

#include <array>
#include <new>
#include <optional>

#include "core/DbManager.h"
#include "core/KeyBuffer.h"
#include "messages/Messages.h"
#include "core/TableFiles.h"
#include "core/recordmanager/RecordManager.h"
#include "extended/ExtendedRequest.h"
#include "extended/Reply.h"
#include "platform/CodePage.h"
#include "values/FieldCodecs.h"

namespace zelmor {

namespace {

// A kept reply. The slot holds its own copy of the table's fields, so that it can still be read
// after the data control that ran the operation has released its dictionary.
struct ResultSet {
    std::vector<FieldDef> fields;
    std::vector<int> fieldIndexes;        // the fields each record holds, in order
    std::vector<ReplyRecord> records;     // point into `reply`
    std::vector<std::uint8_t> reply;      // u16 count, then the records, as the reply holds them
};

std::array<std::optional<ResultSet>, kResultSetCount>& Slots() {
    static std::array<std::optional<ResultSet>, kResultSetCount> slots;
    return slots;
}

ResultSet* Slot(int resultId) {
    if (resultId < 0 || resultId >= kResultSetCount) return nullptr;
    std::optional<ResultSet>& slot = Slots()[static_cast<std::size_t>(resultId)];
    return slot ? &*slot : nullptr;
}

bool KeptStatus(int status) {
    return status == 0 || status == 9 || status == 22 || status == 60 || status == 64 ||
           status == 65;
}

bool AcceptedOperation(int operation) {
    int base = operation % 100;
    int bias = operation - base;
    return base >= op::kGetNextExtended && base <= op::kStepPreviousExtended && bias >= 0 &&
           bias <= 400;
}

void Reindex(ResultSet& set) {
    set.records = ReadReply(set.reply.data(), set.reply.size());
}

const ReplyRecord* RecordAt(const ResultSet& set, int recordIndex) {
    if (recordIndex < 0 || static_cast<std::size_t>(recordIndex) >= set.records.size()) {
        return nullptr;
    }
    return &set.records[static_cast<std::size_t>(recordIndex)];
}

// The text of field `fieldIndex` in a record: the first place the field list names it.
std::string FieldText(const ResultSet& set, int fieldIndex, int recordIndex) {
    const ReplyRecord* record = RecordAt(set, recordIndex);
    if (record == nullptr || fieldIndex < 0) return {};
    std::size_t dataAt = 0;
    for (int listedIndex : set.fieldIndexes) {
        const FieldDef& field = set.fields[static_cast<std::size_t>(listedIndex)];
        if (listedIndex == fieldIndex) {
            std::string text = FieldToText(field, record->data, record->length, dataAt);
            platform::CutToBytes(text, kMaxExtendedText);
            return text;
        }
        dataAt += static_cast<std::size_t>(std::max(field.size, 0));
    }
    return {};
}

int FirstFreeSlot() {
    for (int id = 0; id < kResultSetCount; ++id) {
        if (!Slots()[static_cast<std::size_t>(id)]) return id;
    }
    return -1;
}

}  // namespace

int DbExAccess(TableDef& table, int operation, const std::string& condition,
               const std::string& fieldList, int indexId, int rejectCount, int maxRecords,
               bool ignoreCase, int& resultId, int& count) {
    if (!table.open) return rc::kNotOpen;
    if (!AcceptedOperation(operation)) {
        ShowMessage(VE044, operation);
        return exrc::kOperationRefused;
    }
    ExtendedRequest request;
    int status = BuildExtendedRequest(table, TheDbManager().ExtendedMode(),
                                      static_cast<std::uint16_t>(rejectCount), condition,
                                      ignoreCase, fieldList, static_cast<std::uint16_t>(maxRecords),
                                      request);
    if (status != 0) return status;
    KeyBuffer key;
    if (!BuildKeyBuffer(table, indexId, key)) return rc::kNoSuchKey;
    std::uint32_t dataLength = static_cast<std::uint32_t>(request.buffer.size());
    status = CurrentRecordManager().Call(static_cast<std::uint16_t>(operation), table.positionBlock,
                                         request.buffer.data(), &dataLength, key.Data(),
                                         key.length, key.keyNumber);
    if (!KeptStatus(status)) return status;
    request.buffer.resize(std::min<std::size_t>(request.buffer.size(), dataLength));
    int id = -1;
    try {
        id = KeepReply(table, request.fieldIndexes, request.buffer);
    } catch (const std::bad_alloc&) {
        ShowMessage(VE001, "zelDbEx", __LINE__);
        return exrc::kOutOfMemory;
    }
    if (id >= 0) {
        resultId = id;
        count = ResultSetRecordCount(id);
    }
    return status;
}

int KeepReply(const TableDef& table, const std::vector<int>& fieldIndexes,
              const std::vector<std::uint8_t>& reply) {
    int id = FirstFreeSlot();
    if (id < 0) return -1;
    ResultSet set;
    set.fields = table.fields;
    set.fieldIndexes = fieldIndexes;
    set.reply = reply;
    Reindex(set);
    Slots()[static_cast<std::size_t>(id)] = std::move(set);
    return id;
}

bool AppendReply(int resultId, const std::vector<std::uint8_t>& reply) {
    ResultSet* set = Slot(resultId);
    if (set == nullptr) return false;
    std::vector<ReplyRecord> added = ReadReply(reply.data(), reply.size());
    std::size_t total = set->records.size() + added.size();
    if (total > 0xFFFF) return false;  // the count is a 16-bit number
    for (const ReplyRecord& record : added) {
        const std::uint8_t* start = record.data - 6;
        set->reply.insert(set->reply.end(), start, record.data + record.length);
    }
    if (set->reply.size() < 2) set->reply.resize(2);  // room for the count
    set->reply[0] = static_cast<std::uint8_t>(total & 0xFF);
    set->reply[1] = static_cast<std::uint8_t>(total >> 8);
    Reindex(*set);
    return true;
}

int ResultSetRecordCount(int resultId) {
    ResultSet* set = Slot(resultId);
    return set == nullptr ? -1 : static_cast<int>(set->records.size());
}

std::string DbExGetFieldData(int resultId, const std::string& fieldName, int recordIndex) {
    ResultSet* set = Slot(resultId);
    if (set == nullptr) return {};
    for (std::size_t i = 0; i < set->fields.size(); ++i) {
        if (set->fields[i].name == fieldName) {
            return FieldText(*set, static_cast<int>(i), recordIndex);
        }
    }
    return {};
}

std::string DbExGetFieldDataByID(int resultId, int fieldId, int recordIndex) {
    ResultSet* set = Slot(resultId);
    if (set == nullptr || fieldId < 0 || static_cast<std::size_t>(fieldId) >= set->fields.size()) {
        return {};
    }
    return FieldText(*set, fieldId, recordIndex);
}

std::int32_t DbExGetPosition(int resultId, int recordIndex) {
    ResultSet* set = Slot(resultId);
    if (set == nullptr) return -1;
    const ReplyRecord* record = RecordAt(*set, recordIndex);
    return record == nullptr ? -1 : static_cast<std::int32_t>(record->position);
}

int DbExFree(int resultId) {
    if (Slot(resultId) == nullptr) return -1;
    Slots()[static_cast<std::size_t>(resultId)].reset();
    return 0;
}

int DbExSetMode(const std::string& mode) {
    return TheDbManager().SetExtendedMode(mode) ? 0 : -1;
}

void FreeAllResultSets() {
    for (auto& slot : Slots()) slot.reset();
}

}  // namespace zelmor
