#include "tools/zeldict/Progress.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace zelmor::tools {

namespace {
constexpr std::size_t kMinimumShown = 5000;
constexpr std::size_t kRedrawEvery = 1000;
constexpr int kWidth = 40;
}  // namespace

Progress::Progress(const char* label, std::size_t total)
    : label_(label), total_(total),
      visible_(isatty(fileno(stderr)) != 0 && (total == 0 || total >= kMinimumShown)) {}

Progress::~Progress() {
    if (visible_ && lastDrawn_ > 0) std::fprintf(stderr, "\n");
}

void Progress::Step(std::size_t done) {
    if (!visible_ || done - lastDrawn_ < kRedrawEvery) return;
    lastDrawn_ = done;
    if (total_ == 0) {
        std::fprintf(stderr, "\r%s %zu", label_, done);
        return;
    }
    int filled = static_cast<int>(kWidth * (done > total_ ? total_ : done) / total_);
    std::fprintf(stderr, "\r%s [%.*s%*s] %zu/%zu", label_, filled,
                 "########################################", kWidth - filled, "", done, total_);
}

}  // namespace zelmor::tools
