#include <gtest/gtest.h>

#include "core/DbManager.h"
#include "platform/RecordingPlatform.h"

using namespace zelmor;

TEST(DbManager, SettingsKeepTheirLowBits) {
    struct Case {
        const char* profile;
        unsigned nullKey;
        unsigned fileFlags;
    } cases[] = {
        {"", 0, 130},
        {"[zelmor320]\nnull_key=288\nfile_flag=65537\n", 32, 1},
        {"[zelmor320]\nnull_key=32\nfile_flag=2\n", 32, 2},
        {"[zelmor320]\nnull_key=abc\nfile_flag=\n", 0, 130},
        {"[zelmor320]\nnull_key=-1\n", 255, 130},
    };
    for (const Case& c : cases) {
        platform::RecordingPlatform recorder;
        recorder.SetProfile("zelmor.ini", c.profile);
        DbManager manager(recorder);
        EXPECT_EQ(manager.NullKeyValue(), c.nullKey) << c.profile;
        EXPECT_EQ(manager.FileFlags(), c.fileFlags) << c.profile;
    }
}

TEST(DbManager, LockBiasAcceptsOnlyTheFiveValues) {
    platform::RecordingPlatform recorder;
    DbManager manager(recorder);
    EXPECT_TRUE(manager.SetLockBias(200));
    EXPECT_FALSE(manager.SetLockBias(150));
    EXPECT_FALSE(manager.SetLockBias(500));
    EXPECT_FALSE(manager.SetLockBias(-100));
    EXPECT_EQ(manager.LockBias(), 200);
    for (int bias : {0, 100, 300, 400}) {
        EXPECT_TRUE(manager.SetLockBias(bias));
        EXPECT_EQ(manager.LockBias(), bias);
    }
}
