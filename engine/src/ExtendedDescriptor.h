// The descriptor of an extended operation (the data buffer of Get/Step Next/Previous Extended),
// parsed and checked once per call into a filter and a list of fields to extract.
//
// | offset | size | field                                                              |
// |      0 |    2 | descriptor length                                                  |
// |      2 |    2 | "UC" (start with the current record) or "EG" (with the next one)   |
// |      4 |    2 | maximum reject count (0: 4095)                                     |
// |      6 |    2 | number of terms                                                    |
// |      8 |      | terms: u8 type, u16 length, u16 offset, u8 comparison, u8 connector,|
// |        |      | then `length` bytes of constant, or the u16 offset of another field|
// |        |    2 | maximum records to return                                          |
// |        |    2 | number of fields to extract                                        |
// |        |  4*n | per field: u16 length, u16 offset                                  |
//
// Comparison: 1 =, 2 >, 3 <, 4 <>, 5 >=, 6 <=; +64 the value is another field of the same type
// and length; +128 case-insensitive (string types). Connector: 0 last term, 1 AND, 2 OR.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/src/KeyCodec.h"

namespace zelmor::engine {

class ExtendedDescriptor {
public:
    // Parses the descriptor at the start of a buffer of `capacity` bytes for records of
    // `spec`. 62 for anything malformed; 65 for a field to extract that no record of a
    // fixed-length file reaches.
    static Status Parse(const std::uint8_t* data, std::size_t capacity, const FileSpec& spec,
                        ExtendedDescriptor* descriptor);

    // The filter over a record's fixed part: terms left to right, a false term followed by
    // AND rejects, a true one followed by OR accepts.
    bool Matches(const std::uint8_t* record) const;

    struct Field {
        std::uint16_t length;
        std::uint16_t offset;
    };

    bool startWithCurrent = false;  // "UC"
    std::uint32_t maxRejects = 0;
    std::uint16_t maxRecords = 0;
    std::vector<Field> fields;
    std::uint32_t extractedLength = 0;  // of one record: the fields' lengths added up
    std::uint32_t fieldsEnd = 0;        // the record length every field to extract needs

private:
    struct Term {
        KeySegment segment;  // type, length, offset and folding of the field
        std::uint8_t comparison = 0;
        std::uint8_t connector = 0;
        bool otherField = false;
        std::uint16_t otherOffset = 0;
        std::size_t constant = 0;  // where its ordered constant starts in constants_
    };
    bool Evaluate(const Term& term, const std::uint8_t* record) const;

    std::vector<Term> terms_;
    std::vector<std::uint8_t> constants_;
    mutable std::vector<std::uint8_t> scratch_;  // ordered forms of the record's fields
};

}  // namespace zelmor::engine
