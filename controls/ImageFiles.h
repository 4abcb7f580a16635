// Reading the image files a picture box shows, before the platform makes a picture of them:
// device-independent bitmaps and (placeable or standard) metafiles. Every size a header states
// is checked against the file, so a damaged or hostile file is refused, never read past.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zelmor {

// What loader a picture field's file name asks for: by its last four characters in capitals,
// ".WMF", ".ICO" or ".BMP"; a name shorter than 5 characters is read as a bitmap.
enum class ImageKind { None, Bitmap, Icon, Metafile };
ImageKind ImageKindOf(const std::string& fileName);

// A bitmap as the file holds it: the header fields the platform needs, the colour table and
// the pixel rows (each padded to 4 bytes, bottom-up unless `topDown`).
struct Dib {
    std::int32_t width = 0;
    std::int32_t height = 0;  // positive; `topDown` says the row order
    bool topDown = false;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;   // 0 plain RGB, 3 bit fields (16 and 32 bits)
    std::uint32_t masks[3] = {0, 0, 0};  // red, green, blue for bit fields
    std::vector<std::uint32_t> colours;  // 0x00RRGGBB; up to 256 for 1, 4 and 8 bits
    std::vector<std::uint8_t> bits;
    std::size_t Stride() const;
};

// The largest picture read: more pixels than this is taken for a damaged file.
constexpr std::uint64_t kMaxImagePixels = 64u * 1024 * 1024;

// Reads a bitmap file; false for anything that is not a whole, plain (uncompressed or bit-field)
// bitmap of 1, 4, 8, 16, 24 or 32 bits per pixel.
bool ReadDib(const std::vector<std::uint8_t>& file, Dib& dib);

// Reading a metafile: the bits of the metafile itself (a placeable header removed), or why not.
enum class MetafileError { None, Unreadable, ShortPlaceable };
MetafileError ReadMetafile(const std::vector<std::uint8_t>& file, std::vector<std::uint8_t>& bits);

}  // namespace zelmor
