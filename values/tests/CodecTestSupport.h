// Options and record buffers for the field codec tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/RecordingPlatform.h"
#include "values/FieldCodecs.h"
#include "values/GlobalOptions.h"

namespace zelmor::testing {

using Bytes = std::vector<std::uint8_t>;

// Options read from `settings` (lines of section "zelmor320"), in place while the object lives,
// with a recording platform that keeps the messages shown.
class CodecOptions {
  public:
    explicit CodecOptions(const std::string& settings = "")
        : currentPlatform_(platform),
          options_(Configure(platform, settings)),
          currentOptions_(options_) {}

    platform::RecordingPlatform platform;

  private:
    static platform::RecordingPlatform& Configure(platform::RecordingPlatform& recording,
                                                  const std::string& settings) {
        recording.SetProfile("zelmor.ini", "[zelmor320]\n" + settings);
        recording.SetProfile("win.ini", "");
        return recording;
    }

    platform::ScopedPlatform currentPlatform_;
    GlobalOptions options_;
    ScopedOptions currentOptions_;
};

inline FieldDef Field(std::int32_t type, std::int32_t size, std::int32_t decimals = 0) {
    FieldDef field;
    field.dataType = type;
    field.size = size;
    field.decimals = decimals;
    return field;
}

inline Bytes BytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

inline std::string Hex(const Bytes& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t b : bytes) {
        if (!text.empty()) text += ' ';
        text += digits[b >> 4];
        text += digits[b & 0x0F];
    }
    return text;
}

// `value` at offset 3 of a record with 3 bytes of 0xEE on either side.
inline Bytes InRecord(const Bytes& value) {
    Bytes record(value.size() + 6, 0xEE);
    std::copy(value.begin(), value.end(), record.begin() + 3);
    return record;
}

// The value's text, read from `value` placed inside a larger record.
inline std::string Read(const FieldDef& field, const Bytes& value) {
    Bytes record = InRecord(value);
    return FieldToText(field, record.data(), record.size(), 3);
}

// The value bytes `text` stores, starting from `initial` (`width` bytes of 0xAA when empty). The
// bytes around the value must stay as they were.
inline Bytes Store(const FieldDef& field, const std::string& text, std::size_t width,
                   Bytes initial = {}) {
    if (initial.empty()) initial.assign(width, 0xAA);
    Bytes record = InRecord(initial);
    EXPECT_EQ(TextToField(field, record.data(), record.size(), 3, text), 0);
    EXPECT_EQ(Hex(Bytes(record.begin(), record.begin() + 3)), "EE EE EE") << text;
    EXPECT_EQ(Hex(Bytes(record.end() - 3, record.end())), "EE EE EE") << text;
    return Bytes(record.begin() + 3, record.end() - 3);
}

}  // namespace zelmor::testing
