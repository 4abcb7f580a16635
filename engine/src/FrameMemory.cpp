#include "engine/src/FrameMemory.h"

#include <cstdlib>
#include <new>

#ifdef _WIN32
#include <malloc.h>
#else
#include <sys/mman.h>
#endif

namespace zelmor::engine {

FrameMemory::FrameMemory(std::size_t size) {
#ifdef _WIN32
    data_ = static_cast<std::uint8_t*>(_aligned_malloc(size, size));
#else
    data_ = static_cast<std::uint8_t*>(std::aligned_alloc(size, size));
#ifdef MADV_HUGEPAGE
    // Only advice: where the system has no large pages the block works as it is.
    if (data_ != nullptr && size == kLargeBlock) madvise(data_, size, MADV_HUGEPAGE);
#endif
#endif
    if (data_ == nullptr) throw std::bad_alloc();
}

FrameMemory::~FrameMemory() {
#ifdef _WIN32
    _aligned_free(data_);
#else
    std::free(data_);
#endif
}

}  // namespace zelmor::engine
