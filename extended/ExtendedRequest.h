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
    std::vector<int> fieldIndexes;          // the listed fields' positions in the table, in order
    std::uint16_t fieldCount = 0;
    std::uint32_t recordLength = 0;  // the length of one extracted record
};

// False after showing VE041, VE818, VE025, VE043, VE042, VE046 or VE001. The condition ends at
// the first token after a term that is not a connector; `end`, when given, receives where (the
// rest is ignored, as the library always has; a tool may refuse it).
bool ParseSearchCondition(const TableDef& table, const std::string& condition, bool ignoreCase,
                          ParsedCondition& parsed, std::size_t* end = nullptr);

// False after showing VE040, VE818 or VE025.
bool ParseFieldList(const TableDef& table, const std::string& fieldList, ParsedFieldList& parsed);

// Reads one field reference at `position` (blanks skipped first) and gives the field's number,
// with `position` after the reference and a "," that follows it. -1 after showing VE818 for a
// name the table does not have or VE025 for a number past its fields; -1 without a message at
// the end of the text.
int ParseFieldRef(const TableDef& table, const std::string& text, std::size_t& position);

struct ExtendedRequest {
    // The data buffer of the call: the request at its start, large enough for the reply.
    std::vector<std::uint8_t> buffer;
    std::uint32_t extractedLength = 0;  // one extracted record
    // The fields each extracted record holds, as the list named them (the text after the list's
    // last field is ignored, so later readers must not walk the text again).
    std::vector<int> fieldIndexes;
};

// The largest reply room a request asks for; more is taken as running out of memory.
constexpr std::uint64_t kMaxReplyRoom = 0x7FFFFFFFu;

// Builds the request with the mode ("UC" or "EG"), reject count and number of records to
// return. Gives 0, -8 (condition refused), -9 (field list refused) or -99 (no memory for the
// reply's room: VE001 shown). A request longer than its 16-bit length can say shows VE039 with
// -8 when the condition alone is too long, else -9.
int BuildExtendedRequest(const TableDef& table, const char mode[2], std::uint16_t rejectCount,
                         const std::string& condition, bool ignoreCase,
                         const std::string& fieldList, std::uint16_t maxRecords,
                         ExtendedRequest& request);

// Sets the mode characters of a built request.
void SetRequestMode(ExtendedRequest& request, const char mode[2]);

}  // namespace zelmor
