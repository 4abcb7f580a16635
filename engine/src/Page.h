// One cached page of a table file.
#pragma once

#include <cstdint>

namespace zelmor::engine {

struct Page {
    std::uint32_t number = 0;
    bool dirty = false;
    bool referenced = false;
    // Set by a tree once it has checked the page's structure, so that it checks it once.
    bool checked = false;
    // Unchanged cached pages are kept in a list, oldest first, for eviction.
    bool inCleanList = false;
    Page* previousClean = nullptr;
    Page* nextClean = nullptr;
    std::uint8_t* buffer = nullptr;  // kPageSize bytes owned by the pager
    std::uint8_t* data() { return buffer; }
};

}  // namespace zelmor::engine
