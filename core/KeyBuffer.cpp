#include "core/KeyBuffer.h"

#include <algorithm>

#include "messages/Messages.h"

namespace zelmor {

namespace {
constexpr std::size_t kMaxKeyBufferLength = 255;  // the call takes the key length in one byte
}

bool BuildKeyBuffer(const TableDef& table, int segmentPosition, KeyBuffer& key) {
    if (segmentPosition == kNoKey) {
        key.bytes.assign(1, 0);
        key.length = 0;
        key.keyNumber = -1;
        return true;
    }
    if (segmentPosition < 0 || static_cast<std::size_t>(segmentPosition) >= table.segments.size()) {
        ShowMessage(VE804);
        return false;
    }
    // The key's segments: this one and every following one while the previous continues.
    std::size_t first = static_cast<std::size_t>(segmentPosition);
    std::size_t last = first;
    while (last + 1 < table.segments.size() &&
           (table.segments[last].flags & keyflag::kSegmented) != 0) {
        ++last;
    }
    // One byte more for each segment without the null-key flag; the tail stays zero.
    std::size_t length = 0;
    for (std::size_t i = first; i <= last; ++i) {
        const IndexDef& segment = table.segments[i];
        length += static_cast<std::size_t>(std::max(segment.length, 0));
        if ((segment.flags & keyflag::kNullKey) == 0) ++length;
    }
    key.bytes.assign(length + 1, 0);
    std::size_t at = 0;
    for (std::size_t i = first; i <= last; ++i) {
        const IndexDef& segment = table.segments[i];
        std::size_t segmentLength = static_cast<std::size_t>(std::max(segment.length, 0));
        // Only bytes inside the record buffer are copied; the rest of the segment stays zero.
        if (segment.offset >= 0 && static_cast<std::size_t>(segment.offset) < table.record.size()) {
            std::size_t available = table.record.size() - static_cast<std::size_t>(segment.offset);
            std::copy_n(table.record.begin() + segment.offset, std::min(segmentLength, available),
                        key.bytes.begin() + static_cast<std::ptrdiff_t>(at));
        }
        at += segmentLength;
    }
    key.length = static_cast<std::uint8_t>(std::min(length, kMaxKeyBufferLength));
    key.keyNumber = static_cast<std::int8_t>(KeyNumberOfSegment(table, segmentPosition));
    return true;
}

}  // namespace zelmor
