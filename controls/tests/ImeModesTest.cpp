#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/ImeModes.h"

using namespace zelmor;

namespace {

// Records the calls as "enable 1", "send 0 4/1", ... and answers a chosen conversion mode.
class RecordingIme : public ImeCalls {
  public:
    bool Available() override { return available; }
    void EnableIme(bool enable) override { calls.push_back("enable " + std::to_string(enable)); }
    std::intptr_t Send(WindowHandle window, const ImeRequest& request) override {
        calls.push_back("send " + std::to_string(window) + " " + std::to_string(request.function) +
                        "/" + std::to_string(request.parameter));
        return static_cast<std::intptr_t>(answer);
    }
    bool available = true;
    unsigned answer = 0;
    std::vector<std::string> calls;
};

}  // namespace

TEST(ImeModes, EachModeSendsItsBlocks) {
    struct Case {
        int mode;
        std::vector<std::string> calls;
    } cases[] = {
        {kImeNone, {}},
        {kImeOn, {"enable 1", "send 0 4/1"}},
        {kImeOff, {"send 0 4/0"}},
        {kImeOffFixed, {"send 0 4/0", "enable 0"}},
        {kImeZenHira, {"enable 1", "send 0 4/1", "send 0 16/20", "send 9 8/2"}},
        {kImeZenKata, {"enable 1", "send 0 4/1", "send 0 16/18", "send 9 8/2"}},
        {kImeHanKata, {"enable 1", "send 0 4/1", "send 0 16/10", "send 9 8/2"}},
        {kImeZenEnglish, {"enable 1", "send 0 4/1", "send 0 16/17", "send 9 8/2"}},
        {kImeHanEnglish, {"send 0 4/0", "send 0 16/9", "send 9 8/2"}},
    };
    for (const Case& c : cases) {
        RecordingIme ime;
        EXPECT_TRUE(SetImeMode(ime, 9, c.mode));
        EXPECT_EQ(ime.calls, c.calls) << c.mode;
    }
}

TEST(ImeModes, TheAnswerNamesTheMode) {
    struct Case {
        unsigned answer;
        int mode;
    } cases[] = {
        {0x00, -1},
        {0x04, kImeZenHira},
        {0x12, kImeZenKata},
        {0x02, kImeHanKata},
        {0x11, kImeZenEnglish},
        {0x01, kImeHanEnglish},
        {0x07, kImeHanEnglish},  // the later tests win
    };
    for (const Case& c : cases) {
        RecordingIme ime;
        ime.answer = c.answer;
        EXPECT_EQ(ReadImeMode(ime), c.mode) << c.answer;
        EXPECT_EQ(ime.calls, std::vector<std::string>{"send 0 17/0"});
    }
}

TEST(ImeModes, WithoutTheCallsNothingHappens) {
    RecordingIme ime;
    ime.available = false;
    EXPECT_EQ(ReadImeMode(ime), -1);
    EXPECT_FALSE(SetImeMode(ime, 9, kImeZenHira));
    EXPECT_TRUE(ime.calls.empty());
}
