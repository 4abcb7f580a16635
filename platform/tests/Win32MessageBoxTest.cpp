// The real message box path on Windows: the text reaches MessageBoxA in code page 932 and the
// box is task-modal with the default caption.
#include <gtest/gtest.h>

#include "messages/Messages.h"
#include "platform/CodePage.h"
#include "platform/MessageBoxAnswerer.h"
#include "platform/Platform.h"

using namespace zelmor;
using namespace zelmor::platform;

TEST(Win32MessageBox, ShowsTheMessageAndReturnsTheButtonPressed) {
    MessageBoxAnswerer answerer;
    answerer.QueueAnswer(IDNO);
    int pressed = NativePlatform().ShowMessageBox(Utf8ToAnsi("続けますか"), MB_YESNO);
    EXPECT_EQ(pressed, IDNO);
    int first = NativePlatform().ShowMessageBox("plain", MB_OK);
    EXPECT_EQ(first, IDOK);
    ASSERT_EQ(answerer.Boxes().size(), 2u);
    EXPECT_EQ(AnsiToUtf8(answerer.Boxes()[0].text), "続けますか");
    EXPECT_EQ(answerer.Boxes()[1].text, "plain");
}

TEST(Win32MessageBox, ShowMessageUsesTheDefaultCaption) {
    MessageBoxAnswerer answerer;
    ShowMessage(VE803, "Orders", 12);
    ASSERT_EQ(answerer.Boxes().size(), 1u);
    EXPECT_EQ(AnsiToUtf8(answerer.Boxes()[0].text),
              "VE803 Btrieveファイル Orders のオープンに失敗。(12)");
    EXPECT_FALSE(answerer.Boxes()[0].caption.empty());  // the system's own caption
}
