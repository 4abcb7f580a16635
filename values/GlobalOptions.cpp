#include "values/GlobalOptions.h"

#include "messages/Messages.h"
#include "platform/Platform.h"

namespace zelmor {

namespace {

std::string AsciiCase(std::string text, bool upper) {
    for (char& c : text) {
        if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

}  // namespace

GlobalOptions::GlobalOptions(platform::Platform& platform) {
    auto readInt = [&](const char* key, int defaultValue) {
        return platform.ReadProfileInt(kProfileFile, kProfileSection, key, defaultValue);
    };

    std::string fillSpace =
        platform.ReadProfileString(kProfileFile, kProfileSection, "fill_space", "yes", 256);
    blankFill_ = AsciiCase(fillSpace, false) == "no" ? 0 : 1;

    std::string shortDate =
        platform.ReadProfileString(kProfileFile, kProfileSection, "sShortDate", "", 32);
    if (shortDate.empty()) {
        shortDate = platform.ReadProfileString("win.ini", "intl", "sShortDate", "", 32);
    }
    if (AsciiCase(shortDate, true) == "YY/MM/DD") {
        dateMode_ = DateMode::TwoDigitYears;
        datePattern_ = "%02d/%02d/%02d";
    } else {
        dateMode_ = DateMode::FourDigitYears;
        datePattern_ = "%04d/%02d/%02d";
    }

    floatSize_ = readInt("float_size", 10);
    formMode_ = static_cast<std::int16_t>(readInt("form_mode", 3));
    fixStrAddr_ = readInt("fix_str_addr", 0);
    year2000_ = readInt("year_2000", 0);
    signNibble_ = readInt("sign_nibble", 15);
    if (signNibble_ != 15 && signNibble_ != 12) ShowMessageOn(platform, VE823);
    delayedResolve_ = readInt("delayed_resolve", 0);
}

namespace {
GlobalOptions* g_installed = nullptr;
}

GlobalOptions& Options() {
    if (g_installed != nullptr) return *g_installed;
    static GlobalOptions process(platform::CurrentPlatform());
    return process;
}

GlobalOptions* InstallOptions(GlobalOptions* replacement) {
    GlobalOptions* previous = g_installed;
    g_installed = replacement;
    return previous;
}

GridLimits ReadGridLimits(platform::Platform& platform) {
    GridLimits limits;
    limits.maxColumns = platform.ReadProfileInt(kProfileFile, kProfileSection, "grid_max_col", 64);
    limits.maxRows = platform.ReadProfileInt(kProfileFile, kProfileSection, "grid_max_row", 1024);
    return limits;
}

}  // namespace zelmor
