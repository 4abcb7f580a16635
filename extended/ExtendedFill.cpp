#include "extended/ExtendedFill.h"

#include <new>
#include <vector>

#include "core/BoundOperations.h"
#include "core/KeyBuffer.h"
#include "core/LittleEndian.h"
#include "core/Messages.h"
#include "core/RecordOperations.h"
#include "core/TableFiles.h"
#include "core/recordmanager/RecordManager.h"
#include "extended/ExtendedRequest.h"
#include "extended/Reply.h"
#include "extended/ResultSets.h"
#include "platform/CodePage.h"
#include "values/FieldCodecs.h"
#include "values/PendingLine.h"

namespace zelmor {

namespace {

constexpr std::size_t kMaxLine = 1024;

struct Scan {
    int positionCode;   // puts the table at the end the scan starts from
    int extendedCode;   // the extended operation
    bool keyed;         // along the key, or physically
};

Scan ScanOf(int operation) {
    switch (operation) {
        case kOpGetPrevEx: return {op::kGetLast, op::kGetPreviousExtended, true};
        case kOpStepPrevEx: return {op::kStepLast, op::kStepPreviousExtended, false};
        case kOpStepNextEx: return {op::kStepFirst, op::kStepNextExtended, false};
        default: return {op::kGetFirst, op::kGetNextExtended, true};
    }
}

// The listed fields of the table, in list order.
std::vector<const FieldDef*> ListedFields(const TableDef& table, const std::string& fields) {
    std::vector<const FieldDef*> listed;
    std::size_t position = 0;
    while (position < fields.size()) {
        int index = ParseFieldRef(table, fields, position);
        if (index < 0) break;
        listed.push_back(&table.fields[static_cast<std::size_t>(index)]);
    }
    return listed;
}

std::string LineOf(const ReplyRecord& record, const std::vector<const FieldDef*>& listed,
                   const std::string& separator) {
    std::string line;
    std::size_t at = 0;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        if (i > 0) line += separator;
        line += FieldToText(*listed[i], record.data, record.length, at);
        at += static_cast<std::size_t>(std::max(listed[i]->size, 0));
    }
    platform::CutToBytes(line, kMaxLine);
    return line;
}

// Puts the table at the first or last record of the scan; status 22 of a variable-length table
// grows the buffer and reads again.
int Position(TableDef& table, const Scan& scan, int indexId, KeyBuffer& key) {
    std::fill(table.record.begin(), table.record.end(), 0);
    std::int8_t keyNumber = scan.keyed ? key.keyNumber : 0;
    std::uint32_t dataLength = DataLengthFor(table, scan.positionCode);
    int status = CurrentRecordManager().Call(static_cast<std::uint16_t>(scan.positionCode),
                                             table.positionBlock, table.record.data(),
                                             &dataLength, key.Data(), key.length, keyNumber);
    if (status == status::kDataBufferTooShort && table.variableLength) {
        status = ReadWholeRecord(table, scan.positionCode, 0, scan.keyed ? indexId : kNoKey);
    }
    return status;
}

void Restore(TableDef& table, std::int32_t position, KeyBuffer& key, bool keyed) {
    if (position < 0) return;
    std::fill(table.record.begin(), table.record.end(), 0);
    StoreU32(table.record, 0, static_cast<std::uint32_t>(position));
    std::uint32_t dataLength = DataLengthFor(table, op::kGetDirect);
    CurrentRecordManager().Call(op::kGetDirect, table.positionBlock, table.record.data(),
                                &dataLength, key.Data(), key.length,
                                keyed ? key.keyNumber : static_cast<std::int8_t>(-1));
}

class Fill {
public:
    Fill(TableDef& table, const ExtendedFillRequest& request, ExtendedFillTarget& target)
        : table_(table), request_(request), target_(target) {}

    int Run(int indexId, int& resultId) {
        resultId = -1;
        Scan scan = ScanOf(request_.operation);
        std::int32_t remembered = DbGetPosition(table_);
        KeyBuffer key;
        std::fill(table_.record.begin(), table_.record.end(), 0);
        if (!BuildKeyBuffer(table_, scan.keyed ? indexId : kNoKey, key)) return -1;
        int status = Position(table_, scan, indexId, key);
        if (status != 0) {
            target_.RaiseBtrieveError(status);
            return -1;
        }
        ExtendedRequest request;
        int built = -1;
        try {
            // The reply area grows with the record length and the records asked for.
            built = BuildExtendedRequest(table_, "UC",
                                         static_cast<std::uint16_t>(request_.skipRecords),
                                         request_.conditions, request_.ignoreCase,
                                         request_.fields,
                                         static_cast<std::uint16_t>(request_.maxRecords), request);
        } catch (const std::bad_alloc&) {
            ShowMessage(VE001, "zelDbEx", __LINE__);
        }
        int result = built == 0 ? Loop(scan, key, request, resultId) : -1;
        Restore(table_, remembered, key, scan.keyed);
        return result;
    }

private:
    int Loop(const Scan& scan, KeyBuffer& key, ExtendedRequest& request, int& resultId) {
        std::vector<const FieldDef*> listed = ListedFields(table_, request_.fields);
        int code = scan.extendedCode + 100 * (request_.locks >= 1 && request_.locks <= 4
                                                  ? request_.locks
                                                  : 0);
        target_.ClearLines();
        std::vector<std::uint8_t> buffer;
        for (;;) {
            // The reply overwrites the request: each call starts from the request again (the
            // buffer keeps its room from one call to the next).
            buffer.assign(request.buffer.begin(), request.buffer.end());
            std::uint32_t dataLength = static_cast<std::uint32_t>(buffer.size());
            int status = CurrentRecordManager().Call(
                static_cast<std::uint16_t>(code), table_.positionBlock, buffer.data(), &dataLength,
                key.Data(), key.length, scan.keyed ? key.keyNumber : 0);
            bool block = status == 0 || status == 9 || status == 22 || status == 60 ||
                         status == 64 || status == 65;
            if (!block) {
                ShowMessage(VE039, status);
                return -1;
            }
            buffer.resize(std::min<std::size_t>(buffer.size(), dataLength));
            bool full = false;
            for (const ReplyRecord& record : ReadReply(buffer.data(), buffer.size())) {
                std::string line = LineOf(record, listed, request_.separator);
                PendingLine& pending = ExtendedFillPendingLine();
                pending.Clear();
                if (target_.RaiseFormat(line)) return 0;
                if (!pending.Text().empty()) line = pending.Text();
                if (line.empty()) continue;
                if (!target_.AddLine(line, request_.savePosition ? record.position : 0)) {
                    full = true;
                    break;
                }
            }
            if (status == 9 || full) return 0;
            if (status != 0 && !request_.gridRows) {
                target_.RaiseBtrieveError(status);
                return 0;
            }
            if (status == 0 && request_.leaveResults && !Keep(buffer, resultId)) {
                ShowMessage(VE001, "zelDbEx", __LINE__);
                return -1;
            }
            // Every further request starts after the last record examined.
            SetRequestMode(request, "EG");
        }
    }

    bool Keep(const std::vector<std::uint8_t>& reply, int& resultId) {
        try {
            if (resultId < 0) {
                resultId = KeepReply(table_, request_.fields, reply);
                return true;  // with every slot in use the reply is simply not kept
            }
            return AppendReply(resultId, reply);
        } catch (const std::bad_alloc&) {
            return false;
        }
    }

    TableDef& table_;
    const ExtendedFillRequest& request_;
    ExtendedFillTarget& target_;
};

}  // namespace

int RunExtendedFill(TableDef& table, int indexId, const ExtendedFillRequest& request,
                    ExtendedFillTarget& target, int& resultId) {
    if (!table.open) return -1;
    return Fill(table, request, target).Run(indexId, resultId);
}

}  // namespace zelmor
