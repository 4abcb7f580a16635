#include <gtest/gtest.h>

#include <string>

#include "platform/RecordingPlatform.h"
#include "values/GlobalOptions.h"

using namespace zelmor;
using platform::RecordingPlatform;

namespace {

struct Loaded {
    RecordingPlatform platform;
    GlobalOptions options;
    explicit Loaded(const std::string& zelmorIni, const std::string& winIni = "")
        : platform(Make(zelmorIni, winIni)), options(platform) {}

    static RecordingPlatform Make(const std::string& zelmorIni, const std::string& winIni) {
        RecordingPlatform p;
        p.SetProfile("zelmor.ini", zelmorIni);
        p.SetProfile("win.ini", winIni);
        return p;
    }
};

std::string Section(const std::string& lines) { return "[zelmor320]\n" + lines; }

}  // namespace

TEST(GlobalOptions, Defaults) {
    Loaded loaded("");
    const GlobalOptions& o = loaded.options;
    EXPECT_TRUE(o.BlankFill());
    EXPECT_EQ(o.GetDateMode(), DateMode::FourDigitYears);
    EXPECT_EQ(o.DatePattern(), "%04d/%02d/%02d");
    EXPECT_EQ(o.FloatSize(), 10);
    EXPECT_EQ(o.FormMode(), 3);
    EXPECT_EQ(o.FixStrAddr(), 0);
    EXPECT_EQ(o.Year2000(), 0);
    EXPECT_EQ(o.SignNibble(), 15);
    EXPECT_FALSE(o.DelayedResolve());
    EXPECT_TRUE(loaded.platform.Messages().empty());
}

TEST(GlobalOptions, FillSpace) {
    struct Case {
        const char* value;
        bool blankFill;
    } cases[] = {
        {"fill_space=NO", false}, {"fill_space=no", false}, {"fill_space=No", false},
        {"fill_space=\" no\"", true},  // a blank before no is kept by the quotes: stays on
        {"fill_space=", true},          {"fill_space=yes", true}, {"fill_space=nope", true},
        {"fill_space=0", true},
    };
    for (const Case& c : cases) {
        Loaded loaded(Section(c.value));
        EXPECT_EQ(loaded.options.BlankFill(), c.blankFill) << c.value;
    }
}

TEST(GlobalOptions, ShortDate) {
    struct Case {
        const char* zelmorIni;
        const char* winIni;
        DateMode mode;
    } cases[] = {
        {"sShortDate=yy/mm/dd", "[intl]\nsShortDate=yyyy/MM/dd", DateMode::TwoDigitYears},
        {"sShortDate=YY/MM/DD", "", DateMode::TwoDigitYears},
        {"sShortDate=YYYY/MM/DD", "[intl]\nsShortDate=yy/MM/dd", DateMode::FourDigitYears},
        {"", "[intl]\nsShortDate=yy/MM/dd", DateMode::TwoDigitYears},  // win.ini fallback
        {"sShortDate=", "[intl]\nsShortDate=YY/mm/DD", DateMode::TwoDigitYears},
        {"", "", DateMode::FourDigitYears},
        {"sShortDate=dd/mm/yy", "", DateMode::FourDigitYears},
        {"sShortDate=yy-mm-dd", "", DateMode::FourDigitYears},
        {"sShortDate=yy/mm/dd ", "", DateMode::TwoDigitYears},  // trailing blanks are trimmed
    };
    for (const Case& c : cases) {
        Loaded loaded(Section(c.zelmorIni), c.winIni);
        EXPECT_EQ(loaded.options.GetDateMode(), c.mode) << c.zelmorIni << " | " << c.winIni;
        EXPECT_EQ(loaded.options.DatePattern(), c.mode == DateMode::TwoDigitYears
                                                    ? "%02d/%02d/%02d"
                                                    : "%04d/%02d/%02d");
    }
}

TEST(GlobalOptions, IntegerOptions) {
    Loaded loaded(Section(
        "float_size=15\nform_mode=65538\nfix_str_addr=1\nyear_2000=1\ndelayed_resolve=7\n"
        "sign_nibble=12\n"));
    const GlobalOptions& o = loaded.options;
    EXPECT_EQ(o.FloatSize(), 15);
    EXPECT_EQ(o.FormMode(), 2);  // the low 16 bits
    EXPECT_EQ(o.FixStrAddr(), 1);
    EXPECT_EQ(o.Year2000(), 1);
    EXPECT_TRUE(o.DelayedResolve());
    EXPECT_EQ(o.SignNibble(), 12);
    EXPECT_TRUE(loaded.platform.Messages().empty());
}

TEST(GlobalOptions, NotANumberGivesTheDefault) {
    Loaded loaded(Section("float_size=many\nform_mode=\nsign_nibble=x\n"));
    EXPECT_EQ(loaded.options.FloatSize(), 10);
    EXPECT_EQ(loaded.options.FormMode(), 3);
    EXPECT_EQ(loaded.options.SignNibble(), 15);
}

TEST(GlobalOptions, UnsupportedSignNibbleIsReportedOnceAndUsed) {
    for (int nibble : {13, 0, 255}) {
        Loaded loaded(Section("sign_nibble=" + std::to_string(nibble) + "\n"));
        EXPECT_EQ(loaded.options.SignNibble(), nibble);
        ASSERT_EQ(loaded.platform.Messages().size(), 1u) << nibble;
        EXPECT_EQ(loaded.platform.MessagesUtf8()[0], "VE823 サイン・ニブルの指定が不正です。");
        EXPECT_EQ(loaded.platform.Messages()[0].style, 0x2000u);
    }
}

TEST(GlobalOptions, DelayedResolveCanBeTurnedOff) {
    Loaded loaded(Section("delayed_resolve=1\n"));
    GlobalOptions options = loaded.options;
    options.ClearDelayedResolve();
    EXPECT_FALSE(options.DelayedResolve());
}

TEST(GridLimits, ReadAfreshEachTime) {
    RecordingPlatform p;
    GridLimits defaults = ReadGridLimits(p);
    EXPECT_EQ(defaults.maxColumns, 64);
    EXPECT_EQ(defaults.maxRows, 1024);
    p.SetProfile("zelmor.ini", "[zelmor320]\ngrid_max_col=8\ngrid_max_row=50\n");
    GridLimits changed = ReadGridLimits(p);
    EXPECT_EQ(changed.maxColumns, 8);
    EXPECT_EQ(changed.maxRows, 50);
}
