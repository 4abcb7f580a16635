#include <gtest/gtest.h>

#include <string>

#include "messages/Messages.h"
#include "platform/CodePage.h"
#include "platform/RecordingPlatform.h"

using namespace zelmor;
using platform::RecordingPlatform;
using platform::ScopedPlatform;

TEST(Messages, JapaneseMessageIsInCodePage932Bytes) {
    EXPECT_EQ(FormatMessageText(VE803, "Customer", 12), std::string("VE803 Btrieve\x83t\x83@\x83" "C\x83\x8B Customer \x82\xCC\x83I\x81[\x83v\x83\x93\x82\xC9\x8E\xB8\x94s\x81" "B(12)"));
}

TEST(Messages, FormatsWithArguments) {
    struct Case {
        std::string text;
        const char* expected;
    } cases[] = {
        {FormatMessageText(VE001, "Zeldb", 321), "VE001 メモリ不足  Zeldb 321"},
        {FormatMessageText(VE806, "Customer", 80, 82),
         "VE806 BtrieveﾌｧｲﾙとDDFファイルの定義が合致していません。(file=Customer,Btrieve=80,DDF=82)"},
        {FormatMessageText(VE007, -1), "VE007 Btrieveファイルの生成に失敗(rc=-1)"},
        {FormatMessageText(VE823), "VE823 サイン・ニブルの指定が不正です。"},
        {FormatMessageText(VE015), "VE015 ｲﾒ-ｼﾞ･ｺﾝﾄﾛ-ﾙにﾋﾞｯﾄﾏｯﾌﾟを読み込めません"},
        {FormatMessageText(9999), ""},
    };
    for (const Case& c : cases) EXPECT_EQ(platform::AnsiToUtf8(c.text), c.expected);
}

TEST(Messages, EveryTextCarriesItsCodeAndFitsTheTable) {
    int count = 0;
    for (int number = 0; number < 400; ++number) {
        std::string text = LoadMessageText(number);
        if (text.empty()) continue;
        ++count;
        EXPECT_EQ(text.substr(0, 2), "VE") << number;
        EXPECT_LE(text.size(), 127u) << number;
    }
    EXPECT_EQ(count, 40);
}

TEST(Messages, LongArgumentsAreCutAtACharacterBoundary) {
    std::string argument;
    for (int i = 0; i < 400; ++i) argument += "\x82\xA0";  // a hiragana, double-byte
    std::string text = FormatMessageText(VE046, argument.c_str());
    EXPECT_LE(text.size(), kMaxMessageBoxText);
    EXPECT_GT(text.size(), kMaxMessageBoxText - 2);
    EXPECT_EQ(platform::CharBoundaryAtOrBefore(text, text.size()), text.size());
    // Every double-byte character is whole: the text converts back without replacements.
    EXPECT_EQ(platform::AnsiToUtf8(text).find('?'), std::string::npos);
}

TEST(Messages, ShownTaskModalWithOk) {
    RecordingPlatform recorder;
    ScopedPlatform scope(recorder);
    ShowMessage(VE803, "Orders", 12);
    ASSERT_EQ(recorder.Messages().size(), 1u);
    EXPECT_EQ(recorder.MessagesUtf8()[0], "VE803 Btrieveファイル Orders のオープンに失敗。(12)");
    EXPECT_EQ(recorder.Messages()[0].style, 0x2000u);  // MB_OK | MB_TASKMODAL
}

TEST(Messages, FatalAppExitEndsWithTheFormattedText) {
    RecordingPlatform recorder;
    ScopedPlatform scope(recorder);
    try {
        ZelmorFatalAppExit(VE028, 2);
        FAIL() << "returned";
    } catch (const platform::FatalAppExitCalled& exit) {
        EXPECT_EQ(platform::AnsiToUtf8(exit.what()), "VE028 DDFOpen APIエラー(2)");
    }
}

// A status without a text of its own gets the general one with its number.
TEST(StatusText, GeneralTextNamesTheStatus) {
    for (int status : {46, 0, -3}) {
        EXPECT_EQ(platform::AnsiToUtf8(StatusText(status)),
                  "Btrieve エラ－(rc=" + std::to_string(status) + ")");
    }
    EXPECT_EQ(platform::AnsiToUtf8(StatusText(3)), "ファイルがオ－プンされてません。(rc=3)");
}

TEST(StatusText, OneSharedBuffer) {
    const char* first = StatusText(4);
    const char* second = StatusText(9);
    EXPECT_EQ(first, second);
    EXPECT_EQ(platform::AnsiToUtf8(first), "ファイルの先頭または最後です。");
}
