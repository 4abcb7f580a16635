// The process-wide database manager: the settings that every table file and record operation of
// the process shares.
#pragma once

#include <cstdint>
#include <string>

namespace zelmor::platform {
class Platform;
}

namespace zelmor {

class DbManager {
public:
    // Reads "null_key" and then "file_flag" from "zelmor.ini".
    explicit DbManager(platform::Platform& platform);

    // Null value byte of every key segment of a newly created table file.
    std::uint8_t NullKeyValue() const { return nullKeyValue_; }
    // File flags of a newly created table file.
    std::uint16_t FileFlags() const { return fileFlags_; }

    // Added to reading and positioning operations: 0, 100, 200, 300 or 400.
    std::int16_t LockBias() const { return lockBias_; }
    // Refuses any other value (false) and keeps the previous bias.
    bool SetLockBias(int bias);

    // The two mode characters of every extended-operation request ("UC" at start).
    const char* ExtendedMode() const { return extendedMode_; }
    // Takes exactly two characters; false for any other length.
    bool SetExtendedMode(const std::string& mode);

private:
    std::uint8_t nullKeyValue_ = 0;
    std::uint16_t fileFlags_ = 130;
    std::int16_t lockBias_ = 0;
    char extendedMode_[3] = {'U', 'C', '\0'};
};

// The process-wide manager, built from the current platform on first use.
DbManager& TheDbManager();

}  // namespace zelmor
