#include "core/FileSpecification.h"

#include <string>

#include "core/Dictionary.h"
#include "core/LittleEndian.h"
#include "core/recordmanager/RecordManager.h"

namespace zelmor {

std::vector<std::uint8_t> FileSpecification(std::uint16_t recordLength, std::uint16_t pageSize,
                                            std::uint16_t fileFlags,
                                            const std::vector<KeySegmentSpec>& segments) {
    std::vector<std::uint8_t> spec(16 + 16 * segments.size(), 0);
    std::uint16_t keyCount = 0;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        std::size_t at = 16 + 16 * i;
        StoreU16(spec, at + 0, segments[i].position);
        StoreU16(spec, at + 2, segments[i].length);
        StoreU16(spec, at + 4, segments[i].flags);
        spec[at + 10] = segments[i].type;
        spec[at + 11] = segments[i].nullValue;
        if ((segments[i].flags & keyflag::kSegmented) == 0) ++keyCount;
    }
    StoreU16(spec, 0, recordLength);
    StoreU16(spec, 2, pageSize);
    StoreU16(spec, 4, keyCount);
    StoreU16(spec, 10, fileFlags);
    return spec;
}

int CreateRecordManagerFile(const std::string& path, std::vector<std::uint8_t>& specification) {
    std::vector<char> key(path.begin(), path.end());
    key.push_back('\0');
    std::uint32_t length = static_cast<std::uint32_t>(specification.size());
    std::uint8_t block[kPositionBlockSize] = {};
    return CurrentRecordManager().Call(op::kCreate, block, specification.data(), &length,
                                       key.data(), static_cast<std::uint8_t>(path.size()), 0);
}

}  // namespace zelmor
