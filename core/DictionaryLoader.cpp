#include "core/DictionaryLoader.h"

#include <algorithm>

#include <new>
#include <vector>

#include "core/DictionaryRecords.h"
#include "messages/Messages.h"
#include "core/recordmanager/RecordManager.h"
#include "values/GlobalOptions.h"

namespace zelmor {

namespace {

using ReadFunction = std::int16_t (RecordManager::*)(void*);

// Calls `read` until the end of the file, handing each record to `take`, which gives false to
// stop early. Gives 0 at the end (or the stop), or the failing status.
template <typename Take>
int ReadUntil(RecordManager& manager, ReadFunction read, Take take) {
    std::vector<std::uint8_t> record(ddf::kRecordBufferSize);
    for (;;) {
        std::fill(record.begin(), record.end(), 0);
        int status = (manager.*read)(record.data());
        if (status == status::kEndOfFile) return 0;
        if (status != 0) return status;
        if (!take(record.data())) return 0;
    }
}

template <typename Take>
int ReadAll(RecordManager& manager, ReadFunction read, Take take) {
    return ReadUntil(manager, read, [&](const std::uint8_t* record) {
        take(record);
        return true;
    });
}

TableDef* TableOfFile(FormContext& context, std::int32_t fileId) {
    for (TableDef& table : context.tables) {
        if (table.fileId == fileId) return &table;
    }
    return nullptr;
}

bool IsDictionaryField(const std::uint8_t* record) {
    return record[ddf::kFieldName + 2] == '$';
}

int ReadTables(RecordManager& manager, FormContext& context) {
    return ReadAll(manager, &RecordManager::DdfReadFile, [&](const std::uint8_t* record) {
        if (record[ddf::kFileFlags] == ddf::kDictionaryFileFlag) return;
        TableDef table;
        table.fileId = ddf::ReadI16(record, ddf::kFileId);
        table.name = ddf::ReadName(record, ddf::kFileName, kMaxTableName);
        table.location = ddf::ReadName(record, ddf::kFileLocation, 64);
        context.tables.push_back(std::move(table));
    });
}

FieldDef FieldFromRecord(const std::uint8_t* record) {
    FieldDef field;
    field.fieldId = ddf::ReadI16(record, ddf::kFieldId);
    field.fileId = ddf::ReadI16(record, ddf::kFieldFileId);
    field.name = ddf::ReadName(record, ddf::kFieldName, kMaxFieldName);
    field.dataType = record[ddf::kFieldType];
    field.offset = ddf::ReadI16(record, ddf::kFieldOffset);
    field.size = ddf::ReadI16(record, ddf::kFieldSize);
    field.decimals = record[ddf::kFieldDecimals];
    field.flags = ddf::ReadU16(record, ddf::kFieldFlags);
    return field;
}

IndexDef SegmentFromRecord(const std::uint8_t* record, const TableDef& table) {
    IndexDef segment;
    segment.fileId = ddf::ReadI16(record, ddf::kIndexFileId);
    segment.fieldId = ddf::ReadI16(record, ddf::kIndexFieldId);
    segment.part = ddf::ReadI16(record, ddf::kIndexPart);
    segment.flags = ddf::ReadI16(record, ddf::kIndexFlags) & ~keyflag::kAlternateCollating;
    if (const FieldDef* field = table.FieldById(segment.fieldId)) {
        segment.offset = field->offset;
        segment.length = field->size;
        segment.dataType = field->dataType;
    }
    return segment;
}

// Offset + size of the field with the greatest offset (the first of several at that offset).
std::int32_t RecordLengthFromOffsets(const TableDef& table) {
    const FieldDef* last = nullptr;
    for (const FieldDef& field : table.fields) {
        if (last == nullptr || field.offset > last->offset) last = &field;
    }
    // A table without fields has no record; its length is 0. Damaged dictionaries may give
    // negative offsets or sizes: a record is never shorter than nothing.
    return last == nullptr ? 0 : std::max(last->offset + last->size, 0);
}

std::int32_t RecordLengthFromSizes(const TableDef& table) {
    std::int32_t length = 0;
    for (const FieldDef& field : table.fields) length += std::max(field.size, 0);
    return length;
}

int FullLoad(RecordManager& manager, const std::string& directory,
             std::unique_ptr<FormContext>& result) {
    int status = manager.DdfOpen(directory.c_str());
    if (status != 0) return status;
    auto context = std::make_unique<FormContext>();
    context->directory = directory;

    status = ReadTables(manager, *context);
    if (status == 0) {
        status = ReadAll(manager, &RecordManager::DdfReadField, [&](const std::uint8_t* record) {
            if (IsDictionaryField(record)) return;
            FieldDef field = FieldFromRecord(record);
            if (field.dataType == kDictionaryOnly) return;
            TableDef* table = TableOfFile(*context, field.fileId);
            if (table == nullptr) return;
            if (field.dataType == kNamedIndex) {
                table->namedIndexes.push_back(std::move(field));
            } else {
                table->fields.push_back(std::move(field));
            }
        });
    }
    if (status == 0) {
        status = ReadAll(manager, &RecordManager::DdfReadIndex, [&](const std::uint8_t* record) {
            std::int32_t fileId = ddf::ReadI16(record, ddf::kIndexFileId);
            if (fileId < ddf::kFirstUserFileId) return;
            if (TableDef* table = TableOfFile(*context, fileId)) {
                table->segments.push_back(SegmentFromRecord(record, *table));
            }
        });
    }
    if (status != 0) {
        manager.DdfClose();
        return status;
    }
    status = manager.DdfClose();
    if (status != 0) return status;
    for (TableDef& table : context->tables) {
        table.recordLength = RecordLengthFromOffsets(table);
        table.bufferLength = table.recordLength;
    }
    result = std::move(context);
    return 0;
}

int DelayedLoad(RecordManager& manager, const std::string& directory,
                std::unique_ptr<FormContext>& result) {
    int status = manager.DdfOpen(directory.c_str());
    if (status != 0) {
        ShowMessage(VE028, status);
        return -1;
    }
    auto context = std::make_unique<FormContext>();
    context->directory = directory;
    status = ReadTables(manager, *context);
    if (status != 0) {
        ShowMessage(VE029, status);
        manager.DdfClose();
        return -1;
    }
    status = manager.DdfClose();
    if (status != 0) {
        ShowMessage(VE812, status);
        return -1;
    }
    for (TableDef& table : context->tables) table.definitionsLoaded = false;
    result = std::move(context);
    return 0;
}

// Reads the records of one file ID from a file sorted by file ID: stops at the first record
// past it.
template <typename Take>
int ReadRecordsOfFile(RecordManager& manager, ReadFunction read, std::size_t fileIdOffset,
                      std::int32_t fileId, Take take) {
    return ReadUntil(manager, read, [&](const std::uint8_t* record) {
        std::int32_t recordFileId = ddf::ReadI16(record, fileIdOffset);
        if (recordFileId > fileId) return false;
        if (recordFileId == fileId) take(record);
        return true;
    });
}

}  // namespace

int LoadDictionary(const std::string& directory, std::unique_ptr<FormContext>& context) {
    if (Options().DelayedResolve()) return LoadDictionaryDelayed(directory, context);
    return LoadDictionaryFull(directory, context);
}

int LoadDictionaryFull(const std::string& directory, std::unique_ptr<FormContext>& context) {
    try {
        return FullLoad(CurrentRecordManager(), directory, context);
    } catch (const std::bad_alloc&) {
        CurrentRecordManager().DdfClose();
        return -1;
    }
}

int LoadDictionaryDelayed(const std::string& directory, std::unique_ptr<FormContext>& context) {
    try {
        return DelayedLoad(CurrentRecordManager(), directory, context);
    } catch (const std::bad_alloc&) {
        CurrentRecordManager().DdfClose();
        ShowMessage(VE001, "Zeldb", __LINE__);
        return -1;
    }
}

namespace {

int ReadTableDefinitions(const FormContext& context, TableDef& table) {
    RecordManager& manager = CurrentRecordManager();
    int status = manager.DdfOpen(context.directory.c_str());
    if (status != 0) {
        ShowMessage(VE028, status);
        return -1;
    }
    std::vector<FieldDef> fields;
    std::vector<IndexDef> segments;
    status = ReadRecordsOfFile(manager, &RecordManager::DdfReadField, ddf::kFieldFileId,
                               table.fileId, [&](const std::uint8_t* record) {
                                   if (IsDictionaryField(record)) return;
                                   FieldDef field = FieldFromRecord(record);
                                   // Named indexes are not read in this mode, and the
                                   // dictionary's bookkeeping records are never fields.
                                   if (field.dataType == kNamedIndex ||
                                       field.dataType == kDictionaryOnly) {
                                       return;
                                   }
                                   field.flags = 0;  // this load keeps no field flags
                                   fields.push_back(std::move(field));
                               });
    if (status != 0) {
        ShowMessage(VE030);
        manager.DdfClose();
        return -1;
    }
    table.fields = std::move(fields);
    if (table.fileId >= ddf::kFirstUserFileId) {
        status = ReadRecordsOfFile(manager, &RecordManager::DdfReadIndex, ddf::kIndexFileId,
                                   table.fileId, [&](const std::uint8_t* record) {
                                       segments.push_back(SegmentFromRecord(record, table));
                                   });
    }
    if (status != 0) {
        ShowMessage(VE031, status);
        manager.DdfClose();
        return -1;
    }
    table.segments = std::move(segments);
    status = manager.DdfClose();
    if (status != 0) {
        ShowMessage(VE812, status);
        return -1;
    }
    table.namedIndexes.clear();
    table.recordLength = RecordLengthFromSizes(table);
    table.bufferLength = table.recordLength;
    table.definitionsLoaded = true;
    return 0;
}

}  // namespace

// The table's own dictionary is read again from the directory its context was loaded from. (A
// single process-wide "last delayed directory" would read the definitions of another
// dictionary when two data controls load different directories.)
int ResolveTableDefinitions(const FormContext& context, TableDef& table) {
    if (table.definitionsLoaded) return 0;
    try {
        return ReadTableDefinitions(context, table);
    } catch (const std::bad_alloc&) {
        CurrentRecordManager().DdfClose();
        ShowMessage(VE001, "Zeldb", __LINE__);
        return -1;
    }
}

std::unique_ptr<FormContext> CopyFormContext(const FormContext& source) {
    try {
        auto copy = std::make_unique<FormContext>(source);
        for (TableDef& table : copy->tables) {
            table.open = false;
            table.variableLength = false;
            table.record.clear();
            table.record.shrink_to_fit();
            std::fill(std::begin(table.positionBlock), std::end(table.positionBlock), 0);
            table.bufferLength = table.recordLength;
        }
        return copy;
    } catch (const std::bad_alloc&) {
        ShowMessage(VE001, "Zeldb", __LINE__);
        return nullptr;
    }
}

}  // namespace zelmor
