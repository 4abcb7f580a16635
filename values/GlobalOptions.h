// The process-wide options read from "zelmor.ini", section "zelmor320" (and the short-date
// pattern, with its "win.ini" fallback). They are read once, when the library loads; only the
// grid limits are read again for every grid.
#pragma once

#include <cstdint>
#include <string>

namespace zelmor::platform {
class Platform;
}

namespace zelmor {

constexpr const char kProfileFile[] = "zelmor.ini";
constexpr const char kProfileSection[] = "zelmor320";

enum class DateMode : std::int16_t { FourDigitYears = 1, TwoDigitYears = 2 };

class GlobalOptions {
public:
    // Reads every option in a fixed order and reports an unsupported sign nibble (VE823) once.
    explicit GlobalOptions(platform::Platform& platform);

    // String fields written from shorter text are filled with blanks (else zero-terminated).
    bool BlankFill() const { return blankFill_ != 0; }
    DateMode GetDateMode() const { return dateMode_; }
    // printf pattern of dates in text, year first: "%04d/%02d/%02d" or "%02d/%02d/%02d".
    const std::string& DatePattern() const { return datePattern_; }
    // Two-digit years typed into Date fields mean 2000 + YY when nonzero, else 1900 + YY.
    std::int32_t Year2000() const { return year2000_; }
    // Significant digits of Float and BFloat values shown as text.
    std::int32_t FloatSize() const { return floatSize_; }
    // The sign nibble of positive Decimal and Money values (its low 8 bits are used).
    std::int32_t SignNibble() const { return signNibble_; }
    // Field text of the exported functions in one fixed buffer instead of a new string.
    std::int32_t FixStrAddr() const { return fixStrAddr_; }
    // 2: bound controls created in run mode do not look up their data source.
    std::int16_t FormMode() const { return formMode_; }
    // Tables' fields and indexes are read the first time the table is used.
    bool DelayedResolve() const { return delayedResolve_ != 0; }

    // The data control turns delayed loading off for the rest of the process when its
    // dictionary directory is assigned outside the dictionary cache.
    void ClearDelayedResolve() { delayedResolve_ = 0; }

private:
    std::int32_t blankFill_ = 1;
    DateMode dateMode_ = DateMode::FourDigitYears;
    std::string datePattern_ = "%04d/%02d/%02d";
    std::int32_t year2000_ = 0;
    std::int32_t floatSize_ = 10;
    std::int32_t signNibble_ = 15;
    std::int32_t fixStrAddr_ = 0;
    std::int16_t formMode_ = 3;
    std::int32_t delayedResolve_ = 0;
};

struct GridLimits {
    std::int32_t maxColumns;
    std::int32_t maxRows;
};

// Read afresh for every grid, so a changed file takes effect for grids created afterwards.
GridLimits ReadGridLimits(platform::Platform& platform);

// The process-wide options, read from the current platform on first use (the library reads them
// when it loads).
GlobalOptions& Options();

// Tests put other options in place of the process-wide ones (nullptr: back to those). Returns the
// options that were in place before.
GlobalOptions* InstallOptions(GlobalOptions* replacement);

class ScopedOptions {
public:
    explicit ScopedOptions(GlobalOptions& options) : previous_(InstallOptions(&options)) {}
    ~ScopedOptions() { InstallOptions(previous_); }
    ScopedOptions(const ScopedOptions&) = delete;
    ScopedOptions& operator=(const ScopedOptions&) = delete;

private:
    GlobalOptions* previous_;
};

}  // namespace zelmor
