#include "controls/ImageFiles.h"

#include <cctype>

namespace zelmor {

namespace {

std::uint32_t U16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t U32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::int32_t I32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::int32_t>(U32(bytes, at));
}

constexpr std::size_t kFileHeader = 14;
constexpr std::size_t kCoreHeader = 12;  // the old OS/2 header: 16-bit sizes, 3-byte colours
constexpr std::size_t kInfoHeader = 40;
constexpr std::uint32_t kPlainRgb = 0;
constexpr std::uint32_t kBitFields = 3;

bool KnownHeaderSize(std::uint32_t size) {
    return size == kCoreHeader || size == kInfoHeader || size == 52 || size == 56 ||
           size == 108 || size == 124;
}

bool KnownBitCount(std::uint32_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableHeader = 22;
constexpr std::size_t kMetaHeader = 18;

// A metafile header at `at` that describes a metafile lying wholly in the file.
bool MetafileAt(const std::vector<std::uint8_t>& file, std::size_t at, std::uint64_t& bytes) {
    if (file.size() < at + kMetaHeader) return false;
    const std::uint32_t type = U16(file, at);
    const std::uint32_t headerWords = U16(file, at + 2);
    bytes = std::uint64_t{U32(file, at + 6)} * 2;
    return (type == 1 || type == 2) && headerWords == kMetaHeader / 2 && bytes >= kMetaHeader &&
           bytes <= file.size() - at;
}

}  // namespace

ImageKind ImageKindOf(const std::string& fileName) {
    if (fileName.size() < 5) return ImageKind::Bitmap;
    std::string ending = fileName.substr(fileName.size() - 4);
    for (char& c : ending) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (ending == ".WMF") return ImageKind::Metafile;
    if (ending == ".ICO") return ImageKind::Icon;
    if (ending == ".BMP") return ImageKind::Bitmap;
    return ImageKind::None;
}

std::size_t Dib::Stride() const {
    return ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
}

bool ReadDib(const std::vector<std::uint8_t>& file, Dib& dib) {
    dib = Dib();
    if (file.size() < kFileHeader + 4 || file[0] != 'B' || file[1] != 'M') return false;
    const std::uint64_t pixelsAt = U32(file, 10);
    const std::uint32_t headerSize = U32(file, kFileHeader);
    if (!KnownHeaderSize(headerSize) || file.size() < kFileHeader + headerSize) return false;
    // Everything before the pixels (headers, masks, colours) lies inside the file from here on.
    if (pixelsAt > file.size()) return false;
    const std::size_t h = kFileHeader;
    const bool core = headerSize == kCoreHeader;
    std::int64_t width, height;
    std::uint32_t planes, colourCount = 0;
    if (core) {
        width = U16(file, h + 4);
        height = U16(file, h + 6);
        planes = U16(file, h + 8);
        dib.bitCount = static_cast<std::uint16_t>(U16(file, h + 10));
    } else {
        width = I32(file, h + 4);
        height = I32(file, h + 8);
        planes = U16(file, h + 12);
        dib.bitCount = static_cast<std::uint16_t>(U16(file, h + 14));
        dib.compression = U32(file, h + 16);
        colourCount = U32(file, h + 32);
    }
    if (planes != 1 || !KnownBitCount(dib.bitCount) || width <= 0 || height == 0) return false;
    if (dib.compression != kPlainRgb &&
        !(dib.compression == kBitFields && (dib.bitCount == 16 || dib.bitCount == 32))) {
        return false;
    }
    dib.topDown = height < 0;
    const std::int64_t rows = height < 0 ? -height : height;
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(rows) > kMaxImagePixels) {
        return false;
    }
    dib.width = static_cast<std::int32_t>(width);
    dib.height = static_cast<std::int32_t>(rows);

    std::size_t at = kFileHeader + headerSize;
    if (dib.compression == kBitFields) {
        // The masks follow a 40-byte header; the larger headers hold them inside.
        const std::size_t masksAt = headerSize == kInfoHeader ? at : h + kInfoHeader;
        if (file.size() < masksAt + 12) return false;
        for (std::size_t i = 0; i < 3; ++i) dib.masks[i] = U32(file, masksAt + 4 * i);
        if (dib.masks[0] == 0 || dib.masks[1] == 0 || dib.masks[2] == 0) return false;
        if (headerSize == kInfoHeader) at += 12;
    }
    if (dib.bitCount <= 8) {
        const std::uint32_t most = 1u << dib.bitCount;
        if (colourCount == 0) colourCount = most;
        if (colourCount > most) return false;
        const std::size_t entry = core ? 3 : 4;
        if (at + std::uint64_t{colourCount} * entry > pixelsAt) return false;
        for (std::uint32_t i = 0; i < colourCount; ++i, at += entry) {
            dib.colours.push_back(static_cast<std::uint32_t>(file[at]) |
                                  static_cast<std::uint32_t>(file[at + 1]) << 8 |
                                  static_cast<std::uint32_t>(file[at + 2]) << 16);
        }
    }
    if (pixelsAt < at) return false;
    const std::uint64_t size = std::uint64_t{dib.Stride()} * static_cast<std::uint64_t>(rows);
    if (size > file.size() - pixelsAt) return false;
    dib.bits.assign(file.begin() + static_cast<std::ptrdiff_t>(pixelsAt),
                    file.begin() + static_cast<std::ptrdiff_t>(pixelsAt + size));
    return true;
}

// The whole size the header states is used, checked against the file, so that a large metafile
// is neither cut nor read past its end.
MetafileError ReadMetafile(const std::vector<std::uint8_t>& file, std::vector<std::uint8_t>& bits) {
    bits.clear();
    if (file.size() < 4) return MetafileError::Unreadable;
    std::uint64_t bytes = 0;
    std::size_t at = 0;
    if (U32(file, 0) == kPlaceableKey) {
        at = kPlaceableHeader;
        if (!MetafileAt(file, at, bytes)) return MetafileError::ShortPlaceable;
    } else if (!MetafileAt(file, at, bytes)) {
        return MetafileError::Unreadable;
    }
    bits.assign(file.begin() + static_cast<std::ptrdiff_t>(at),
                file.begin() + static_cast<std::ptrdiff_t>(at + bytes));
    return MetafileError::None;
}

}  // namespace zelmor
