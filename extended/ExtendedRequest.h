// Search conditions and field lists, and the extended-operation request built from them.
//
// A condition is a chain of terms "@field op value" or "@field op @field", joined by "&" (and)
// or "|" (or); a field is named by its name or its 0-based number in the table. A field list
// names the fields to return, separated by ",". Each parser shows its message and fails on bad
// input.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Dictionary.h"

namespace zelmor {

struct ParsedCondition {
    std::vector<std::uint8_t> terms;  // the filter terms, one after the other
    std::uint16_t termCount = 0;
};

struct ParsedFieldList {
    std::vector<std::uint8_t> descriptors;  // u16 length, u16 offset per field
    std::uint16_t fieldCount = 0;
    std::uint32_t recordLength = 0;  // the length of one extracted record
};

// False after showing VE041, VE818, VE025, VE043, VE042, VE046 or VE001.
bool ParseSearchCondition(const TableDef& table, const std::string& condition, bool ignoreCase,
                          ParsedCondition& parsed);

// False after showing VE040, VE818 or VE025.
bool ParseFieldList(const TableDef& table, const std::string& fieldList, ParsedFieldList& parsed);

// Reads one field reference at `position` (blanks skipped first) and gives the field's number,
// with `position` after the reference and a "," that follows it. -1 after showing VE818 for a
// name the table does not have, or for the end of the text.
int ParseFieldRef(const TableDef& table, const std::string& text, std::size_t& position);

struct ExtendedRequest {
    // The data buffer of the call: the request at its start, large enough for the reply.
    std::vector<std::uint8_t> buffer;
    std::uint32_t extractedLength = 0;  // one extracted record
};

// Builds the request with the mode ("UC" or "EG"), reject count and number of records to
// return. Gives 0, -8 (condition refused) or -9 (field list refused).
int BuildExtendedRequest(const TableDef& table, const char mode[2], std::uint16_t rejectCount,
                         const std::string& condition, bool ignoreCase,
                         const std::string& fieldList, std::uint16_t maxRecords,
                         ExtendedRequest& request);

// Sets the mode characters of a built request.
void SetRequestMode(ExtendedRequest& request, const char mode[2]);

}  // namespace zelmor
