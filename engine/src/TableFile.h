// One table file: its header, its record tree (records by position) and one tree per key.
// It keeps the records and the key entries consistent; cursors and currency are the engine's.
//
// A record is stored as a payload: the arrival stamps of its entries in the keys that allow
// duplicates (8 bytes each), then the record itself. A key entry is the key's ordered form,
// the arrival stamp (0 for unique keys) and the position.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/src/BTree.h"
#include "engine/src/FileSharing.h"
#include "engine/src/KeyCodec.h"
#include "engine/src/Pager.h"

namespace zelmor::engine {

struct RecordInfo {
    std::uint32_t position = 0;
    std::uint32_t version = 0;
    std::uint32_t length = 0;  // of the record, without the stamps
};

// A record looked at where it is stored (valid until the call ends).
struct RecordView {
    const std::uint8_t* cell = nullptr;
    const std::uint8_t* fixed = nullptr;  // its fixed part
    RecordInfo info;
};

class TableFile {
public:
    // Writes a new file with the given specification (`segments`: the 16-byte segment
    // specifications as given) and makes it and its name durable. A file being replaced must
    // not be open in any process (kFileInUse).
    static Status Create(FileSystem& fileSystem, const std::string& path, const FileSpec& spec,
                         const std::uint8_t* segments, bool replace);
    // Opens the file alongside the other processes that have it open (FileSharing::Join).
    static Status Open(FileSystem& fileSystem, const std::string& path, bool exclusive,
                       std::uint32_t waitMilliseconds, std::unique_ptr<TableFile>* table);

    const FileSpec& Spec() const { return spec_; }
    Pager& pager() { return *pager_; }
    FileSharing& sharing() { return *sharing_; }
    // Takes in what other processes committed since this process last looked: waits while one
    // is writing a commit into the file, and finishes the work of one that died doing so.
    Status Synchronize();
    BTree& Records() { return *records_; }
    BTree& Keys(std::size_t key) { return *keys_[key]; }
    std::size_t KeyCount() const { return keys_.size(); }
    std::uint32_t RecordCount();
    std::uint16_t DeclaredPageSize();
    const std::uint8_t* SegmentSpecs();

    // Owner name: set when a name is kept; access 0 or 1.
    bool HasOwner();
    int OwnerAccess();
    bool OwnerMatches(const std::uint8_t* name, std::size_t length);
    void SetOwner(const std::uint8_t* name, std::size_t length, int access);
    void ClearOwner();

    // The record at a record-tree path.
    Status Info(const BTree::Path& path, RecordInfo* info);
    // Copies up to `capacity` bytes of the record at `path`; `info` describes it.
    Status Read(const BTree::Path& path, std::uint8_t* buffer, std::size_t capacity,
                std::size_t* copied, RecordInfo* info);
    Status Locate(std::uint32_t position, BTree::Path* path, bool* found);
    // The record at `path` without copying it when its cell holds it whole; otherwise its fixed
    // part is read into `scratch`.
    Status View(const BTree::Path& path, std::vector<std::uint8_t>* scratch, RecordView* view);
    // Bytes [from, from + count) of a viewed record (kIoError beyond its end).
    Status ReadRecord(const RecordView& view, std::size_t from, std::size_t count,
                      std::uint8_t* out) {
        return ReadPayload(view.cell, StampBytes() + from, count, out);
    }

    // The entry of a record in a key: false when the record is not in the key.
    std::size_t EntryWidth(std::size_t key) const {
        return spec_.keys[key].transformedLength + format::kEntrySuffix;
    }
    // Entry of the record at `path` in `key`; the record's key value goes to `value` when given.
    Status EntryOf(const BTree::Path& path, std::size_t key, std::uint8_t* entry, bool* inKey,
                   std::uint8_t* value);

    // Insert: fills auto-increment fields of `record` (so the caller sees them) and returns the
    // new position. Update and Delete take the record's position.
    Status Insert(std::uint8_t* record, std::size_t length, std::uint32_t* position);
    Status Update(std::uint32_t position, const std::uint8_t* record, std::size_t length);
    Status Delete(std::uint32_t position);

private:
    TableFile() = default;
    Status Load();
    std::size_t StampBytes() const { return 8 * spec_.duplicateKeys; }
    Status LoadPayload(std::uint32_t position, std::vector<std::uint8_t>* payload,
                       RecordInfo* info);
    Status ReadPayload(const std::uint8_t* cell, std::size_t from, std::size_t count,
                       std::uint8_t* out);
    Status PutRecord(std::uint32_t position, std::uint32_t version,
                     const std::vector<std::uint8_t>& payload);
    Status RemoveRecord(std::uint32_t position);
    Status FillAutoIncrement(std::uint8_t* record);
    Status CheckUnique(std::size_t key, const std::uint8_t* ordered);
    void MakeEntry(std::size_t key, const std::uint8_t* ordered, std::uint64_t stamp,
                   std::uint32_t position, std::uint8_t* entry);
    std::uint64_t NextStamp();
    // A new arrival stamp for the record's entry in key k: kept in payload_ and completing the
    // entry in entries_ (whose ordered form is already there).
    void StampEntry(std::size_t k, std::uint32_t position);

    FileSpec spec_;
    std::unique_ptr<Pager> pager_;
    std::unique_ptr<BTree> records_;
    std::vector<std::unique_ptr<BTree>> keys_;
    std::vector<std::uint8_t> payload_;
    std::vector<std::uint8_t> oldPayload_;
    std::vector<std::uint8_t> entries_;     // one kMaxEntry slot per key
    std::vector<std::uint8_t> oldEntries_;  // the same, for the entries an update replaces
    std::vector<char> inKey_, wasInKey_, changed_;
    std::vector<BTree::Path> slots_;  // where Insert puts each unique key's entry
    // Last, so that it leaves the other processes before the pager closes the file.
    std::unique_ptr<FileSharing> sharing_;
};

}  // namespace zelmor::engine
