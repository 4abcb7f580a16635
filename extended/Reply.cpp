#include "extended/Reply.h"

namespace zelmor {

namespace {
std::uint32_t Read(const std::uint8_t* at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | at[i];
    return value;
}
}  // namespace

std::vector<ReplyRecord> ReadReply(const std::uint8_t* reply, std::size_t size) {
    std::vector<ReplyRecord> records;
    if (size < 2) return records;
    std::size_t count = Read(reply, 2);
    std::size_t at = 2;
    for (std::size_t i = 0; i < count; ++i) {
        if (at + 6 > size) break;
        std::size_t length = Read(reply + at, 2);
        if (at + 6 + length > size) break;
        records.push_back(ReplyRecord{Read(reply + at + 2, 4), reply + at + 6, length});
        at += 6 + length;
    }
    return records;
}

std::uint16_t ReplyRecordCount(const std::vector<std::uint8_t>& reply) {
    return reply.size() < 2 ? 0 : static_cast<std::uint16_t>(Read(reply.data(), 2));
}

}  // namespace zelmor
