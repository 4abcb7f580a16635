// Extended operations: Get Next/Previous Extended along a key, Step Next/Previous Extended in
// physical order. The scan looks at each record where the page cache holds it, and copies
// only the fields of the records it keeps into the reply:
//   u16 records, then per record u16 length of its fields, u32 position, the fields.
#include <cstring>

#include "engine/src/Bytes.h"
#include "engine/src/Engine.h"
#include "engine/src/ExtendedDescriptor.h"

namespace zelmor::engine {

using namespace format;

namespace {

constexpr std::size_t kReplyEntryHeader = 6;

// Where a scan starts: the current entry (`includeCurrent`) or the one after it in the scan's
// direction, found again by its value so that a record changed or deleted meanwhile is passed.
Status StartAt(BTree& tree, const std::uint8_t* current, std::size_t width, bool forward,
               bool includeCurrent, BTree::Path* path, bool* atEnd) {
    ZELRM_TRY(tree.Seek(current, path, atEnd));
    bool exact = false;
    if (!*atEnd) {
        BTree::CellView cell;
        ZELRM_TRY(tree.Cell(*path, &cell));
        exact = std::memcmp(cell.data, current, width) == 0;
    }
    if (forward) {
        if (exact && !includeCurrent) ZELRM_TRY(tree.Next(path, atEnd));
        return Status::kOk;
    }
    if (exact && includeCurrent) return Status::kOk;
    if (*atEnd) return tree.Last(path, atEnd);
    return tree.Previous(path, atEnd);
}

}  // namespace

Status Engine::Extended(Request& request, Cursor& cursor) {
    TableFile& table = *cursor.table;
    const FileSpec& spec = table.Spec();
    ExtendedDescriptor descriptor;
    ZELRM_TRY(ExtendedDescriptor::Parse(request.data, request.capacity, spec, &descriptor));
    const bool byKey = request.op == ZELRM_OP_GET_NEXT_EXTENDED ||
                       request.op == ZELRM_OP_GET_PREVIOUS_EXTENDED;
    const bool forward = request.op == ZELRM_OP_GET_NEXT_EXTENDED ||
                         request.op == ZELRM_OP_STEP_NEXT_EXTENDED;
    const int key = request.keyNumber;
    if (byKey) {
        if (key < 0 || static_cast<std::size_t>(key) >= spec.keys.size())
            return Status::kInvalidKeyNumber;
        if (cursor.logicalKey < 0) return Status::kInvalidPositioning;
        if (cursor.logicalKey != key) return Status::kDifferentKeyNumber;
    } else if (!cursor.physicalSet && !forward) {
        return Status::kInvalidPositioning;
    }
    BTree& tree = byKey ? table.Keys(key) : table.Records();
    const std::size_t width = byKey ? table.EntryWidth(key) : 4;

    BTree::Path path;
    bool atEnd = false;
    if (byKey) {
        ZELRM_TRY(StartAt(tree, cursor.entry, width, forward, descriptor.startWithCurrent, &path,
                          &atEnd));
    } else if (!cursor.physicalSet) {
        ZELRM_TRY(tree.First(&path, &atEnd));  // right after Open: from the first record
    } else {
        std::uint8_t current[4];
        StoreBig32(current, cursor.position);
        ZELRM_TRY(StartAt(tree, current, width, forward, descriptor.startWithCurrent, &path,
                          &atEnd));
    }

    std::vector<std::uint8_t>& reply = recordScratch_;
    reply.assign(2, 0);
    std::vector<std::uint8_t> fixedPart;
    std::vector<std::uint32_t> kept;
    // The last record examined: it becomes the current one.
    bool examined = false;
    std::uint32_t lastPosition = 0;
    std::uint32_t lastVersion = 0;
    std::uint8_t lastEntry[kMaxEntry];
    std::uint32_t rejects = 0;
    Status status = descriptor.maxRecords == 0 ? Status::kOk : Status::kEndOfFile;
    while (descriptor.maxRecords > 0 && !atEnd) {
        BTree::Path recordPath;
        const std::uint8_t* entry = nullptr;
        if (byKey) {
            BTree::CellView cell;
            ZELRM_TRY(tree.Cell(path, &cell));
            entry = cell.data;
            bool found = false;
            ZELRM_TRY(table.Locate(LoadBig32(entry + width - 4), &recordPath, &found));
            if (!found) return Status::kIoError;  // the key names a record that is not there
        } else {
            recordPath = path;
        }
        RecordView record;
        ZELRM_TRY(table.View(recordPath, &fixedPart, &record));
        const bool matches = descriptor.Matches(record.fixed);
        if (matches) {
            if (record.info.length < descriptor.fieldsEnd) {
                status = Status::kInvalidFieldOffset;  // this record is too short for a field
            } else if (reply.size() + kReplyEntryHeader + descriptor.extractedLength >
                       request.capacity) {
                status = Status::kDataBufferTooShort;  // left for the next call
                break;
            } else {
                std::uint8_t head[kReplyEntryHeader];
                Store16(head, static_cast<std::uint16_t>(descriptor.extractedLength));
                Store32(head + 2, record.info.position);
                reply.insert(reply.end(), head, head + sizeof head);
                for (const ExtendedDescriptor::Field& field : descriptor.fields) {
                    const std::size_t at = reply.size();
                    reply.resize(at + field.length);
                    if (std::size_t{field.offset} + field.length <= spec.recordLength)
                        std::memcpy(reply.data() + at, record.fixed + field.offset, field.length);
                    else
                        ZELRM_TRY(table.ReadRecord(record, field.offset, field.length,
                                                   reply.data() + at));
                }
                kept.push_back(record.info.position);
            }
        }
        examined = true;
        lastPosition = record.info.position;
        lastVersion = record.info.version;
        if (byKey) std::memcpy(lastEntry, entry, width);
        if (status == Status::kInvalidFieldOffset) break;
        if (!matches && ++rejects >= descriptor.maxRejects) {
            status = Status::kRejectCountReached;
            break;
        }
        if (matches && kept.size() >= descriptor.maxRecords) {
            status = Status::kOk;
            break;
        }
        if (forward)
            ZELRM_TRY(tree.Next(&path, &atEnd));
        else
            ZELRM_TRY(tree.Previous(&path, &atEnd));
    }

    // Locks as the bias asks: the last record returned, or every one.
    const bool multiple = request.bias == ZELRM_LOCK_MULTIPLE_WAIT ||
                          request.bias == ZELRM_LOCK_MULTIPLE_NO_WAIT;
    for (std::size_t i = multiple ? 0 : (kept.empty() ? 0 : kept.size() - 1); i < kept.size(); ++i)
        ZELRM_TRY(TakeLock(request, cursor, kept[i]));
    if (!ConfirmRead()) return Status::kRetry;

    Store16(reply.data(), static_cast<std::uint16_t>(kept.size()));
    std::memcpy(request.data, reply.data(), reply.size());
    request.SetDataLength(static_cast<std::uint32_t>(reply.size()));
    for (std::size_t i = 0; i < kept.size(); ++i) KeepLock(request, cursor, kept[i]);
    if (examined) {
        cursor.state = CursorState::kAfterExtended;
        cursor.physicalSet = true;
        cursor.position = lastPosition;
        cursor.version = lastVersion;
        cursor.recordPathGeneration = 0;
        if (byKey) {
            std::memcpy(cursor.entry, lastEntry, width);
            cursor.keyPathGeneration = 0;
        }
    }
    return status;
}

}  // namespace zelmor::engine
