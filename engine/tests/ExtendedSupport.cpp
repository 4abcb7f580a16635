#include "engine/tests/ExtendedSupport.h"

#include <cstring>

namespace zelmor::engine::testing {

Bytes Uint16(std::uint16_t value) {
    return Bytes{static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
}

Bytes Descriptor(const std::string& start, std::uint16_t maxRejects,
                 const std::vector<TermSpec>& terms, std::uint16_t maxRecords,
                 const std::vector<FieldSpec>& fields) {
    Bytes body = Concat({Bytes(start.begin(), start.end()), Uint16(maxRejects),
                         Uint16(static_cast<std::uint16_t>(terms.size()))});
    for (const TermSpec& term : terms) {
        body = Concat({body, Bytes{term.type}, Uint16(term.length), Uint16(term.offset),
                       Bytes{term.comparison, term.connector}, term.value});
    }
    body = Concat({body, Uint16(maxRecords), Uint16(static_cast<std::uint16_t>(fields.size()))});
    for (const FieldSpec& field : fields)
        body = Concat({body, Uint16(field.length), Uint16(field.offset)});
    return Concat({Uint16(static_cast<std::uint16_t>(body.size() + 2)), body});
}

ExtendedReply CallExtended(RecordManager& manager, std::uint16_t op, Block& block,
                           const Bytes& descriptor, std::size_t capacity, std::int8_t key) {
    Bytes data = descriptor;
    data.resize(std::max(capacity, descriptor.size()));
    std::uint32_t length = static_cast<std::uint32_t>(capacity);
    Bytes keyBuffer(255);
    ExtendedReply reply;
    reply.status = manager.Call(op, block.bytes, data.data(), &length, keyBuffer.data(), 255, key);
    reply.length = length;
    if (length < 2 || length > data.size()) return reply;
    const std::size_t count = data[0] | (data[1] << 8);
    std::size_t at = 2;
    for (std::size_t i = 0; i < count; ++i) {
        if (at + 6 > length) return reply;
        const std::size_t size = data[at] | (data[at + 1] << 8);
        std::uint32_t position;
        std::memcpy(&position, data.data() + at + 2, 4);
        if (at + 6 + size > length) return reply;
        reply.records.push_back({position, Bytes(data.begin() + static_cast<std::ptrdiff_t>(at + 6),
                                                 data.begin() + static_cast<std::ptrdiff_t>(at + 6 + size))});
        at += 6 + size;
    }
    reply.wellFormed = at == length;
    return reply;
}

}  // namespace zelmor::engine::testing
