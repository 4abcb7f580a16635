#include "extended/Reply.h"

#include "values/codecs/ValueBytes.h"

namespace zelmor {

namespace {
std::uint32_t Read(const std::uint8_t* at, std::size_t bytes) {
    return static_cast<std::uint32_t>(codecs::ReadLittleEndian(at, bytes));
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

}  // namespace zelmor
