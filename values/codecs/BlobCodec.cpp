// Blob: an 8-byte descriptor in the record's fixed part (the value's length, then its offset from
// the start of the record buffer, both unsigned 32-bit) and the value's bytes after the fixed
// part, where the values of all Blob fields of the record lie one after another.
#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "messages/Messages.h"
#include "values/FieldCodecs.h"
#include "values/codecs/CodecFamilies.h"

namespace zelmor {

namespace codecs {

std::string BlobToText(const FieldDef&, ValueView descriptor) {
    const std::uint64_t length = ReadLittleEndian(descriptor.data, 4);
    const std::uint64_t offset = ReadLittleEndian(descriptor.data + 4, 4);
    if (offset > descriptor.recordSize || length > descriptor.recordSize - offset) return {};
    return std::string(reinterpret_cast<const char*>(descriptor.record + offset),
                       static_cast<std::size_t>(length));
}

}  // namespace codecs

namespace {

constexpr std::size_t kDescriptorSize = 8;

struct BlobDescriptor {
    std::size_t length;
    std::size_t offset;
};

BlobDescriptor ReadDescriptor(const std::vector<std::uint8_t>& buffer, std::size_t at) {
    // 32-bit words: they fit a size_t on every target.
    return {static_cast<std::size_t>(codecs::ReadLittleEndian(buffer.data() + at, 4)),
            static_cast<std::size_t>(codecs::ReadLittleEndian(buffer.data() + at + 4, 4))};
}

void WriteDescriptor(std::vector<std::uint8_t>& buffer, std::size_t at, BlobDescriptor value) {
    codecs::WriteLittleEndian(buffer.data() + at, 4, value.length);
    codecs::WriteLittleEndian(buffer.data() + at + 4, 4, value.offset);
}

// The places of the Blob descriptors before `end`, found by walking the record field by field:
// a null-indicator byte before each nullable field, then the value's stored size.
std::vector<std::size_t> BlobDescriptorsBefore(const BlobRecord& table, std::size_t end) {
    std::vector<std::size_t> places;
    std::size_t position = 0;
    for (const FieldDef& field : table.fields) {
        if (field.IsNullable()) ++position;
        if (position >= end) break;
        if (field.dataType == kBlob && position + kDescriptorSize <= end)
            places.push_back(position);
        position += StoredFieldSize(field, table.buffer.data(), table.buffer.size(), position);
    }
    return places;
}

int CannotEnlarge(std::size_t requested) {
    ShowMessage(VE001, "PlaceBlobText",
                static_cast<int>(std::min<std::size_t>(requested, INT_MAX)));
    return -1;
}

}  // namespace

int PlaceBlobText(BlobRecord& table, std::string_view text, const FieldDef& field,
                  std::size_t descriptorOffset, std::size_t& endOfData) {
    std::vector<std::uint8_t>& buffer = table.buffer;
    text = text.substr(0, text.find('\0'));
    if (field.dataType != kBlob || descriptorOffset > buffer.size() ||
        buffer.size() - descriptorOffset < kDescriptorSize) {
        return -1;
    }
    BlobDescriptor old = ReadDescriptor(buffer, descriptorOffset);
    const bool firstPlacement = old.length == 0 && old.offset == 0;
    const std::size_t start = firstPlacement ? endOfData : old.offset;
    // The data must lie inside the buffer and after the fixed part and the descriptor, which it
    // would overwrite.
    if (start > buffer.size() || old.length > buffer.size() - start ||
        start < std::max(table.fixedLength, descriptorOffset + kDescriptorSize)) {
        return -1;
    }
    const std::size_t length = text.size();
    if (length > INT_MAX) return CannotEnlarge(length);  // the length is returned as an int
    if (length == old.length) {
        std::copy(text.begin(), text.end(), buffer.begin() + static_cast<std::ptrdiff_t>(start));
        return static_cast<int>(length);
    }

    const std::size_t oldSize = buffer.size();
    const std::size_t oldEnd = start + old.length;
    if (length > old.length) {
        const std::size_t growth = length - old.length;
        const std::size_t limit = std::min(table.maxBufferSize, kMaxBlobRecordSize);
        if (growth > limit || oldSize > limit - growth) {
            return CannotEnlarge(oldSize + std::min(growth, SIZE_MAX - oldSize));
        }
        try {
            buffer.resize(oldSize + growth);
        } catch (const std::bad_alloc&) {
            return CannotEnlarge(oldSize + growth);
        }
    }
    // Everything after the old value (the data of the Blobs placed after it) moves by the
    // change in length, and their descriptors follow.
    std::vector<std::size_t> others = BlobDescriptorsBefore(table, start);
    std::memmove(buffer.data() + start + length, buffer.data() + oldEnd, oldSize - oldEnd);
    for (std::size_t place : others) {
        if (place == descriptorOffset) continue;
        BlobDescriptor other = ReadDescriptor(buffer, place);
        // The data from the old value's end on moved, including a value that starts where an
        // empty one ends. A value that overlaps this one is damaged already and stays.
        if (other.offset < oldEnd) continue;
        other.offset = other.offset + length - old.length;
        WriteDescriptor(buffer, place, other);
    }
    if (length < old.length) buffer.resize(oldSize - (old.length - length));
    std::copy(text.begin(), text.end(), buffer.begin() + static_cast<std::ptrdiff_t>(start));
    WriteDescriptor(buffer, descriptorOffset, {length, start});
    if (endOfData >= oldEnd) endOfData = endOfData + length - old.length;
    return static_cast<int>(length);
}

}  // namespace zelmor
