#include <gtest/gtest.h>

#include "platform/RecordingPlatform.h"

using namespace zelmor::platform;

TEST(RecordingPlatform, ReplacesTheCurrentPlatformForItsScope) {
    Platform* real = &CurrentPlatform();
    {
        RecordingPlatform recorder;
        ScopedPlatform scope(recorder);
        EXPECT_EQ(&CurrentPlatform(), &recorder);
        recorder.QueueAnswer(box::kIdNo);
        EXPECT_EQ(CurrentPlatform().ShowMessageBox("q", box::kYesNo), box::kIdNo);
        EXPECT_EQ(CurrentPlatform().ShowMessageBox("r", box::kYesNo), box::kIdYes);
        EXPECT_EQ(CurrentPlatform().ShowMessageBox("s", box::kOk), box::kIdOk);
        ASSERT_EQ(recorder.Messages().size(), 3u);
        EXPECT_EQ(recorder.Messages()[1].text, "r");
        EXPECT_THROW(CurrentPlatform().EndWithFatalError("bye"), FatalAppExitCalled);
    }
    EXPECT_EQ(&CurrentPlatform(), real);
}

TEST(RecordingPlatform, ProfilesHeldInMemory) {
    RecordingPlatform recorder;
    recorder.SetProfile("Zelmor.INI", "[zelmor320]\nform_mode=2\n");
    EXPECT_EQ(recorder.ReadProfileInt("zelmor.ini", "zelmor320", "form_mode", 3), 2);
    EXPECT_EQ(recorder.ReadProfileInt("win.ini", "intl", "form_mode", 3), 3);
}
