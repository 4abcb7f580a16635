// The bitmap and metafile readers against whole files, cut files and files whose headers lie,
// and a run of randomly damaged files: none may be read past its end (the sanitizers watch).
#include <gtest/gtest.h>

#include <random>

#include "controls/ImageFiles.h"

using namespace zelmor;

namespace {

void Put16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    Put16(bytes, at, value & 0xFFFF);
    Put16(bytes, at + 2, value >> 16);
}

// A bitmap file with a 40-byte header, `colours` palette entries and pixel bytes 0, 1, 2...
std::vector<std::uint8_t> Bitmap(std::int32_t width, std::int32_t height, std::uint16_t bits,
                                 std::uint32_t colours) {
    const std::size_t stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
    const std::size_t rows = static_cast<std::size_t>(height < 0 ? -height : height);
    const std::size_t pixelsAt = 14 + 40 + 4 * std::size_t{colours};
    std::vector<std::uint8_t> file(pixelsAt + stride * rows, 0);
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, 2, static_cast<std::uint32_t>(file.size()));
    Put32(file, 10, static_cast<std::uint32_t>(pixelsAt));
    Put32(file, 14, 40);
    Put32(file, 18, static_cast<std::uint32_t>(width));
    Put32(file, 22, static_cast<std::uint32_t>(height));
    Put16(file, 26, 1);
    Put16(file, 28, bits);
    Put32(file, 46, colours);
    for (std::uint32_t i = 0; i < colours; ++i) Put32(file, 54 + 4 * i, i * 0x010101);
    for (std::size_t i = pixelsAt; i < file.size(); ++i) file[i] = static_cast<std::uint8_t>(i);
    return file;
}

// A standard metafile of `words` 16-bit words (header included), optionally placeable.
std::vector<std::uint8_t> Metafile(std::uint32_t words, bool placeable) {
    std::vector<std::uint8_t> file(placeable ? 22 : 0, 0);
    if (placeable) Put32(file, 0, 0x9AC6CDD7);
    const std::size_t at = file.size();
    file.resize(at + 2 * std::size_t{words}, 0);
    Put16(file, at, 1);       // in memory
    Put16(file, at + 2, 9);   // header words
    Put32(file, at + 6, words);
    return file;
}

}  // namespace

TEST(ImageFiles, KindByEnding) {
    struct Case {
        const char* name;
        ImageKind kind;
    } cases[] = {{"pen.bmp", ImageKind::Bitmap}, {"PEN.BMP", ImageKind::Bitmap},
                 {"a.ico", ImageKind::Icon},     {"map.Wmf", ImageKind::Metafile},
                 {"x.bm", ImageKind::Bitmap},    // shorter than 5: a bitmap
                 {"photo.jpg", ImageKind::None}, {"readme", ImageKind::None}};
    for (const Case& c : cases) EXPECT_EQ(ImageKindOf(c.name), c.kind) << c.name;
}

TEST(ImageFiles, ReadsWholeBitmaps) {
    Dib dib;
    ASSERT_TRUE(ReadDib(Bitmap(3, 2, 24, 0), dib));
    EXPECT_EQ(dib.width, 3);
    EXPECT_EQ(dib.height, 2);
    EXPECT_FALSE(dib.topDown);
    EXPECT_EQ(dib.Stride(), 12u);
    EXPECT_EQ(dib.bits.size(), 24u);
    EXPECT_EQ(dib.bits[0], 54);  // the first pixel byte of the file

    std::vector<std::uint8_t> topDown = Bitmap(5, -4, 8, 256);
    Put32(topDown, 46, 0);  // no count given: the whole table of 8 bits
    ASSERT_TRUE(ReadDib(topDown, dib));
    EXPECT_TRUE(dib.topDown);
    EXPECT_EQ(dib.height, 4);
    ASSERT_EQ(dib.colours.size(), 256u);
    EXPECT_EQ(dib.colours[2], 0x020202u);

    ASSERT_TRUE(ReadDib(Bitmap(9, 1, 1, 2), dib));  // 2 colours given
    EXPECT_EQ(dib.colours.size(), 2u);
    EXPECT_EQ(dib.Stride(), 4u);
}

TEST(ImageFiles, RefusesBitmapsWhoseHeadersLie) {
    struct Case {
        const char* what;
        std::size_t at;
        std::uint32_t value;
        bool wide;
    } cases[] = {
        {"pixels past the end", 10, 5000, true},
        {"pixels inside the header", 10, 20, true},
        {"unknown header size", 14, 41, true},
        {"header larger than the file", 14, 124, true},
        {"zero width", 18, 0, true},
        {"negative width", 18, 0xFFFFFFF0, true},
        {"more rows than the file has", 22, 3, true},
        {"huge size", 18, 0x7FFFFFFF, true},
        {"two planes", 26, 2, false},
        {"7 bits per pixel", 28, 7, false},
        {"run-length compressed", 30, 1, true},
        {"more colours than 8 bits hold", 46, 257, true},
        {"colours running into the pixels", 46, 255, true},
    };
    const std::vector<std::uint8_t> good = Bitmap(4, 2, 8, 16);
    Dib dib;
    ASSERT_TRUE(ReadDib(good, dib));
    for (const Case& c : cases) {
        std::vector<std::uint8_t> file = good;
        c.wide ? Put32(file, c.at, c.value) : Put16(file, c.at, c.value);
        EXPECT_FALSE(ReadDib(file, dib)) << c.what;
    }
    std::vector<std::uint8_t> notBitmap = good;
    notBitmap[0] = 'X';
    EXPECT_FALSE(ReadDib(notBitmap, dib));
}

TEST(ImageFiles, RefusesEveryCutOfABitmapAndAMetafile) {
    const std::vector<std::uint8_t> bitmap = Bitmap(7, 3, 4, 16);
    Dib dib;
    for (std::size_t size = 0; size < bitmap.size(); ++size) {
        std::vector<std::uint8_t> cut(bitmap.begin(), bitmap.begin() + static_cast<long>(size));
        EXPECT_FALSE(ReadDib(cut, dib)) << size;
    }
    for (bool placeable : {false, true}) {
        const std::vector<std::uint8_t> metafile = Metafile(40, placeable);
        std::vector<std::uint8_t> bits;
        for (std::size_t size = 0; size < metafile.size(); ++size) {
            std::vector<std::uint8_t> cut(metafile.begin(),
                                          metafile.begin() + static_cast<long>(size));
            MetafileError expected = placeable && size >= 4 ? MetafileError::ShortPlaceable
                                                            : MetafileError::Unreadable;
            EXPECT_EQ(ReadMetafile(cut, bits), expected) << size;
        }
    }
}

TEST(ImageFiles, ReadsMetafilesWholeWithoutThePlaceableHeader) {
    std::vector<std::uint8_t> bits;
    // Larger than 32767 words: the whole stated size counts, not its low 15 bits.
    for (std::uint32_t words : {9u, 40u, 40000u}) {
        ASSERT_EQ(ReadMetafile(Metafile(words, true), bits), MetafileError::None) << words;
        EXPECT_EQ(bits.size(), 2u * words);
        EXPECT_EQ(bits[0], 1);
        ASSERT_EQ(ReadMetafile(Metafile(words, false), bits), MetafileError::None) << words;
        EXPECT_EQ(bits.size(), 2u * words);
    }
    std::vector<std::uint8_t> file = Metafile(40, false);
    file.resize(200);  // more bytes than the header states: only the metafile is taken
    ASSERT_EQ(ReadMetafile(file, bits), MetafileError::None);
    EXPECT_EQ(bits.size(), 80u);
    Put32(file, 6, 0x80000000);  // states more than the file holds
    EXPECT_EQ(ReadMetafile(file, bits), MetafileError::Unreadable);
}

// Random damage to whole files: whatever the readers say, they stay inside the file and what
// they give back is consistent with what they read.
TEST(ImageFiles, DamagedFilesNeverReadPastTheirEnd) {
    std::mt19937 random(20261206);
    const std::vector<std::vector<std::uint8_t>> originals = {
        Bitmap(6, 5, 24, 0), Bitmap(3, -3, 8, 4), Bitmap(17, 2, 1, 0), Bitmap(2, 2, 32, 0),
        Metafile(30, true),  Metafile(30, false)};
    int readBitmaps = 0;
    for (int round = 0; round < 20000; ++round) {
        std::vector<std::uint8_t> file = originals[round % originals.size()];
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < changes; ++i) {
            file[random() % file.size()] = static_cast<std::uint8_t>(random());
        }
        if (random() % 4 == 0) file.resize(random() % (file.size() + 1));
        Dib dib;
        if (ReadDib(file, dib)) {
            ++readBitmaps;
            EXPECT_EQ(dib.bits.size(), dib.Stride() * static_cast<std::size_t>(dib.height));
            EXPECT_LE(dib.colours.size(), 256u);
        }
        std::vector<std::uint8_t> bits;
        if (ReadMetafile(file, bits) == MetafileError::None) {
            EXPECT_LE(bits.size(), file.size());
        }
    }
    EXPECT_GT(readBitmaps, 0);  // the damage left some files whole enough to read
}
