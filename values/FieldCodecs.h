// Conversions between field values in a record image and text, for every data type code: the
// one place where the record encodings are defined. Text is ANSI (code page 932) and ends at its
// first zero byte; binary numbers in record images are little-endian on every host.
//
// Every function checks the value's place against the buffer it is given: a value that does not
// lie wholly inside it, or a field whose size or type makes no sense, gives an empty text or
// writes nothing. The conversions read the process-wide options (Options()).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "values/FieldDef.h"

namespace zelmor {

// The value of `field` lies at `valueOffset` in the record buffer `record` of `recordSize`
// bytes (the whole buffer: fixed part and, for variable-length tables, what follows it). The text
// never holds a zero byte.
std::string FieldToText(const FieldDef& field, const std::uint8_t* record, std::size_t recordSize,
                        std::size_t valueOffset);

// Writes the value converted from `text` at `valueOffset`; never writes outside
// [record, record + recordSize). Returns 0. Blob is not handled here (see PlaceBlobText).
int TextToField(const FieldDef& field, std::uint8_t* record, std::size_t recordSize,
                std::size_t valueOffset, std::string_view text);

// Bytes the value occupies when a record is walked field by field: the dictionary size, a fixed
// width, or for Note and LVar the length of the text at the value's place plus its terminator.
// A code without a size shows VE011 and gives 0. Never reads past recordSize.
std::size_t StoredFieldSize(const FieldDef& field, const std::uint8_t* record,
                            std::size_t recordSize, std::size_t valueOffset);

// Sets the field to the empty value of its type (blanks for String, "000{" for Numeric, zero
// bytes for most others), as a cleared record holds it.
void ClearFieldValue(const FieldDef& field, std::uint8_t* record, std::size_t recordSize,
                     std::size_t valueOffset);

// The text with every character removed except the digits, "." and "-"; a double-byte character
// goes as a whole.
std::string FilterNumericText(std::string_view text);

// A record buffer never grows beyond this: its length is kept as a signed 32-bit number, and the
// length handed to the record manager (one more) must still fit.
constexpr std::size_t kMaxBlobRecordSize = 0x7FFFFFFEu;

// A table's record buffer with Blob data after its fixed part, as PlaceBlobText needs it.
struct BlobRecord {
    std::vector<std::uint8_t>& buffer;    // the whole record buffer; it may grow or shrink
    const std::vector<FieldDef>& fields;  // the table's fields, in order (for the walk)
    std::size_t fixedLength = 0;  // the record's fixed part: no value's data may lie inside it
    std::size_t maxBufferSize = kMaxBlobRecordSize;  // the buffer cannot be enlarged past this
};

// Places a Blob value: the text goes to the data the field's 8-byte descriptor (length, offset
// from the buffer start) points at, and the data of the other Blob fields after it moves with
// their descriptors. A field with no data yet gets its data at `endOfData`. `endOfData` follows
// the change when it lies after the value (so a first placement advances it by the length).
// Returns the value's length, or -1 with nothing changed: VE001 is shown when the buffer cannot
// be enlarged; a descriptor or data outside the buffer or inside the fixed part, or a field that
// is not a Blob, gives -1 without a message.
int PlaceBlobText(BlobRecord& table, std::string_view text, const FieldDef& field,
                  std::size_t descriptorOffset, std::size_t& endOfData);

}  // namespace zelmor
