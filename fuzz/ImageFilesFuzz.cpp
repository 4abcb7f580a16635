// libFuzzer target: any bytes as a bitmap file and as a metafile. Built and run by
// scripts/fuzz.sh under AddressSanitizer and UndefinedBehaviorSanitizer; a read past the file, a
// crash or a result inconsistent with the file stops it.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "controls/ImageFiles.h"

using namespace zelmor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> file(data, data + size);
    Dib dib;
    if (ReadDib(file, dib)) {
        const std::size_t rows = static_cast<std::size_t>(dib.height);
        if (dib.width <= 0 || rows == 0 || dib.bits.size() != dib.Stride() * rows ||
            dib.bits.size() > size || dib.colours.size() > 256) {
            std::abort();
        }
    }
    std::vector<std::uint8_t> bits;
    if (ReadMetafile(file, bits) == MetafileError::None && (bits.size() > size || bits.size() < 18)) {
        std::abort();
    }
    return 0;
}
