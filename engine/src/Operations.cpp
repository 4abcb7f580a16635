// Record operations and currency: inserts, updates, deletes, the Get and Step families,
// positions and percentages.
#include <algorithm>
#include <cstring>

#include "engine/src/Bytes.h"
#include "engine/src/Engine.h"

namespace zelmor::engine {

using namespace format;

namespace {
// The largest record (fixed and variable part) Insert and Update accept.
constexpr std::uint32_t kMaxRecordLength = 256u << 20;

// The record Insert and Update store: the fixed part, and for variable-length files all that
// the caller passed; any less than the fixed part, or more than the limit, gives 22.
Status RecordLength(const Request& request, const FileSpec& spec, std::size_t* length) {
    if (request.capacity < spec.recordLength) return Status::kDataBufferTooShort;
    *length = spec.VariableLength() ? request.capacity : spec.recordLength;
    return *length > kMaxRecordLength ? Status::kDataBufferTooShort : Status::kOk;
}
}  // namespace

Status Engine::CheckKey(const Request& request, Cursor& cursor, bool allowNone) {
    const FileSpec& spec = cursor.table->Spec();
    if (request.keyNumber == -1 && allowNone) return Status::kOk;
    if (request.keyNumber < 0 || static_cast<std::size_t>(request.keyNumber) >= spec.keys.size())
        return Status::kInvalidKeyNumber;
    if (request.keyLength < spec.keys[request.keyNumber].length)
        return Status::kKeyBufferTooShort;
    return Status::kOk;
}

Status Engine::Deliver(Request& request, Cursor& cursor, const BTree::Path& recordPath, int key,
                       const std::uint8_t* entry, const BTree::Path* keyPath, bool clearLogical) {
    TableFile& table = *cursor.table;
    const FileSpec& spec = table.Spec();
    RecordInfo info;
    std::size_t copied = 0;
    ZELRM_TRY(table.Read(recordPath, request.data, request.capacity, &copied, &info));
    if (request.capacity < spec.recordLength) return Status::kDataBufferTooShort;
    ZELRM_TRY(TakeLock(request, cursor, info.position));
    // From here on the read takes effect, if no other process committed meanwhile.
    if (!ConfirmRead()) return Status::kRetry;
    request.SetDataLength(static_cast<std::uint32_t>(copied));
    const std::uint64_t generation = table.pager().Generation();
    if (key >= 0) {
        std::uint8_t value[kMaxKeyLength];
        ExtractKey(spec, spec.keys[key], request.data, value);
        std::memcpy(request.key, value, spec.keys[key].length);
        cursor.logicalKey = key;
        std::memcpy(cursor.entry, entry, table.EntryWidth(key));
        cursor.keyPathGeneration = 0;
        if (keyPath != nullptr) {
            cursor.keyPath = *keyPath;
            cursor.keyPathGeneration = generation;
        }
    } else if (clearLogical) {
        cursor.logicalKey = -1;
    }
    cursor.state = CursorState::kOnRecord;
    cursor.physicalSet = true;
    cursor.position = info.position;
    cursor.version = info.version;
    cursor.recordPath = recordPath;
    cursor.recordPathGeneration = generation;
    KeepLock(request, cursor, info.position);
    return copied < info.length ? Status::kDataBufferTooShort : Status::kOk;
}

Status Engine::DeliverEntry(Request& request, Cursor& cursor, const BTree::Path& keyPath) {
    TableFile& table = *cursor.table;
    const int key = request.keyNumber;
    BTree::CellView cell;
    ZELRM_TRY(table.Keys(key).Cell(keyPath, &cell));
    const std::size_t width = table.EntryWidth(key);
    std::uint8_t entry[kMaxEntry];
    std::memcpy(entry, cell.data, width);
    BTree::Path recordPath;
    bool found = false;
    ZELRM_TRY(table.Locate(LoadBig32(entry + width - 4), &recordPath, &found));
    if (!found) return Status::kIoError;  // the key names a record that is not there
    return Deliver(request, cursor, recordPath, key, entry, &keyPath, false);
}

Status Engine::GetByKey(Request& request, Cursor& cursor) {
    ZELRM_TRY(CheckKey(request, cursor, false));
    TableFile& table = *cursor.table;
    const int k = request.keyNumber;
    const KeyDefinition& key = table.Spec().keys[k];
    BTree& tree = table.Keys(k);
    const bool remembered = cursor.keyPathGeneration == table.pager().Generation();
    std::uint8_t probe[kMaxEntry];
    auto makeProbe = [&](std::uint8_t fill) {
        TransformKey(table.Spec(), key, request.key, probe);
        std::memset(probe + key.transformedLength, fill, kEntrySuffix);
    };
    BTree::Path path;
    bool atEnd = false;
    bool atStart = false;
    BTree::CellView cell;
    // Less and LessOrEqual: the entry before the first one at or above the probe.
    auto before = [&]() -> Status {
        ZELRM_TRY(tree.Seek(probe, &path, &atEnd));
        if (atEnd) {
            ZELRM_TRY(tree.Last(&path, &atEnd));
            return atEnd ? Status::kEndOfFile : Status::kOk;
        }
        ZELRM_TRY(tree.Previous(&path, &atStart));
        return atStart ? Status::kEndOfFile : Status::kOk;
    };
    switch (request.op) {
        case ZELRM_OP_GET_EQUAL:
            makeProbe(0x00);
            ZELRM_TRY(tree.Seek(probe, &path, &atEnd));
            if (atEnd) return Status::kKeyNotFound;
            ZELRM_TRY(tree.Cell(path, &cell));
            if (std::memcmp(cell.data, probe, key.transformedLength) != 0)
                return Status::kKeyNotFound;
            break;
        case ZELRM_OP_GET_GREATER_OR_EQUAL:
        case ZELRM_OP_GET_GREATER:
            makeProbe(request.op == ZELRM_OP_GET_GREATER ? 0xFF : 0x00);
            ZELRM_TRY(tree.Seek(probe, &path, &atEnd));
            if (atEnd) return Status::kEndOfFile;
            break;
        case ZELRM_OP_GET_LESS:
        case ZELRM_OP_GET_LESS_OR_EQUAL:
            makeProbe(request.op == ZELRM_OP_GET_LESS ? 0x00 : 0xFF);
            ZELRM_TRY(before());
            break;
        case ZELRM_OP_GET_FIRST:
            ZELRM_TRY(tree.First(&path, &atEnd));
            if (atEnd) return Status::kEndOfFile;
            break;
        case ZELRM_OP_GET_LAST:
            ZELRM_TRY(tree.Last(&path, &atEnd));
            if (atEnd) return Status::kEndOfFile;
            break;
        case ZELRM_OP_GET_NEXT:
        case ZELRM_OP_GET_PREVIOUS: {
            if (cursor.logicalKey < 0) return Status::kInvalidPositioning;
            if (cursor.logicalKey != k) return Status::kDifferentKeyNumber;
            const bool next = request.op == ZELRM_OP_GET_NEXT;
            if (remembered) {
                path = cursor.keyPath;
                if (next)
                    ZELRM_TRY(tree.Next(&path, &atEnd));
                else
                    ZELRM_TRY(tree.Previous(&path, &atStart));
                if (atEnd || atStart) return Status::kEndOfFile;
                break;
            }
            // The current entry may be gone or changed: go on from where it was.
            std::memcpy(probe, cursor.entry, table.EntryWidth(k));
            if (!next) {
                ZELRM_TRY(before());
                break;
            }
            ZELRM_TRY(tree.Seek(probe, &path, &atEnd));
            if (atEnd) return Status::kEndOfFile;
            ZELRM_TRY(tree.Cell(path, &cell));
            if (std::memcmp(cell.data, probe, table.EntryWidth(k)) == 0) {
                ZELRM_TRY(tree.Next(&path, &atEnd));
                if (atEnd) return Status::kEndOfFile;
            }
            break;
        }
        default:
            return Status::kInvalidOperation;
    }
    return DeliverEntry(request, cursor, path);
}

Status Engine::Step(Request& request, Cursor& cursor) {
    TableFile& table = *cursor.table;
    BTree& records = table.Records();
    const bool remembered = cursor.recordPathGeneration == table.pager().Generation() &&
                            cursor.state == CursorState::kOnRecord;
    BTree::Path path;
    bool atEnd = false;
    bool atStart = false;
    std::uint8_t probe[4];
    switch (request.op) {
        case ZELRM_OP_STEP_FIRST:
            ZELRM_TRY(records.First(&path, &atEnd));
            break;
        case ZELRM_OP_STEP_LAST:
            ZELRM_TRY(records.Last(&path, &atEnd));
            break;
        case ZELRM_OP_STEP_NEXT:
            if (!cursor.physicalSet) {
                ZELRM_TRY(records.First(&path, &atEnd));
            } else if (remembered) {
                path = cursor.recordPath;
                ZELRM_TRY(records.Next(&path, &atEnd));
            } else {
                if (cursor.position == UINT32_MAX) return Status::kEndOfFile;
                StoreBig32(probe, cursor.position + 1);
                ZELRM_TRY(records.Seek(probe, &path, &atEnd));
            }
            break;
        default:  // Step Previous
            if (!cursor.physicalSet) return Status::kInvalidPositioning;
            if (remembered) {
                path = cursor.recordPath;
                ZELRM_TRY(records.Previous(&path, &atStart));
            } else {
                StoreBig32(probe, cursor.position);
                ZELRM_TRY(records.Seek(probe, &path, &atEnd));
                if (atEnd)
                    ZELRM_TRY(records.Last(&path, &atEnd));
                else
                    ZELRM_TRY(records.Previous(&path, &atStart));
            }
            break;
    }
    if (atEnd || atStart) return Status::kEndOfFile;
    const bool clearLogical =
        request.op == ZELRM_OP_STEP_FIRST || request.op == ZELRM_OP_STEP_LAST;
    return Deliver(request, cursor, path, -1, nullptr, nullptr, clearLogical);
}

Status Engine::GetPosition(Request& request, Cursor& cursor) {
    if (cursor.state != CursorState::kOnRecord && cursor.state != CursorState::kAfterExtended)
        return Status::kInvalidPositioning;
    if (request.capacity < 4) return Status::kDataBufferTooShort;
    Store32(request.data, cursor.position);
    request.SetDataLength(4);
    return Status::kOk;
}

Status Engine::GetDirect(Request& request, Cursor& cursor) {
    if (request.capacity < 4) return Status::kDataBufferTooShort;
    ZELRM_TRY(CheckKey(request, cursor, true));
    TableFile& table = *cursor.table;
    BTree::Path path;
    bool found = false;
    ZELRM_TRY(table.Locate(Load32(request.data), &path, &found));
    if (!found) return Status::kInvalidRecordAddress;
    if (request.keyNumber < 0) return Deliver(request, cursor, path, -1, nullptr, nullptr, true);
    std::uint8_t entry[kMaxEntry];
    bool inKey = false;
    ZELRM_TRY(table.EntryOf(path, request.keyNumber, entry, &inKey, nullptr));
    if (!inKey) return Status::kNullKeyPath;
    return Deliver(request, cursor, path, request.keyNumber, entry, nullptr, false);
}

Status Engine::GetByPercentage(Request& request, Cursor& cursor) {
    if (request.capacity < 2) return Status::kDataBufferTooShort;
    ZELRM_TRY(CheckKey(request, cursor, true));
    TableFile& table = *cursor.table;
    std::uint64_t percentage = Load16(request.data);
    if (percentage > 10000) percentage = 10000;
    BTree& tree = request.keyNumber >= 0 ? table.Keys(request.keyNumber) : table.Records();
    std::uint32_t count = 0;
    ZELRM_TRY(tree.Count(&count));
    if (count == 0) return Status::kEndOfFile;
    // The record of rank max(0, ceil(p * N / 10000) - 1).
    std::uint64_t rank = (percentage * count + 9999) / 10000;
    rank = rank > 0 ? rank - 1 : 0;
    BTree::Path path;
    ZELRM_TRY(tree.Select(static_cast<std::uint32_t>(rank), &path));
    if (request.keyNumber >= 0) return DeliverEntry(request, cursor, path);
    return Deliver(request, cursor, path, -1, nullptr, nullptr, true);
}

Status Engine::FindPercentage(Request& request, Cursor& cursor) {
    ZELRM_TRY(CheckKey(request, cursor, true));
    TableFile& table = *cursor.table;
    BTree::Path path;
    bool atEnd = false;
    bool found = false;
    std::uint32_t rank = 0;
    std::uint32_t count = 0;
    if (request.keyNumber >= 0) {
        const int k = request.keyNumber;
        const KeyDefinition& key = table.Spec().keys[k];
        std::uint8_t probe[kMaxEntry] = {};
        TransformKey(table.Spec(), key, request.key, probe);
        // The current record's own entry when it has this value, else the first with it.
        if (cursor.state == CursorState::kOnRecord) {
            BTree::Path recordPath;
            ZELRM_TRY(table.Locate(cursor.position, &recordPath, &found));
            std::uint8_t entry[kMaxEntry];
            bool inKey = false;
            if (found) ZELRM_TRY(table.EntryOf(recordPath, k, entry, &inKey, nullptr));
            if (found && inKey && std::memcmp(entry, probe, key.transformedLength) == 0)
                std::memcpy(probe, entry, table.EntryWidth(k));
        }
        ZELRM_TRY(table.Keys(k).Seek(probe, &path, &atEnd));
        if (atEnd) return Status::kKeyNotFound;
        BTree::CellView cell;
        ZELRM_TRY(table.Keys(k).Cell(path, &cell));
        if (std::memcmp(cell.data, probe, key.transformedLength) != 0) return Status::kKeyNotFound;
        ZELRM_TRY(table.Keys(k).Rank(path, &rank));
        ZELRM_TRY(table.Keys(k).Count(&count));
    } else {
        if (request.capacity < 4) return Status::kDataBufferTooShort;
        ZELRM_TRY(table.Locate(Load32(request.data), &path, &found));
        if (!found) return Status::kInvalidRecordAddress;
        ZELRM_TRY(table.Records().Rank(path, &rank));
        ZELRM_TRY(table.Records().Count(&count));
    }
    if (count == 0) return Status::kIoError;
    if (!ConfirmRead()) return Status::kRetry;
    const std::uint32_t percentage =
        static_cast<std::uint32_t>((std::uint64_t{rank} + 1) * 10000 / count);
    if (request.capacity >= 4) {
        Store32(request.data, percentage);
        request.SetDataLength(4);
    } else if (request.capacity >= 2) {
        Store16(request.data, static_cast<std::uint16_t>(percentage));
        request.SetDataLength(2);
    } else {
        return Status::kDataBufferTooShort;
    }
    return Status::kOk;
}

Status Engine::CheckCurrent(Cursor& cursor) {
    if (cursor.state != CursorState::kOnRecord) return Status::kInvalidPositioning;
    TableFile& table = *cursor.table;
    BTree::Path path;
    bool found = false;
    ZELRM_TRY(table.Locate(cursor.position, &path, &found));
    if (!found) return Status::kConflict;
    RecordInfo info;
    ZELRM_TRY(table.Info(path, &info));
    return info.version == cursor.version ? Status::kOk : Status::kConflict;
}

// After an Insert or Update with a key number: the key value comes back and logical currency
// follows the record in that key.
void Engine::FollowKey(Request& request, Cursor& cursor) {
    TableFile& table = *cursor.table;
    BTree::Path path;
    bool found = false;
    cursor.keyPathGeneration = 0;
    cursor.recordPathGeneration = 0;
    if (Failed(table.Locate(cursor.position, &path, &found)) || !found) return;
    RecordInfo info;
    if (Succeeded(table.Info(path, &info))) cursor.version = info.version;
    if (request.keyNumber < 0) return;
    std::uint8_t value[kMaxKeyLength];
    bool inKey = false;
    if (Failed(table.EntryOf(path, request.keyNumber, cursor.entry, &inKey, value))) return;
    std::memcpy(request.key, value, table.Spec().keys[request.keyNumber].length);
    cursor.logicalKey = inKey ? request.keyNumber : -1;
}

Status Engine::Insert(Request& request, Cursor& cursor) {
    ZELRM_TRY(CheckKey(request, cursor, true));
    TableFile& table = *cursor.table;
    const FileSpec& spec = table.Spec();
    std::size_t length = 0;
    ZELRM_TRY(RecordLength(request, spec, &length));
    recordScratch_.assign(request.data, request.data + length);
    std::uint32_t position = 0;
    ZELRM_TRY(Apply(cursor, [&] { return table.Insert(recordScratch_.data(), length, &position); }));
    bool autoIncrement = false;
    for (const KeyDefinition& key : spec.keys) autoIncrement |= key.autoIncrementSegment >= 0;
    if (autoIncrement) std::memcpy(request.data, recordScratch_.data(), spec.recordLength);
    request.SetDataLength(static_cast<std::uint32_t>(length));
    if (request.keyNumber < 0) return Status::kOk;  // no currency change
    cursor.state = CursorState::kOnRecord;
    cursor.physicalSet = true;
    cursor.position = position;
    FollowKey(request, cursor);
    return Status::kOk;
}

Status Engine::Update(Request& request, Cursor& cursor) {
    ZELRM_TRY(CheckCurrent(cursor));
    ZELRM_TRY(CheckKey(request, cursor, true));
    TableFile& table = *cursor.table;
    const FileSpec& spec = table.Spec();
    std::size_t length = 0;
    ZELRM_TRY(RecordLength(request, spec, &length));
    ZELRM_TRY(GuardRecord(cursor, cursor.position));
    ZELRM_TRY(Apply(cursor, [&] { return table.Update(cursor.position, request.data, length); }));
    ReleaseSingleLock(cursor);
    FollowKey(request, cursor);
    return Status::kOk;
}

Status Engine::Delete(Request& request, Cursor& cursor) {
    (void)request;
    ZELRM_TRY(CheckCurrent(cursor));
    ZELRM_TRY(GuardRecord(cursor, cursor.position));
    TableFile& table = *cursor.table;
    ZELRM_TRY(Apply(cursor, [&] { return table.Delete(cursor.position); }));
    cursor.state = CursorState::kRecordDeleted;
    ReleaseLocksOn(cursor, cursor.position);
    return Status::kOk;
}

}  // namespace zelmor::engine
