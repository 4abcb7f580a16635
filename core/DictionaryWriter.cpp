#include "core/DictionaryWriter.h"

#include <algorithm>
#include <cstring>

#include "core/Dictionary.h"
#include "core/DictionaryRecords.h"
#include "core/FileSpecification.h"
#include "core/LittleEndian.h"
#include "core/recordmanager/RecordManager.h"

namespace zelmor {

namespace {

// Record lengths of the three files.
constexpr std::size_t kFileRecordLength = 97;
constexpr std::size_t kFieldRecordLength = 32;
constexpr std::size_t kIndexRecordLength = 10;

constexpr std::int32_t kFileDdfId = 1;
constexpr std::int32_t kFieldDdfId = 2;
constexpr std::int32_t kIndexDdfId = 3;

using Record = std::vector<std::uint8_t>;

void PutName(Record& record, std::size_t at, const std::string& name, std::size_t width) {
    std::fill_n(record.begin() + static_cast<std::ptrdiff_t>(at), width, ' ');
    std::copy_n(name.begin(), std::min(name.size(), width),
                record.begin() + static_cast<std::ptrdiff_t>(at));
}

void PutI16(Record& record, std::size_t at, std::int32_t value) {
    StoreU16(record, at, static_cast<std::uint16_t>(value));
}

class DictionaryFile {
  public:
    DictionaryFile(const std::string& path, std::size_t recordLength,
                   const std::vector<KeySegmentSpec>& keys)
        : path_(path), recordLength_(recordLength), keys_(keys) {}

    int Create() {
        Record spec = FileSpecification(static_cast<std::uint16_t>(recordLength_), 4096, 0, keys_);
        int status = CreateRecordManagerFile(path_, spec);
        if (status != 0) return status;
        std::vector<char> key(path_.begin(), path_.end());
        key.push_back('\0');
        std::uint32_t length = 0;
        return CurrentRecordManager().Call(op::kOpen, block_, nullptr, &length, key.data(),
                                           static_cast<std::uint8_t>(path_.size()), 0);
    }

    int Insert(Record record) {
        record.resize(recordLength_, 0);
        std::uint8_t keyBuffer[256] = {};
        std::uint32_t length = static_cast<std::uint32_t>(recordLength_);
        return CurrentRecordManager().Call(op::kInsert, block_, record.data(), &length, keyBuffer,
                                           255, 0);
    }

    int Close() {
        std::uint32_t length = 0;
        return CurrentRecordManager().Call(op::kClose, block_, nullptr, &length, nullptr, 0, 0);
    }

    std::size_t RecordLength() const { return recordLength_; }

  private:
    std::string path_;
    std::size_t recordLength_;
    std::vector<KeySegmentSpec> keys_;
    std::uint8_t block_[kPositionBlockSize] = {};
};

constexpr std::uint8_t kTypeString = static_cast<std::uint8_t>(kString);
constexpr std::uint8_t kTypeInteger = static_cast<std::uint8_t>(kInteger);
constexpr std::uint16_t kExt = static_cast<std::uint16_t>(keyflag::kExtendedType);
constexpr std::uint16_t kSeg = static_cast<std::uint16_t>(keyflag::kSegmented);
constexpr std::uint16_t kDup = static_cast<std::uint16_t>(keyflag::kDuplicates);
constexpr std::uint16_t kMod = static_cast<std::uint16_t>(keyflag::kModifiable);

// FILE.DDF: by file ID; by name.
const std::vector<KeySegmentSpec> kFileKeys = {
    {1, 2, kExt, kTypeInteger, 0},
    {3, 20, kExt | kMod, kTypeString, 0},
};
// FIELD.DDF: by field ID (unique within a table only); by file ID and field ID; by name.
const std::vector<KeySegmentSpec> kFieldKeys = {
    {1, 2, kExt | kDup, kTypeInteger, 0},
    {3, 2, kExt | kSeg | kMod, kTypeInteger, 0},
    {1, 2, kExt | kMod, kTypeInteger, 0},
    {5, 20, kExt | kDup | kMod, kTypeString, 0},
};
// INDEX.DDF: by file ID, key number and part; by field ID.
const std::vector<KeySegmentSpec> kIndexKeys = {
    {1, 2, kExt | kSeg, kTypeInteger, 0},
    {5, 2, kExt | kSeg, kTypeInteger, 0},
    {7, 2, kExt, kTypeInteger, 0},
    {3, 2, kExt | kDup | kMod, kTypeInteger, 0},
};

Record FileRecord(std::int32_t fileId, const std::string& name, const std::string& location,
                  std::uint8_t flags) {
    Record record(kFileRecordLength, 0);
    PutI16(record, ddf::kFileId, fileId);
    PutName(record, ddf::kFileName, name, 20);
    PutName(record, ddf::kFileLocation, location, 64);
    record[ddf::kFileFlags] = flags;
    return record;
}

Record FieldRecord(std::int32_t fileId, const FieldDef& field) {
    Record record(kFieldRecordLength, 0);
    PutI16(record, ddf::kFieldId, field.fieldId);
    PutI16(record, ddf::kFieldFileId, fileId);
    PutName(record, ddf::kFieldName, field.name, 20);
    record[ddf::kFieldType] = static_cast<std::uint8_t>(field.dataType);
    PutI16(record, ddf::kFieldOffset, field.offset);
    PutI16(record, ddf::kFieldSize, field.size);
    record[ddf::kFieldDecimals] = static_cast<std::uint8_t>(field.decimals);
    StoreU16(record, ddf::kFieldFlags, field.flags);
    return record;
}

Record IndexRecord(std::int32_t fileId, const DictionarySegment& segment) {
    Record record(kIndexRecordLength, 0);
    PutI16(record, ddf::kIndexFileId, fileId);
    PutI16(record, ddf::kIndexFieldId, segment.fieldId);
    PutI16(record, ddf::kIndexKeyNumber, segment.keyNumber);
    PutI16(record, ddf::kIndexPart, segment.part);
    PutI16(record, ddf::kIndexFlags, segment.flags);
    return record;
}

// The dictionary's own tables, described in itself.
std::vector<DictionaryTable> SelfDescription() {
    DictionaryTable file{kFileDdfId, "X$File", "FILE.DDF", {}, {}, {}};
    file.fields = {DictionaryField(1, "Xf$Id", kInteger, 0, 2),
                   DictionaryField(2, "Xf$Name", kString, 2, 20),
                   DictionaryField(3, "Xf$Loc", kString, 22, 64),
                   DictionaryField(4, "Xf$Flags", kUBin, 86, 1)};
    file.segments = {{1, 0, 0, keyflag::kExtendedType}, {2, 1, 0, keyflag::kExtendedType}};
    DictionaryTable field{kFieldDdfId, "X$Field", "FIELD.DDF", {}, {}, {}};
    field.fields = {DictionaryField(5, "Xe$Id", kInteger, 0, 2),
                    DictionaryField(6, "Xe$File", kInteger, 2, 2),
                    DictionaryField(7, "Xe$Name", kString, 4, 20),
                    DictionaryField(8, "Xe$DataType", kUBin, 24, 1),
                    DictionaryField(9, "Xe$Offset", kInteger, 25, 2),
                    DictionaryField(10, "Xe$Size", kInteger, 27, 2),
                    DictionaryField(11, "Xe$Dec", kUBin, 29, 1),
                    DictionaryField(12, "Xe$Flags", kInteger, 30, 2)};
    DictionaryTable index{kIndexDdfId, "X$Index", "INDEX.DDF", {}, {}, {}};
    index.fields = {DictionaryField(13, "Xi$File", kInteger, 0, 2),
                    DictionaryField(14, "Xi$Field", kInteger, 2, 2),
                    DictionaryField(15, "Xi$Number", kInteger, 4, 2),
                    DictionaryField(16, "Xi$Part", kInteger, 6, 2),
                    DictionaryField(17, "Xi$Flags", kInteger, 8, 2)};
    return {file, field, index};
}

int WriteAll(const std::string& directory, const std::vector<DictionaryTable>& tables) {
    DictionaryFile files(directory + "\\FILE.DDF", kFileRecordLength, kFileKeys);
    DictionaryFile fields(directory + "\\FIELD.DDF", kFieldRecordLength, kFieldKeys);
    DictionaryFile indexes(directory + "\\INDEX.DDF", kIndexRecordLength, kIndexKeys);
    int status = 0;
    for (DictionaryFile* file : {&files, &fields, &indexes}) {
        if (status == 0) status = file->Create();
    }
    std::vector<DictionaryTable> all = SelfDescription();
    all.insert(all.end(), tables.begin(), tables.end());
    for (const DictionaryTable& table : all) {
        bool own = table.fileId < ddf::kFirstUserFileId;
        if (status == 0) {
            status = files.Insert(FileRecord(table.fileId, table.name, table.location,
                                             own ? ddf::kDictionaryFileFlag : 0));
        }
        for (const FieldDef& field : table.fields) {
            if (status == 0) status = fields.Insert(FieldRecord(table.fileId, field));
        }
        for (const FieldDef& named : table.namedIndexes) {
            FieldDef record = named;
            record.dataType = kNamedIndex;
            if (status == 0) status = fields.Insert(FieldRecord(table.fileId, record));
        }
        for (const DictionarySegment& segment : table.segments) {
            if (status == 0) status = indexes.Insert(IndexRecord(table.fileId, segment));
        }
    }
    for (DictionaryFile* file : {&files, &fields, &indexes}) {
        int closed = file->Close();
        if (status == 0) status = closed;
    }
    return status;
}

}  // namespace

FieldDef DictionaryField(std::int32_t fieldId, const char* name, DataType type, std::int32_t offset,
                         std::int32_t size, std::uint16_t flags) {
    FieldDef field;
    field.fieldId = fieldId;
    field.name = name;
    field.dataType = type;
    field.offset = offset;
    field.size = size;
    field.flags = flags;
    return field;
}

int WriteDictionary(const std::string& directory, const std::vector<DictionaryTable>& tables) {
    return WriteAll(directory, tables);
}

}  // namespace zelmor
