#include "core/FieldAccess.h"

#include <algorithm>
#include <cstring>

#include "core/LittleEndian.h"
#include "core/TableFiles.h"
#include "platform/CodePage.h"
#include "values/FieldCodecs.h"

namespace zelmor {

namespace {

std::string TextAtDictionaryOffset(const TableDef& table, const FieldDef& field) {
    std::string text = WholeFieldText(table, field);
    platform::CutToBytes(text, kMaxFieldText);
    return text;
}

int SetByIndex(TableDef& table, std::size_t fieldIndex, std::string_view text) {
    if (!table.open) return rc::kNotOpen;
    const FieldDef& field = table.fields[fieldIndex];
    std::size_t at = WalkedValueOffset(table, fieldIndex);
    TextToField(field, table.record.data(), table.record.size(), at, text);
    if (field.dataType == kBlob && PlaceBlobValue(table, field, at, text) < 0) {
        return rc::kBadLength;
    }
    return 0;
}

}  // namespace

std::size_t BlobDataEnd(const TableDef& table) {
    const std::size_t size = table.record.size();
    const std::size_t fixedPart = static_cast<std::size_t>(std::max(table.recordLength, 0));
    std::size_t end = fixedPart;
    for (const FieldDef& field : table.fields) {
        if (field.dataType != kBlob || field.offset < 0) continue;
        const std::size_t at = static_cast<std::size_t>(field.offset);
        if (at > size || size - at < 8) continue;
        const std::size_t length = LoadU32(table.record, at);
        const std::size_t offset = LoadU32(table.record, at + 4);
        // A descriptor pointing outside the buffer or into the fixed part places nothing.
        if (offset < fixedPart || offset > size || length > size - offset) continue;
        end = std::max(end, offset + length);
    }
    return std::min(end, size);
}

int PlaceBlobValue(TableDef& table, const FieldDef& field, std::size_t descriptorAt,
                   std::string_view text) {
    std::size_t endOfData = BlobDataEnd(table);
    // The buffer keeps one byte more than its usable length.
    if (table.record.size() > endOfData + 1) table.record.resize(endOfData + 1);
    BlobRecord blob{table.record, table.fields,
                    static_cast<std::size_t>(std::max(table.recordLength, 0))};
    int placed = PlaceBlobText(blob, text, field, descriptorAt, endOfData);
    table.bufferLength = static_cast<std::int32_t>(table.record.size()) - 1;
    return placed;
}

std::size_t WalkedValueOffset(const TableDef& table, std::size_t fieldIndex) {
    std::size_t at = 0;
    for (std::size_t i = 0; i < fieldIndex && i < table.fields.size(); ++i) {
        if (table.fields[i].IsNullable()) ++at;
        at += StoredFieldSize(table.fields[i], table.record.data(), table.record.size(), at);
    }
    if (fieldIndex < table.fields.size() && table.fields[fieldIndex].IsNullable()) ++at;
    return at;
}

std::string DbGetFieldData(const TableDef& table, const std::string& fieldName) {
    const FieldDef* field = table.FieldByName(fieldName);
    return field == nullptr ? std::string() : TextAtDictionaryOffset(table, *field);
}

std::string DbGetFieldDataByID(const TableDef& table, int fieldId) {
    if (fieldId < 0 || static_cast<std::size_t>(fieldId) >= table.fields.size()) return {};
    return TextAtDictionaryOffset(table, table.fields[static_cast<std::size_t>(fieldId)]);
}

int DbSetFieldData(TableDef& table, const std::string& fieldName, std::string_view text) {
    int index = table.FieldIndex(fieldName);
    if (index < 0) return rc::kNoSuchField;
    return SetByIndex(table, static_cast<std::size_t>(index), text);
}

int DbSetFieldDataByID(TableDef& table, int fieldId, std::string_view text) {
    if (fieldId < 0 || static_cast<std::size_t>(fieldId) >= table.fields.size()) {
        return rc::kNoSuchField;
    }
    return SetByIndex(table, static_cast<std::size_t>(fieldId), text);
}

bool DbIsNull(const TableDef& table, const std::string& fieldName) {
    const FieldDef* field = table.FieldByName(fieldName);
    return field != nullptr && IsFieldNull(table, *field);
}

bool IsFieldNull(const TableDef& table, const FieldDef& field) {
    if (!field.IsNullable() || !table.open || field.offset < 1) return false;
    std::size_t indicator = static_cast<std::size_t>(field.offset) - 1;
    return indicator < table.record.size() && table.record[indicator] != 0;
}

std::string WholeFieldText(const TableDef& table, const FieldDef& field) {
    if (!table.open || field.offset < 0) return {};
    return FieldToText(field, table.record.data(), table.record.size(),
                       static_cast<std::size_t>(field.offset));
}

int DbGetDataType(const TableDef& table, const std::string& fieldName) {
    const FieldDef* field = table.FieldByName(fieldName);
    return field == nullptr ? rc::kNoSuchField : field->dataType;
}

int DbGetDataSize(const TableDef& table, const std::string& fieldName) {
    const FieldDef* field = table.FieldByName(fieldName);
    return field == nullptr ? rc::kNoSuchField : field->size;
}

int DbClearFieldBuffer(TableDef& table) {
    if (!table.open) return rc::kNotOpen;
    std::size_t length = std::min(table.record.size(), static_cast<std::size_t>(table.recordLength));
    std::fill_n(table.record.begin(), length, 0);
    for (const FieldDef& field : table.fields) {
        if (field.offset < 0) continue;
        ClearFieldValue(field, table.record.data(), table.record.size(),
                        static_cast<std::size_t>(field.offset));
    }
    return 0;
}

int ResetRecordBuffer(TableDef& table) {
    if (!table.open) return rc::kNotOpen;
    table.record.assign(static_cast<std::size_t>(table.recordLength) + 1, 0);
    table.bufferLength = table.recordLength;
    return DbClearFieldBuffer(table);
}

int DbSetNull(TableDef& table, std::size_t fieldIndex, bool isNull) {
    if (!table.open) return rc::kNotOpen;
    if (fieldIndex >= table.fields.size() || !table.fields[fieldIndex].IsNullable() ||
        table.fields[fieldIndex].offset < 1) {
        return rc::kNoSuchField;
    }
    std::size_t indicator = static_cast<std::size_t>(table.fields[fieldIndex].offset) - 1;
    if (indicator < table.record.size()) table.record[indicator] = isNull ? 1 : 0;
    return 0;
}

int DbGetRecord(const TableDef& table, int lowerBound, int upperBound,
                std::vector<std::string>& texts) {
    if (lowerBound < 0 || static_cast<std::size_t>(lowerBound) >= table.fields.size()) {
        return -19;
    }
    texts.clear();
    for (int fieldId = lowerBound; fieldId <= upperBound; ++fieldId) {
        texts.push_back(DbGetFieldDataByID(table, fieldId));
    }
    return 0;
}

int DbSetRecord(TableDef& table, int lowerBound, const std::vector<std::string>& texts) {
    if (lowerBound < 0 || static_cast<std::size_t>(lowerBound) >= table.fields.size()) {
        return -19;
    }
    if (!table.open) return rc::kNotOpen;
    for (std::size_t k = 0; k < texts.size(); ++k) {
        std::size_t fieldIndex = static_cast<std::size_t>(lowerBound) + k;
        if (fieldIndex >= table.fields.size()) break;  // no field to receive the text
        int status = SetByIndex(table, fieldIndex, texts[k]);
        if (status != 0) return status;
    }
    return 0;
}

std::size_t DbGetRecordImage(const TableDef& table, std::uint8_t* bytes, std::size_t count) {
    std::size_t copied = std::min(count, table.record.size());
    if (copied > 0) std::memcpy(bytes, table.record.data(), copied);
    return copied;
}

std::size_t DbSetRecordImage(TableDef& table, const std::uint8_t* bytes, std::size_t count) {
    std::size_t copied = std::min(count, table.record.size());
    if (copied > 0) std::memcpy(table.record.data(), bytes, copied);
    return copied;
}

}  // namespace zelmor
