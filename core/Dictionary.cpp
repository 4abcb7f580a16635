#include "core/Dictionary.h"

#include <algorithm>

namespace zelmor {

const FieldDef* TableDef::FieldByName(const std::string& fieldName) const {
    for (const FieldDef& field : fields) {
        if (field.name == fieldName) return &field;
    }
    return nullptr;
}

const FieldDef* TableDef::FieldById(std::int32_t fieldId) const {
    for (const FieldDef& field : fields) {
        if (field.fieldId == fieldId) return &field;
    }
    return nullptr;
}

int TableDef::FieldIndex(const std::string& fieldName) const {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].name == fieldName) return static_cast<int>(i);
    }
    return -1;
}

TableDef* FormContext::TableByName(const std::string& tableName) {
    int index = TableIndex(tableName);
    return index < 0 ? nullptr : &tables[static_cast<std::size_t>(index)];
}

int FormContext::TableIndex(const std::string& tableName) const {
    for (std::size_t i = 0; i < tables.size(); ++i) {
        if (tables[i].name == tableName) return static_cast<int>(i);
    }
    return -1;
}

int KeyNumberOfSegment(const TableDef& table, int segmentPosition) {
    if (segmentPosition < 0) return -1;
    int keyNumber = 0;
    int end = std::min<int>(segmentPosition, static_cast<int>(table.segments.size()));
    for (int i = 0; i < end; ++i) {
        if ((table.segments[static_cast<std::size_t>(i)].flags & keyflag::kSegmented) == 0) {
            ++keyNumber;
        }
    }
    return keyNumber;
}

int SegmentOfKeyNumber(const TableDef& table, int keyNumber) {
    int current = 0;
    int start = 0;
    for (std::size_t i = 0; i < table.segments.size(); ++i) {
        if (current == keyNumber) return start;
        if ((table.segments[i].flags & keyflag::kSegmented) == 0) {
            ++current;
            start = static_cast<int>(i) + 1;
        }
    }
    return 0;
}

int FindKeyByName(const TableDef& table, const std::string& keyName) {
    if (keyName.empty()) return kNoKey;
    for (const FieldDef& named : table.namedIndexes) {
        if (named.name == keyName) return SegmentOfKeyNumber(table, named.offset);
    }
    // Otherwise a key is named by the field of its first segment.
    bool keyStart = true;
    for (std::size_t i = 0; i < table.segments.size(); ++i) {
        const IndexDef& segment = table.segments[i];
        if (keyStart) {
            const FieldDef* field = table.FieldById(segment.fieldId);
            if (field != nullptr && field->name == keyName) return static_cast<int>(i);
        }
        keyStart = (segment.flags & keyflag::kSegmented) == 0;
    }
    return kKeyNameNotFound;
}

}  // namespace zelmor
