#include "engine/src/ExtendedDescriptor.h"

#include <cstring>

#include "engine/src/Bytes.h"
#include "engine/src/Format.h"

namespace zelmor::engine {

namespace {

constexpr std::uint8_t kCompareField = 64;
constexpr std::uint8_t kCompareIgnoringCase = 128;
constexpr std::uint8_t kConnectorLast = 0;
constexpr std::uint8_t kConnectorOr = 2;
constexpr std::uint32_t kDefaultRejects = 4095;

bool IsText(std::uint8_t type) {
    return type == ZELRM_TYPE_STRING || type == ZELRM_TYPE_LSTRING || type == ZELRM_TYPE_ZSTRING;
}

// Reads little-endian numbers from the descriptor, never past its end.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Has(std::size_t count) const { return count <= size_ - at_; }
    std::uint8_t U8() { return data_[at_++]; }
    std::uint16_t U16() {
        std::uint16_t value = Load16(data_ + at_);
        at_ += 2;
        return value;
    }
    const std::uint8_t* Take(std::size_t count) {
        const std::uint8_t* start = data_ + at_;
        at_ += count;
        return start;
    }
    std::size_t Offset() const { return at_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace

Status ExtendedDescriptor::Parse(const std::uint8_t* data, std::size_t capacity,
                                 const FileSpec& spec, ExtendedDescriptor* descriptor) {
    constexpr Status kMalformed = Status::kInvalidDescriptor;
    if (data == nullptr || capacity < 8) return kMalformed;
    const std::uint16_t length = Load16(data);
    if (length < 8 || length > capacity) return kMalformed;
    Reader reader(data, length);
    reader.U16();
    const std::uint8_t* signature = reader.Take(2);
    if (std::memcmp(signature, "UC", 2) == 0)
        descriptor->startWithCurrent = true;
    else if (std::memcmp(signature, "EG", 2) == 0)
        descriptor->startWithCurrent = false;
    else
        return kMalformed;
    const std::uint16_t rejects = reader.U16();
    descriptor->maxRejects = rejects == 0 ? kDefaultRejects : rejects;
    const std::uint16_t termCount = reader.U16();
    descriptor->terms_.clear();
    descriptor->constants_.clear();
    std::size_t longest = 0;
    for (std::uint16_t i = 0; i < termCount; ++i) {
        if (!reader.Has(7)) return kMalformed;
        Term term;
        KeySegment& segment = term.segment;
        segment.type = reader.U8();
        segment.length = reader.U16();
        segment.offset = reader.U16();
        term.comparison = reader.U8();
        term.connector = reader.U8();
        term.otherField = (term.comparison & kCompareField) != 0;
        const bool ignoreCase = (term.comparison & kCompareIgnoringCase) != 0;
        term.comparison &= 0x3F;
        if (!KnownType(segment.type) || !ValidLength(segment.type, segment.length) ||
            (!IsText(segment.type) && segment.length > format::kMaxKeyLength))
            return kMalformed;
        if (term.comparison < 1 || term.comparison > 6 || term.connector > kConnectorOr)
            return kMalformed;
        // Only the last term ends the chain.
        if ((term.connector == kConnectorLast) != (i + 1 == termCount)) return kMalformed;
        if (std::size_t{segment.offset} + segment.length > spec.recordLength) return kMalformed;
        if (ignoreCase && IsText(segment.type)) segment.flags = ZELRM_KEY_CASE_INSENSITIVE;
        segment.transformedLength = TransformedLength(segment.type, false, segment.length);
        longest = std::max<std::size_t>(longest, segment.transformedLength);
        if (term.otherField) {
            if (!reader.Has(2)) return kMalformed;
            term.otherOffset = reader.U16();
            if (std::size_t{term.otherOffset} + segment.length > spec.recordLength)
                return kMalformed;
        } else {
            if (!reader.Has(segment.length)) return kMalformed;
            const std::uint8_t* value = reader.Take(segment.length);
            term.constant = descriptor->constants_.size();
            descriptor->constants_.resize(term.constant + segment.transformedLength);
            TransformSegment(segment, value, descriptor->constants_.data() + term.constant);
        }
        descriptor->terms_.push_back(term);
    }
    if (!reader.Has(4)) return kMalformed;
    descriptor->maxRecords = reader.U16();
    const std::uint16_t fieldCount = reader.U16();
    if (!reader.Has(std::size_t{fieldCount} * 4)) return kMalformed;
    descriptor->fields.clear();
    descriptor->extractedLength = 0;
    descriptor->fieldsEnd = 0;
    for (std::uint16_t i = 0; i < fieldCount; ++i) {
        Field field;
        field.length = reader.U16();
        field.offset = reader.U16();
        if (field.length == 0) return kMalformed;
        descriptor->extractedLength += field.length;
        descriptor->fieldsEnd =
            std::max<std::uint32_t>(descriptor->fieldsEnd, std::uint32_t{field.offset} + field.length);
        descriptor->fields.push_back(field);
    }
    // Each record's extracted length is a u16 in the reply.
    if (descriptor->extractedLength > 0xFFFF) return kMalformed;
    if (reader.Offset() != length) return kMalformed;
    if (!spec.VariableLength() && descriptor->fieldsEnd > spec.recordLength)
        return Status::kInvalidFieldOffset;
    descriptor->scratch_.resize(2 * longest);
    return Status::kOk;
}

bool ExtendedDescriptor::Evaluate(const Term& term, const std::uint8_t* record) const {
    const KeySegment& segment = term.segment;
    const std::size_t width = segment.transformedLength;
    std::uint8_t* field = scratch_.data();
    TransformSegment(segment, record + segment.offset, field);
    const std::uint8_t* value = constants_.data() + term.constant;
    if (term.otherField) {
        std::uint8_t* other = scratch_.data() + width;
        TransformSegment(segment, record + term.otherOffset, other);
        value = other;
    }
    const int order = std::memcmp(field, value, width);
    switch (term.comparison) {
        case 1:
            return order == 0;
        case 2:
            return order > 0;
        case 3:
            return order < 0;
        case 4:
            return order != 0;
        case 5:
            return order >= 0;
        default:
            return order <= 0;
    }
}

bool ExtendedDescriptor::Matches(const std::uint8_t* record) const {
    for (const Term& term : terms_) {
        const bool holds = Evaluate(term, record);
        if (term.connector == kConnectorLast) return holds;
        if (term.connector == kConnectorOr && holds) return true;
        if (term.connector != kConnectorOr && !holds) return false;
    }
    return true;  // no terms: every record
}

}  // namespace zelmor::engine
