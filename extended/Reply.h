// The reply of an extended operation: u16 number of records, then per record u16 length L of
// the extracted data, u32 record position and L bytes. Reading never goes outside the buffer: a
// record that does not lie wholly inside it ends the reply.
#pragma once

#include <cstdint>
#include <vector>

namespace zelmor {

struct ReplyRecord {
    std::uint32_t position;
    const std::uint8_t* data;
    std::size_t length;
};

// The records of a reply that lie wholly inside `size` bytes.
std::vector<ReplyRecord> ReadReply(const std::uint8_t* reply, std::size_t size);

}  // namespace zelmor
