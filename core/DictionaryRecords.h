// The records of the dictionary files as the dictionary reader returns them (little-endian,
// names blank-padded and unterminated).
#pragma once

#include <cstdint>
#include <string>

namespace zelmor::ddf {

// The reader has no length argument: every record is read into a buffer this large, which
// holds any record of the three files.
constexpr std::size_t kRecordBufferSize = 4096;

// FILE.DDF
constexpr std::size_t kFileId = 0;         // i16
constexpr std::size_t kFileName = 2;       // char[20]
constexpr std::size_t kFileLocation = 22;  // char[64]
constexpr std::size_t kFileFlags = 86;     // u8
constexpr std::uint8_t kDictionaryFileFlag = 16;

// FIELD.DDF
constexpr std::size_t kFieldId = 0;        // i16
constexpr std::size_t kFieldFileId = 2;    // i16
constexpr std::size_t kFieldName = 4;      // char[20]
constexpr std::size_t kFieldType = 24;     // u8
constexpr std::size_t kFieldOffset = 25;   // i16
constexpr std::size_t kFieldSize = 27;     // i16
constexpr std::size_t kFieldDecimals = 29; // u8
constexpr std::size_t kFieldFlags = 30;    // u16

// INDEX.DDF
constexpr std::size_t kIndexFileId = 0;    // i16
constexpr std::size_t kIndexFieldId = 2;   // i16
constexpr std::size_t kIndexKeyNumber = 4; // i16, not used
constexpr std::size_t kIndexPart = 6;      // i16
constexpr std::size_t kIndexFlags = 8;     // i16

// File IDs 1 to 3 are the dictionary's own files.
constexpr std::int32_t kFirstUserFileId = 4;

inline std::int16_t ReadI16(const std::uint8_t* record, std::size_t offset) {
    return static_cast<std::int16_t>(record[offset] | (record[offset + 1] << 8));
}

inline std::uint16_t ReadU16(const std::uint8_t* record, std::size_t offset) {
    return static_cast<std::uint16_t>(record[offset] | (record[offset + 1] << 8));
}

// A blank-padded name: up to its first zero byte, trailing blanks removed.
inline std::string ReadName(const std::uint8_t* record, std::size_t offset, std::size_t width) {
    std::string name(reinterpret_cast<const char*>(record + offset), width);
    std::size_t zero = name.find('\0');
    if (zero != std::string::npos) name.resize(zero);
    std::size_t last = name.find_last_not_of(' ');
    name.resize(last == std::string::npos ? 0 : last + 1);
    return name;
}

}  // namespace zelmor::ddf
