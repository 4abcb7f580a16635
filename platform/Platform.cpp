#include "platform/Platform.h"

#include <cctype>
#include <climits>

namespace zelmor::platform {

int Platform::ReadProfileInt(const std::string& fileName, const std::string& section,
                             const std::string& key, int defaultValue) {
    return ParseProfileInt(ReadProfileString(fileName, section, key, "", 32), defaultValue);
}

int ParseProfileInt(const std::string& value, int defaultValue) {
    std::size_t i = 0;
    while (i < value.size() && (value[i] == ' ' || value[i] == '\t')) ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '-' || value[i] == '+')) {
        negative = value[i] == '-';
        ++i;
    }
    if (i >= value.size() || !std::isdigit(static_cast<unsigned char>(value[i]))) {
        return defaultValue;
    }
    // Accumulate in 32 bits unsigned, wrapping as the Win32 routine does for long numbers.
    std::uint32_t result = 0;
    for (; i < value.size() && std::isdigit(static_cast<unsigned char>(value[i])); ++i) {
        result = result * 10u + static_cast<std::uint32_t>(value[i] - '0');
    }
    if (negative) result = 0u - result;
    return static_cast<int>(result);
}

namespace {
Platform* g_replacement = nullptr;
}

Platform& CurrentPlatform() {
    return g_replacement != nullptr ? *g_replacement : NativePlatform();
}

Platform* SetCurrentPlatform(Platform* replacement) {
    Platform* previous = g_replacement;
    g_replacement = replacement;
    return previous;
}

}  // namespace zelmor::platform
