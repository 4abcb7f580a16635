// A progress bar on standard error, drawn only when it is a terminal and the work is large.
#pragma once

#include <cstddef>

namespace zelmor::tools {

class Progress {
public:
    // `total` may be 0 when unknown; nothing is drawn for fewer than a few thousand items.
    Progress(const char* label, std::size_t total);
    ~Progress();
    void Step(std::size_t done);

private:
    const char* label_;
    std::size_t total_;
    bool visible_;
    std::size_t lastDrawn_ = 0;
};

}  // namespace zelmor::tools
