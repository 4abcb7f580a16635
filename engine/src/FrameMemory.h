// Memory for cached pages, taken in large aligned blocks: a lookup touches pages spread over
// the whole cache, and pages that share a large memory page (where the system offers them)
// spare the processor most of its address-translation misses.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zelmor::engine {

class FrameMemory {
public:
    // The size of a large memory page on the usual processors.
    static constexpr std::size_t kLargeBlock = std::size_t{2} << 20;

    // `size` bytes aligned on `size` (a power of two); blocks of kLargeBlock are offered to the
    // system's large pages. Throws std::bad_alloc when memory is short, as `new` does.
    explicit FrameMemory(std::size_t size);
    ~FrameMemory();
    FrameMemory(const FrameMemory&) = delete;
    FrameMemory& operator=(const FrameMemory&) = delete;

    std::uint8_t* data() { return data_; }

private:
    std::uint8_t* data_ = nullptr;
};

}  // namespace zelmor::engine
