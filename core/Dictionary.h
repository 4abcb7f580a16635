// The dictionary model: the tables of one dictionary directory with their fields, named
// indexes and key segments, and each table's open-file state and record buffer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/recordmanager/RecordManager.h"
#include "values/FieldDef.h"

namespace zelmor {

// Key flags of a segment.
namespace keyflag {
constexpr std::int32_t kDuplicates = 0x0001;
constexpr std::int32_t kModifiable = 0x0002;
constexpr std::int32_t kBinary = 0x0004;
constexpr std::int32_t kNullKey = 0x0008;
constexpr std::int32_t kSegmented = 0x0010;  // the next segment belongs to the same key
constexpr std::int32_t kAlternateCollating = 0x0020;
constexpr std::int32_t kDescending = 0x0040;
constexpr std::int32_t kExtendedType = 0x0100;
constexpr std::int32_t kNullAnySegment = 0x0200;  // left out of the key when any segment is null
constexpr std::int32_t kCaseInsensitive = 0x0400;
}  // namespace keyflag

// One key segment.
struct IndexDef {
    std::int32_t offset = 0;  // of the segment in the record, 0-based
    std::int32_t length = 0;
    std::int32_t flags = 0;   // the dictionary's flags without 0x20
    std::int32_t dataType = 0;
    std::int32_t fileId = 0;
    std::int32_t fieldId = 0;
    std::int32_t part = 0;
};

// A token that lives exactly as long as the object holding it: a copy of the holder gets a token
// of its own, so that a watcher of the original learns when the original is gone.
class LifetimeToken {
public:
    LifetimeToken() : alive_(std::make_shared<char>()) {}
    LifetimeToken(const LifetimeToken&) : LifetimeToken() {}
    LifetimeToken& operator=(const LifetimeToken&) { return *this; }
    std::weak_ptr<const char> Watch() const { return alive_; }

private:
    std::shared_ptr<const char> alive_;
};

constexpr std::size_t kMaxTableName = 20;
constexpr std::size_t kMaxLocation = 66;
constexpr std::size_t kMaxDirectory = 259;

struct TableDef {
    std::string name;      // at most 20 bytes, trailing blanks removed
    std::string location;  // at most 66 bytes
    std::uint8_t positionBlock[kPositionBlockSize] = {};
    bool open = false;
    bool variableLength = false;  // set at open when the file reports variable-length records
    std::vector<FieldDef> fields;
    std::vector<IndexDef> segments;
    std::vector<FieldDef> namedIndexes;  // data type 255: name, and the key number in `offset`
    std::int32_t recordLength = 0;       // from the dictionary
    std::int32_t bufferLength = 0;       // usable length of the record buffer
    std::int32_t fileId = 0;
    // False while a delayed load has read only the table list: the fields and segments are read
    // the first time the table is opened or created.
    bool definitionsLoaded = true;
    // Exists while the table is open: buffer length + 1 bytes.
    std::vector<std::uint8_t> record;
    // Counts the closes, so that a table closed and opened again is told from the one before.
    std::uint32_t closeCount = 0;
    LifetimeToken lifetime;

    const FieldDef* FieldByName(const std::string& fieldName) const;
    const FieldDef* FieldById(std::int32_t fieldId) const;  // by the dictionary's field ID
    int FieldIndex(const std::string& fieldName) const;     // position, or -1
};

// Whether a table met before a call out of the system (an event handler, a control) is still the
// same open table after it: the handler may have reloaded the dictionary (the table is gone),
// closed the table, or closed it and opened it again (its position block is another file's now).
class TableWatch {
public:
    explicit TableWatch(const TableDef& table)
        : table_(&table), alive_(table.lifetime.Watch()), closeCount_(table.closeCount) {}
    bool Intact() const {
        return !alive_.expired() && table_->open && table_->closeCount == closeCount_;
    }

private:
    const TableDef* table_;
    std::weak_ptr<const char> alive_;
    std::uint32_t closeCount_;
};

struct FormContext {
    std::string directory;  // as passed to the loader
    std::vector<TableDef> tables;

    // The first table of that exact name, or nullptr.
    TableDef* TableByName(const std::string& tableName);
    int TableIndex(const std::string& tableName) const;  // position, or -1
};

// Key numbers: the key that starts at segment position p has the number of segments before p
// that do not continue into the next one. p = -1 (no key) gives -1.
int KeyNumberOfSegment(const TableDef& table, int segmentPosition);
// The segment position where key number `keyNumber` starts; 0 when there is no such key.
int SegmentOfKeyNumber(const TableDef& table, int keyNumber);

// A key named by the caller: -1 for an empty name (no key); else the named indexes first, then
// the key whose first segment's field has that name; -2 when nothing matches.
constexpr int kNoKey = -1;
constexpr int kKeyNameNotFound = -2;
int FindKeyByName(const TableDef& table, const std::string& keyName);

}  // namespace zelmor
