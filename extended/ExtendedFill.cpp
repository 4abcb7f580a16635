#include "extended/ExtendedFill.h"

#include <algorithm>
#include <new>
#include <vector>

#include "core/BoundOperations.h"
#include "core/KeyBuffer.h"
#include "core/LittleEndian.h"
#include "messages/Messages.h"
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

// The listed fields, copied: a Format handler may replace the dictionary they came from.
std::vector<FieldDef> ListedFields(const TableDef& table, const std::vector<int>& indexes) {
    std::vector<FieldDef> listed;
    for (int index : indexes) listed.push_back(table.fields[static_cast<std::size_t>(index)]);
    return listed;
}

std::string LineOf(const ReplyRecord& record, const std::vector<FieldDef>& listed,
                   const std::string& separator) {
    std::string line;
    line.reserve(128);  // most lines fit: one allocation per record
    std::size_t at = 0;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        if (i > 0) line += separator;
        line += FieldToText(listed[i], record.data, record.length, at);
        at += static_cast<std::size_t>(std::max(listed[i].size, 0));
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

// Records per request: at least one (a request for none is answered with no records and the
// same position, so the pass would never end), and at most what the 16-bit count can say.
std::uint16_t RecordsPerRequest(int maxRecords) {
    return static_cast<std::uint16_t>(std::clamp(maxRecords, 1, 0xFFFF));
}

// One pass. It copies what it needs of the request, and after every event it checks that the
// table is still the same open table: a handler may close it or reload the dictionary, and the
// pass then ends with the lines it has.
class Fill {
public:
    Fill(TableDef& table, const ExtendedFillRequest& request, ExtendedFillTarget& target)
        : table_(table), watch_(table), request_(request), target_(target) {}

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
        int built = BuildExtendedRequest(table_, "UC",
                                         static_cast<std::uint16_t>(request_.skipRecords),
                                         request_.conditions, request_.ignoreCase, request_.fields,
                                         RecordsPerRequest(request_.maxRecords), request);
        int result = built == 0 ? Loop(scan, key, request, resultId) : -1;
        if (watch_.Intact()) Restore(table_, remembered, key, scan.keyed);
        return result;
    }

private:
    int Loop(const Scan& scan, KeyBuffer& key, ExtendedRequest& request, int& resultId) {
        const std::vector<FieldDef> listed = ListedFields(table_, request.fieldIndexes);
        int code = scan.extendedCode + 100 * (request_.locks >= 1 && request_.locks <= 4
                                                  ? request_.locks
                                                  : 0);
        target_.ClearLines();
        std::vector<std::uint8_t> buffer;
        for (;;) {
            if (!watch_.Intact()) return 0;
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
            const std::vector<ReplyRecord> records = ReadReply(buffer.data(), buffer.size());
            bool full = false;
            for (const ReplyRecord& record : records) {
                std::string line = LineOf(record, listed, request_.separator);
                bool goOn = FormatLine(ExtendedFillPendingLine(), line, [&](std::string& text) {
                    return target_.RaiseFormat(text);
                });
                if (!goOn || !watch_.Intact()) return 0;
                // An empty line is an item too: it still stands for its record.
                if (!target_.AddLine(line, request_.savePosition ? record.position : 0)) {
                    full = true;
                    break;
                }
            }
            // Every reply that holds records is kept, the one that ends the pass and the one
            // that filled a grid too: the result set then holds every record fetched.
            if (request_.leaveResults && !records.empty() &&
                !Keep(table_, request, buffer, resultId)) {
                ShowMessage(VE001, "zelDbEx", __LINE__);
                return -1;
            }
            // A block with no records leaves the position where it was: asking again would
            // give the same answer for ever.
            if (status == 9 || full || (status == 0 && records.empty())) return 0;
            if (status != 0 && !request_.gridRows) {
                target_.RaiseBtrieveError(status);
                return 0;
            }
            // Every further request starts after the last record examined.
            SetRequestMode(request, "EG");
        }
    }

    static bool Keep(const TableDef& table, const ExtendedRequest& request,
                     const std::vector<std::uint8_t>& reply, int& resultId) {
        if (resultId < 0) {
            resultId = KeepReply(table, request.fieldIndexes, reply);
            return true;  // with every slot in use the reply is simply not kept
        }
        return AppendReply(resultId, reply);
    }

    TableDef& table_;
    const TableWatch watch_;
    const ExtendedFillRequest request_;
    ExtendedFillTarget& target_;
};

}  // namespace

int RunExtendedFill(TableDef& table, int indexId, const ExtendedFillRequest& request,
                    ExtendedFillTarget& target, int& resultId) {
    if (!table.open) return -1;
    try {
        return Fill(table, request, target).Run(indexId, resultId);
    } catch (const std::bad_alloc&) {
        ShowMessage(VE001, "zelDbEx", __LINE__);
        return -1;
    }
}

}  // namespace zelmor
