// Key definitions and the one place where key values are turned into their memcmp-ordered
// form: every type's ordering, case folding and descending order are byte transforms here.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/src/Status.h"

namespace zelmor::engine {

struct KeySegment {
    std::uint16_t offset = 0;  // 0-based in the record
    std::uint16_t length = 0;
    std::uint16_t flags = 0;
    std::uint8_t type = 0;  // the type that orders it (string when no extended type is given)
    bool legacyBinary = false;
    std::uint8_t nullValue = 0;
    std::uint16_t transformedLength = 0;
};

struct KeyDefinition {
    std::uint16_t firstSegment = 0;
    std::uint16_t segmentCount = 0;
    std::uint16_t length = 0;             // the key value: its segments, one after another
    std::uint16_t transformedLength = 0;  // the ordered form
    bool duplicates = false;
    bool modifiable = false;
    bool nullIfAllNull = false;
    bool nullIfAnyNull = false;
    int stampIndex = -1;  // where its arrival stamp is kept in a record (duplicate keys only)
    int autoIncrementSegment = -1;
};

// A file specification as given to Create and kept in the file.
struct FileSpec {
    std::uint16_t recordLength = 0;
    std::uint16_t pageSize = 0;
    std::uint16_t fileFlags = 0;
    std::vector<KeySegment> segments;
    std::vector<KeyDefinition> keys;
    int duplicateKeys = 0;
    bool VariableLength() const { return (fileFlags & 0x0001) != 0; }
};

// Parses and checks a Create data buffer (16-byte file specification, 16 bytes per segment).
// `size` is the buffer's length; the statuses are Create's (24, 26, 27, 28, 29, 45, 49, 22).
Status ParseFileSpec(const std::uint8_t* data, std::size_t size, FileSpec* spec);
// Rebuilds the definitions from the segment specifications kept in a file (no length checks
// against a caller's buffer).
Status ParseSegments(const std::uint8_t* segments, std::size_t count, std::uint16_t keyCount,
                     FileSpec* spec);

// The key value of `key` in a record (key.length bytes).
void ExtractKey(const FileSpec& spec, const KeyDefinition& key, const std::uint8_t* record,
                std::uint8_t* value);
// True when a record with this key value is left out of the key (null key rules).
bool IsNullKey(const FileSpec& spec, const KeyDefinition& key, const std::uint8_t* value);
// The ordered form of a key value (key.transformedLength bytes).
void TransformKey(const FileSpec& spec, const KeyDefinition& key, const std::uint8_t* value,
                  std::uint8_t* ordered);

// The types keys may have, and the lengths each allows.
bool KnownType(std::uint8_t type);
bool ValidLength(std::uint8_t type, std::uint16_t length);

// Ordering of one value of a type (at most format::kMaxKeyLength bytes for the decimal and
// numeric types), also used to compare values in extended operations.
void TransformSegment(const KeySegment& segment, const std::uint8_t* value, std::uint8_t* ordered);
std::uint16_t TransformedLength(std::uint8_t type, bool legacyBinary, std::uint16_t length);

}  // namespace zelmor::engine
