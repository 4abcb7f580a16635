#include <gtest/gtest.h>

#include "messages/Messages.h"
#include "values/tests/CodecTestSupport.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

// A record of a nullable Integer (null byte at 0, value at 1), Blob A (descriptor at 5), a
// String of 3 (at 13) and Blob B (descriptor at 16): a fixed part of 24 bytes.
class BlobTable : public ::testing::Test {
  protected:
    static constexpr std::size_t kA = 5;
    static constexpr std::size_t kB = 16;
    static constexpr std::size_t kFixedPart = 24;

    BlobTable() {
        FieldDef number = Field(kInteger, 4);
        number.flags = kFieldNullable;
        fields = {number, Field(kBlob, 8), Field(kString, 3), Field(kBlob, 8)};
        buffer.assign(kFixedPart, 0);
        buffer[13] = 'S';
    }

    int Place(std::size_t descriptor, const std::string& text) {
        return PlaceBlobText(table, text, fields[descriptor == kA ? 1 : 3], descriptor, endOfData);
    }

    std::string Text(std::size_t descriptor) {
        return FieldToText(fields[1], buffer.data(), buffer.size(), descriptor);
    }

    // Length and offset in a descriptor.
    std::pair<std::uint32_t, std::uint32_t> Descriptor(std::size_t at) {
        auto word = [&](std::size_t i) {
            return std::uint32_t{buffer[i]} | std::uint32_t{buffer[i + 1]} << 8 |
                   std::uint32_t{buffer[i + 2]} << 16 | std::uint32_t{buffer[i + 3]} << 24;
        };
        return {word(at), word(at + 4)};
    }

    CodecOptions options;
    std::vector<FieldDef> fields;
    Bytes buffer;
    BlobRecord table{buffer, fields};
    std::size_t endOfData = kFixedPart;
};

TEST_F(BlobTable, FirstPlacementsGoToTheEndOfData) {
    EXPECT_EQ(Place(kA, "hello"), 5);
    EXPECT_EQ(Place(kB, "world!"), 6);
    EXPECT_EQ(Descriptor(kA), std::make_pair(5u, 24u));
    EXPECT_EQ(Descriptor(kB), std::make_pair(6u, 29u));
    EXPECT_EQ(buffer.size(), 35u);
    EXPECT_EQ(endOfData, 35u);
    EXPECT_EQ(Text(kA), "hello");
    EXPECT_EQ(Text(kB), "world!");
    EXPECT_EQ(buffer[13], 'S');
}

TEST_F(BlobTable, GrowingAndShrinkingMovesTheBlobsAfter) {
    Place(kA, "hello");
    Place(kB, "world!");
    EXPECT_EQ(Place(kA, "hello there"), 11);
    EXPECT_EQ(Descriptor(kA), std::make_pair(11u, 24u));
    EXPECT_EQ(Descriptor(kB), std::make_pair(6u, 35u));
    EXPECT_EQ(buffer.size(), 41u);
    EXPECT_EQ(endOfData, 41u);
    EXPECT_EQ(Text(kA), "hello there");
    EXPECT_EQ(Text(kB), "world!");

    EXPECT_EQ(Place(kA, "hi"), 2);
    EXPECT_EQ(Descriptor(kB), std::make_pair(6u, 26u));
    EXPECT_EQ(buffer.size(), 32u);
    EXPECT_EQ(endOfData, 32u);
    EXPECT_EQ(Text(kA), "hi");
    EXPECT_EQ(Text(kB), "world!");

    // The last Blob changes alone; the one before it stays where it is.
    EXPECT_EQ(Place(kB, "everyone"), 8);
    EXPECT_EQ(Descriptor(kA), std::make_pair(2u, 24u));
    EXPECT_EQ(Text(kA), "hi");
    EXPECT_EQ(Text(kB), "everyone");
    EXPECT_EQ(buffer.size(), 34u);

    // The same length overwrites in place.
    EXPECT_EQ(Place(kA, "yo"), 2);
    EXPECT_EQ(buffer.size(), 34u);
    EXPECT_EQ(Text(kA), "yo");
    EXPECT_EQ(Text(kB), "everyone");

    // Emptied: the data goes, the place stays.
    EXPECT_EQ(Place(kA, ""), 0);
    EXPECT_EQ(Descriptor(kA), std::make_pair(0u, 24u));
    EXPECT_EQ(Text(kB), "everyone");
    EXPECT_EQ(buffer.size(), 32u);
    // Filled again at its place, which the next Blob's data starts at too: that data moves.
    EXPECT_EQ(Place(kA, "abc"), 3);
    EXPECT_EQ(Descriptor(kA), std::make_pair(3u, 24u));
    EXPECT_EQ(Descriptor(kB), std::make_pair(8u, 27u));
    EXPECT_EQ(Text(kA), "abc");
    EXPECT_EQ(Text(kB), "everyone");
    EXPECT_TRUE(options.platform.Messages().empty());
}

TEST_F(BlobTable, BufferThatCannotGrowChangesNothing) {
    Place(kA, "hello");
    table.maxBufferSize = 30;
    const Bytes before = buffer;
    EXPECT_EQ(Place(kB, "world!"), -1);
    EXPECT_EQ(buffer, before);
    EXPECT_EQ(endOfData, 29u);
    ASSERT_EQ(options.platform.Messages().size(), 1u);
    EXPECT_EQ(options.platform.Messages()[0].text.substr(0, 5), "VE001");
    EXPECT_EQ(Place(kB, "abc"), -1);
    EXPECT_EQ(Place(kB, "a"), 1);  // 30 bytes: within the limit
}

TEST_F(BlobTable, DescriptorsOrDataOutsideTheBufferChangeNothing) {
    const Bytes before = buffer;
    EXPECT_EQ(PlaceBlobText(table, "x", fields[1], kFixedPart - 4, endOfData), -1);
    EXPECT_EQ(PlaceBlobText(table, "x", fields[1], 1000, endOfData), -1);
    EXPECT_EQ(PlaceBlobText(table, "x", fields[0], kA, endOfData), -1);  // not a Blob
    std::size_t beyond = 1000;
    EXPECT_EQ(PlaceBlobText(table, "x", fields[1], kA, beyond), -1);
    buffer[kA] = 200;  // a length past the buffer's end
    buffer[kA + 4] = 20;
    Bytes damaged = buffer;
    EXPECT_EQ(Place(kA, "x"), -1);
    EXPECT_EQ(buffer, damaged);
    EXPECT_EQ(Text(kA), "");
    buffer = before;
    buffer[kA] = 4;  // data over its own descriptor
    buffer[kA + 4] = 2;
    damaged = buffer;
    EXPECT_EQ(Place(kA, "xy"), -1);
    EXPECT_EQ(buffer, damaged);
    EXPECT_TRUE(options.platform.Messages().empty());
}

}  // namespace
