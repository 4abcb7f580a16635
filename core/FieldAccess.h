// Field values in a table's record buffer, as text: by name and by position, null flags, types
// and sizes, clearing the record, and whole-record exchange with lists of texts and with record
// images. A table that is not open has no record buffer: reads give empty texts, writes -3.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/Dictionary.h"

namespace zelmor {

// Longest field text handed out (the field text buffer holds 4096 bytes and a terminator).
constexpr std::size_t kMaxFieldText = 4096;

// The field's text, converted at its dictionary offset; empty for a field not in the table.
std::string DbGetFieldData(const TableDef& table, const std::string& fieldName);
std::string DbGetFieldDataByID(const TableDef& table, int fieldId);

// Converts the text into the field's place, found by walking the record (each nullable field's
// indicator byte and each value's stored size); a Blob value is placed after the fixed part.
// -5 for a field not in the table.
int DbSetFieldData(TableDef& table, const std::string& fieldName, std::string_view text);
int DbSetFieldDataByID(TableDef& table, int fieldId, std::string_view text);

// The field's null-indicator byte is nonzero; false for a field that is not nullable.
bool DbIsNull(const TableDef& table, const std::string& fieldName);
bool IsFieldNull(const TableDef& table, const FieldDef& field);

// The field's whole text at its dictionary offset, without the cut at kMaxFieldText: for tools
// that copy values out whole (a Blob or Note may be far longer).
std::string WholeFieldText(const TableDef& table, const FieldDef& field);

// The field's data type code or size; -5 for a field not in the table.
int DbGetDataType(const TableDef& table, const std::string& fieldName);
int DbGetDataSize(const TableDef& table, const std::string& fieldName);

// Zeroes the record and gives every field its empty value.
int DbClearFieldBuffer(TableDef& table);

// An empty record with no variable part: the buffer back to the fixed part, then cleared. A new
// record starts from it, so that no Blob data of the record read before travels with it.
int ResetRecordBuffer(TableDef& table);

// Sets or clears a nullable field's null-indicator byte; -5 for a field that is not nullable.
int DbSetNull(TableDef& table, std::size_t fieldIndex, bool isNull);

// The end of the data in the record buffer: the fixed part, then the Blob values its descriptors
// place after it. Bytes beyond belong to no value (a cleared record, or a small record read into
// a buffer that a larger one had grown).
std::size_t BlobDataEnd(const TableDef& table);

// Places a Blob value for the field whose descriptor lies at `descriptorAt`, after dropping the
// bytes beyond the end of the data, so that the value lands where Insert and Update send it and
// the buffer does not grow from record to record. -1 when the value cannot be placed (VE001 when
// the buffer cannot grow; a descriptor pointing into the fixed part or outside the buffer).
int PlaceBlobValue(TableDef& table, const FieldDef& field, std::size_t descriptorAt,
                   std::string_view text);

// Offset of field `fieldIndex` found by walking the record as DbSetFieldData does.
std::size_t WalkedValueOffset(const TableDef& table, std::size_t fieldIndex);

// The texts of fields lowerBound .. upperBound (a field number past the table gives an empty
// text); -19 when lowerBound is past the field count.
int DbGetRecord(const TableDef& table, int lowerBound, int upperBound,
                std::vector<std::string>& texts);
// Sets fields lowerBound, lowerBound + 1, ... from the texts; texts past the last field are
// ignored. -19 when lowerBound is past the field count.
int DbSetRecord(TableDef& table, int lowerBound, const std::vector<std::string>& texts);

// Copies between a byte array and the record buffer from its start; bytes beyond the record
// buffer are neither read nor written. Gives the number of bytes copied.
std::size_t DbGetRecordImage(const TableDef& table, std::uint8_t* bytes, std::size_t count);
std::size_t DbSetRecordImage(TableDef& table, const std::uint8_t* bytes, std::size_t count);

}  // namespace zelmor
