#include "extended/ExtendedRequest.h"

#include <algorithm>
#include <new>

#include "core/LittleEndian.h"
#include "messages/Messages.h"
#include "core/TableFiles.h"
#include "platform/CodePage.h"
#include "values/FieldCodecs.h"

namespace zelmor {

namespace {

constexpr std::size_t kMaxConditionElement = 256;  // bytes of a name, number or value
constexpr std::size_t kMaxListElement = 21;        // bytes of a name or number in a field list
constexpr std::uint8_t kCompareWithField = 64;
constexpr std::uint8_t kCompareIgnoringCase = 128;

enum Connector : std::uint8_t { kLastTerm = 0, kAnd = 1, kOr = 2 };

struct Operator {
    const char* text;
    std::uint8_t code;
};
// Matched in this order: the first whose characters start the remaining text wins.
const Operator kOperators[] = {{"<>", 4}, {">=", 5}, {"<=", 6}, {"=", 1}, {">", 2}, {"<", 3}};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLead(char c) { return platform::IsLeadByte(static_cast<unsigned char>(c)); }
bool EndsName(char c) { return static_cast<unsigned char>(c) <= 32 || c == ','; }

void SkipBlanks(const std::string& text, std::size_t& at) {
    while (at < text.size() && text[at] == ' ') ++at;
}

// A field reference: digits are a field number, anything else a name up to a blank, a control
// character or ","; double-byte characters are taken whole. At most `limit` bytes are kept.
struct FieldReference {
    bool isNumber = false;
    std::string text;
};

FieldReference ReadReference(const std::string& text, std::size_t& at, std::size_t limit) {
    FieldReference reference;
    if (at < text.size() && IsDigit(text[at])) {
        reference.isNumber = true;
        while (at < text.size() && IsDigit(text[at])) {
            if (reference.text.size() < limit) reference.text += text[at];
            ++at;
        }
        return reference;
    }
    while (at < text.size() && !EndsName(text[at])) {
        std::size_t width = IsLead(text[at]) && at + 1 < text.size() ? 2 : 1;
        if (reference.text.size() + width <= limit) reference.text.append(text, at, width);
        at += width;
    }
    return reference;
}

// The field a reference names, or -1 after VE818 (no such name) or VE025 (number too large).
int ResolveReference(const TableDef& table, const FieldReference& reference) {
    if (reference.isNumber) {
        std::size_t number = 0;
        for (char digit : reference.text) {
            number = number * 10 + static_cast<std::size_t>(digit - '0');
            if (number >= table.fields.size()) break;  // no need to read on: out of range
        }
        if (number >= table.fields.size()) {
            ShowMessage(VE025);
            return -1;
        }
        return static_cast<int>(number);
    }
    int index = table.FieldIndex(reference.text);
    if (index < 0) ShowMessage(VE818, reference.text.c_str());
    return index;
}

// A value: quoted by '"', '\'' or '/' (up to the same character, or a control character), or
// bare (up to a blank or a control character). Double-byte characters are part of the value
// and compare byte for byte. At most 256 bytes are kept.
std::string ReadValue(const std::string& text, std::size_t& at) {
    std::string value;
    char delimiter = 0;
    if (at < text.size() && (text[at] == '"' || text[at] == '\'' || text[at] == '/')) {
        delimiter = text[at++];
    }
    while (at < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[at]);
        if (delimiter != 0 && text[at] == delimiter) {
            ++at;
            break;
        }
        if (c < 32 || (delimiter == 0 && c == 32)) break;
        std::size_t width = IsLead(text[at]) && at + 1 < text.size() ? 2 : 1;
        if (value.size() + width <= kMaxConditionElement) value.append(text, at, width);
        at += width;
    }
    return value;
}

void PutU16(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

bool IsTextType(int type) { return type == kString || type == kLString || type == kZString; }

// Parses one term at `at` into `term`; false after its message.
bool ParseTerm(const TableDef& table, const std::string& condition, bool ignoreCase,
               std::size_t& at, std::vector<std::uint8_t>& term, Connector& connector) {
    SkipBlanks(condition, at);
    if (at >= condition.size() || condition[at] != '@') {
        ShowMessage(VE041);
        return false;
    }
    ++at;
    SkipBlanks(condition, at);
    int fieldIndex = ResolveReference(table, ReadReference(condition, at, kMaxConditionElement));
    if (fieldIndex < 0) return false;
    const FieldDef& field = table.fields[static_cast<std::size_t>(fieldIndex)];
    if (field.dataType == kNote || field.dataType == kLVar) {
        ShowMessage(VE043);
        return false;
    }

    SkipBlanks(condition, at);
    std::uint8_t comparison = 0;
    for (const Operator& candidate : kOperators) {
        if (condition.compare(at, std::char_traits<char>::length(candidate.text),
                              candidate.text) == 0) {
            comparison = candidate.code;
            at += std::char_traits<char>::length(candidate.text);
            break;
        }
    }
    if (comparison == 0) {
        ShowMessage(VE042);
        return false;
    }
    if (ignoreCase && IsTextType(field.dataType)) comparison |= kCompareIgnoringCase;

    std::vector<std::uint8_t> value;
    SkipBlanks(condition, at);
    if (at < condition.size() && condition[at] == '@') {
        ++at;
        SkipBlanks(condition, at);
        int other = ResolveReference(table, ReadReference(condition, at, kMaxConditionElement));
        if (other < 0) return false;
        comparison |= kCompareWithField;
        PutU16(value, static_cast<std::uint32_t>(table.fields[static_cast<std::size_t>(other)].offset));
    } else {
        std::string text = ReadValue(condition, at);
        // A missing value (the condition ends after the operator, or "&" or "|" stands where
        // the value belongs, or an empty quoted value) is refused: the term would compare with
        // bytes nobody gave.
        if (text.empty() || text[0] == '&' || text[0] == '|') {
            ShowMessage(VE046, condition.c_str());
            return false;
        }
        value.assign(static_cast<std::size_t>(std::max(field.size, 0)), 0);
        TextToField(field, value.data(), value.size(), 0, text);
    }

    SkipBlanks(condition, at);
    connector = kLastTerm;
    if (at < condition.size() && (condition[at] == '&' || condition[at] == '|')) {
        connector = condition[at] == '&' ? kAnd : kOr;
        while (at < condition.size() && condition[at] != ' ') ++at;  // the whole token
    }

    term.clear();
    term.push_back(static_cast<std::uint8_t>(field.dataType));
    PutU16(term, static_cast<std::uint32_t>(field.size));
    PutU16(term, static_cast<std::uint32_t>(field.offset));
    term.push_back(comparison);
    term.push_back(connector);
    term.insert(term.end(), value.begin(), value.end());
    return true;
}

}  // namespace

bool ParseSearchCondition(const TableDef& table, const std::string& condition, bool ignoreCase,
                          ParsedCondition& parsed, std::size_t* end) {
    parsed = ParsedCondition();
    std::size_t at = 0;
    SkipBlanks(condition, at);
    if (end) *end = at;
    if (at >= condition.size()) return true;  // no condition: every record qualifies
    try {
        std::vector<std::uint8_t> term;
        Connector connector = kAnd;
        while (connector != kLastTerm) {
            if (!ParseTerm(table, condition, ignoreCase, at, term, connector)) {
                parsed = ParsedCondition();
                return false;
            }
            parsed.terms.insert(parsed.terms.end(), term.begin(), term.end());
            ++parsed.termCount;
        }
        if (end) *end = at;
    } catch (const std::bad_alloc&) {
        parsed = ParsedCondition();
        ShowMessage(VE001, "zelDbEx", __LINE__);
        return false;
    }
    return true;
}

bool ParseFieldList(const TableDef& table, const std::string& fieldList, ParsedFieldList& parsed) {
    parsed = ParsedFieldList();
    std::size_t at = 0;
    SkipBlanks(fieldList, at);
    if (at >= fieldList.size()) {
        ShowMessage(VE040);
        return false;
    }
    for (;;) {
        int index = ResolveReference(table, ReadReference(fieldList, at, kMaxListElement));
        if (index < 0) {
            parsed = ParsedFieldList();
            return false;
        }
        const FieldDef& field = table.fields[static_cast<std::size_t>(index)];
        parsed.fieldIndexes.push_back(index);
        PutU16(parsed.descriptors, static_cast<std::uint32_t>(field.size));
        PutU16(parsed.descriptors, static_cast<std::uint32_t>(field.offset));
        ++parsed.fieldCount;
        parsed.recordLength += static_cast<std::uint32_t>(std::max(field.size, 0));
        if (at >= fieldList.size() || fieldList[at] != ',') return true;
        ++at;  // no blank is skipped after a ","
    }
}

int ParseFieldRef(const TableDef& table, const std::string& text, std::size_t& position) {
    SkipBlanks(text, position);
    FieldReference reference = ReadReference(text, position, kMaxListElement);
    if (position < text.size() && text[position] == ',') ++position;
    if (reference.text.empty()) return -1;  // the end of the list
    if (reference.isNumber) {
        std::size_t number = 0;
        for (char digit : reference.text) {
            number = std::min<std::size_t>(number * 10 + static_cast<std::size_t>(digit - '0'),
                                           table.fields.size());
        }
        if (number < table.fields.size()) return static_cast<int>(number);
        ShowMessage(VE025);
        return -1;
    }
    int index = table.FieldIndex(reference.text);
    if (index < 0) ShowMessage(VE818, reference.text.c_str());
    return index;
}

namespace {

int BuildRequest(const TableDef& table, const char mode[2], std::uint16_t rejectCount,
                 const std::string& condition, bool ignoreCase, const std::string& fieldList,
                 std::uint16_t maxRecords, ExtendedRequest& request) {
    constexpr std::size_t kMaxRequestLength = 0xFFFF;  // the request's length is a 16-bit number
    ParsedCondition parsed;
    if (!ParseSearchCondition(table, condition, ignoreCase, parsed)) return -8;
    if (8 + parsed.terms.size() + 4 > kMaxRequestLength) {
        ShowMessage(VE039, -8);
        return -8;
    }
    ParsedFieldList fields;
    if (!ParseFieldList(table, fieldList, fields)) return -9;
    std::size_t length = 8 + parsed.terms.size() + 4 + fields.descriptors.size();
    if (length > kMaxRequestLength) {
        ShowMessage(VE039, -9);
        return -9;
    }
    // Counted in 64 bits: on a 32-bit system the product could wrap.
    const std::uint64_t replySize = (std::uint64_t{fields.recordLength} + 6) * maxRecords + 2;
    if (replySize > kMaxReplyRoom) {
        ShowMessage(VE001, "zelDbEx", __LINE__);
        return -99;
    }
    const std::size_t total = std::max<std::size_t>(length, static_cast<std::size_t>(replySize));
    std::vector<std::uint8_t> bytes;
    bytes.reserve(total);
    PutU16(bytes, static_cast<std::uint32_t>(length));
    bytes.push_back(static_cast<std::uint8_t>(mode[0]));
    bytes.push_back(static_cast<std::uint8_t>(mode[1]));
    PutU16(bytes, rejectCount);
    PutU16(bytes, parsed.termCount);
    bytes.insert(bytes.end(), parsed.terms.begin(), parsed.terms.end());
    PutU16(bytes, maxRecords);
    PutU16(bytes, fields.fieldCount);
    bytes.insert(bytes.end(), fields.descriptors.begin(), fields.descriptors.end());
    bytes.resize(total, 0);
    request.buffer = std::move(bytes);
    request.extractedLength = fields.recordLength;
    request.fieldIndexes = std::move(fields.fieldIndexes);
    return 0;
}

}  // namespace

int BuildExtendedRequest(const TableDef& table, const char mode[2], std::uint16_t rejectCount,
                         const std::string& condition, bool ignoreCase,
                         const std::string& fieldList, std::uint16_t maxRecords,
                         ExtendedRequest& request) {
    try {
        return BuildRequest(table, mode, rejectCount, condition, ignoreCase, fieldList,
                            maxRecords, request);
    } catch (const std::bad_alloc&) {
        ShowMessage(VE001, "zelDbEx", __LINE__);
        return -99;
    }
}

void SetRequestMode(ExtendedRequest& request, const char mode[2]) {
    if (request.buffer.size() < 4) return;
    request.buffer[2] = static_cast<std::uint8_t>(mode[0]);
    request.buffer[3] = static_cast<std::uint8_t>(mode[1]);
}

}  // namespace zelmor
