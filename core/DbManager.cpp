#include "core/DbManager.h"

#include "platform/Platform.h"
#include "values/GlobalOptions.h"

namespace zelmor {

DbManager::DbManager(platform::Platform& platform) {
    // Stored in their widths: the low 8 and 16 bits of what the file says.
    nullKeyValue_ = static_cast<std::uint8_t>(
        platform.ReadProfileInt(kProfileFile, kProfileSection, "null_key", 0));
    fileFlags_ = static_cast<std::uint16_t>(
        platform.ReadProfileInt(kProfileFile, kProfileSection, "file_flag", 130));
}

bool DbManager::SetLockBias(int bias) {
    if (bias != 0 && bias != 100 && bias != 200 && bias != 300 && bias != 400) return false;
    lockBias_ = static_cast<std::int16_t>(bias);
    return true;
}

bool DbManager::SetExtendedMode(const std::string& mode) {
    if (mode.size() != 2) return false;
    extendedMode_[0] = mode[0];
    extendedMode_[1] = mode[1];
    return true;
}

DbManager& TheDbManager() {
    static DbManager manager(platform::CurrentPlatform());
    return manager;
}

}  // namespace zelmor
