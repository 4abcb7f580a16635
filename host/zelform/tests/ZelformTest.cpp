// zelform as a person or a build script runs it: a form file with probe controls (created by
// program identifier from the registered zelprobe.dll), a script with expectations that hold
// and one that does not, the exit status that counts the failures, and the screenshots.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "host/Screenshot.h"
#include "host/zelform/tests/ZelformRun.h"

using namespace zelmor::host;
using namespace zelmor::testing;

namespace {

const char kForm[] = R"({
    "name": "ProbeForm", "caption": "Probe form", "width": 420, "height": 240,
    "controls": [
        {"name": "Frame1", "type": "frame", "caption": "Frame", "rect": [8, 8, 200, 120]},
        {"name": "Text1", "progid": "ZelProbe.ZelProbe", "rect": [12, 24, 170, 24],
         "container": "Frame1", "properties": {"Text": "hello", "Number": 3}},
        {"name": "Tab1", "type": "tab", "pages": ["One", "Two"], "rect": [216, 8, 196, 160]},
        {"name": "List1", "progid": "ZelProbe.ZelProbe", "rect": [8, 32, 170, 80],
         "container": "Tab1", "properties": {"Kind": "ListBox", "Items": "one|two|three"}},
        {"name": "Button1", "progid": "ZelProbe.ZelProbe", "rect": [8, 32, 100, 28],
         "container": "Tab1", "page": 1, "properties": {"Kind": "Button", "Text": "Go"}}
    ]})";

// Every kind of action once; the last expectation is wrong on purpose.
const char kScript[] = R"({"actions": [
    {"action": "expect", "control": "Text1", "text": "hello"},
    {"action": "handle", "control": "Text1", "event": "KeyPress", "set": {"KeyAscii": 88}},
    {"action": "type", "control": "Text1", "keys": "{END}ab"},
    {"action": "expect", "control": "Text1", "text": "helloXX"},
    {"action": "select", "control": "List1", "item": "two"},
    {"action": "expect", "control": "List1", "event": "Click", "count": 1},
    {"action": "set", "control": "Text1", "property": "Number", "value": -1, "fails": true},
    {"action": "refuse", "control": "Text1", "property": "Number"},
    {"action": "set", "control": "Text1", "property": "Number", "value": 8},
    {"action": "expect", "control": "Text1", "property": "Number", "value": 3},
    {"action": "answer", "button": "no"},
    {"action": "call", "control": "Text1", "method": "Ask", "arguments": ["Delete?", 4],
     "expect": 7},
    {"action": "expect", "message": "Delete?"},
    {"action": "screenshot", "file": "run.bmp"},
    {"action": "select", "tab": "Tab1", "page": 1},
    {"action": "click", "control": "Button1"},
    {"action": "wait", "milliseconds": 10},
    {"action": "expect", "control": "Button1", "event": "Click", "count": 1},
    {"action": "expect", "control": "List1", "text": "three"}
]})";

class Zelform : public ::testing::Test {
  protected:
    void SetUp() override {
        probe_ = LoadLibraryW((ProgramFolder() + L"\\zelprobe.dll").c_str());
        ASSERT_NE(probe_, nullptr);
        ASSERT_EQ(RegisterServer(probe_), S_OK);
        CreateDirectoryW(folder_.c_str(), nullptr);
        // What an earlier run left must not pass for this run's work.
        for (const wchar_t* file : {L"\\shots\\run.bmp", L"\\design.bmp"}) {
            DeleteFileW((folder_ + file).c_str());
        }
        RemoveDirectoryW((folder_ + L"\\shots").c_str());
    }

    void TearDown() override {
        if (!probe_) return;
        RegisterServer(probe_, false);
        FreeLibrary(probe_);
    }

    DWORD RunZelform(const std::wstring& arguments, std::string* output) {
        return zelmor::testing::RunZelform(folder_, arguments, output);
    }

    const std::wstring folder_ = L"zelform-test";
    HMODULE probe_ = nullptr;
};

}  // namespace

TEST_F(Zelform, AScriptRunsAgainstTheFormAndTheExitStatusCountsTheFailures) {
    WriteText(folder_ + L"\\form.json", kForm);
    WriteText(folder_ + L"\\script.json", kScript);
    std::string output;
    DWORD status = RunZelform(L"form.json --script script.json --screenshot-dir shots", &output);
    // The folder for the screenshots did not exist: that screenshot fails too.
    EXPECT_EQ(status, 2u) << output;
    EXPECT_NE(output.find("FAIL actions[13] screenshot"), std::string::npos) << output;
    EXPECT_NE(output.find("FAIL actions[18] expect List1: \"three\" expected, \"two\" found"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("19 actions, 2 failed"), std::string::npos) << output;

    CreateDirectoryW((folder_ + L"\\shots").c_str(), nullptr);
    status = RunZelform(L"form.json --script script.json --screenshot-dir shots", &output);
    EXPECT_EQ(status, 1u) << output;
    Screenshot shot;
    ASSERT_TRUE(ReadBitmapFile(folder_ + L"\\shots\\run.bmp", &shot));
    EXPECT_GT(shot.width, 420);
    EXPECT_GT(shot.height, 240);
    EXPECT_GT(shot.ColourCount(), 5u);
}

TEST_F(Zelform, InDesignModeTheControlsAreSitedForDesigning) {
    WriteText(folder_ + L"\\form.json", kForm);
    WriteText(folder_ + L"\\design.json", R"({"actions": [
        {"action": "expect", "control": "Text1", "text": ""},
        {"action": "screenshot", "file": "design.bmp"}]})");
    std::string output;
    // The probe hosts no edit box at design time, so it shows no text.
    EXPECT_EQ(RunZelform(L"form.json --design --script design.json", &output), 0u) << output;
    Screenshot shot;
    ASSERT_TRUE(ReadBitmapFile(folder_ + L"\\design.bmp", &shot));
    EXPECT_GT(shot.ColourCount(), 5u);
}

TEST_F(Zelform, FormsThatCannotBeBuiltAreReported) {
    std::string output;
    WriteText(folder_ + L"\\bad.json", R"({"name": "F", "width": 10})");
    EXPECT_EQ(RunZelform(L"bad.json --script script.json", &output), 126u);
    EXPECT_NE(output.find("form.height: missing"), std::string::npos) << output;

    EXPECT_EQ(RunZelform(L"", &output), 126u);
    EXPECT_NE(output.find("usage: zelform"), std::string::npos);

    // A control that cannot be made, and a property it refuses, each count as a failure.
    WriteText(folder_ + L"\\missing.json", R"({"name": "F", "width": 100, "height": 100,
        "controls": [
            {"name": "Gone1", "progid": "Zelmor.NoSuchControl", "rect": [0, 0, 10, 10]},
            {"name": "Text1", "progid": "ZelProbe.ZelProbe", "rect": [0, 20, 90, 20],
             "properties": {"Number": -4}}]})");
    WriteText(folder_ + L"\\empty.json", R"({"actions": []})");
    EXPECT_EQ(RunZelform(L"missing.json --script empty.json", &output), 2u) << output;
    EXPECT_NE(output.find("FAIL form Gone1: cannot be made"), std::string::npos) << output;
    EXPECT_NE(output.find("FAIL form Text1.Number: 0x800A017C"), std::string::npos) << output;

    // A message box shown while the form is built is answered, not waited for.
    WriteText(folder_ + L"\\asking.json", R"({"name": "F", "width": 100, "height": 100,
        "controls": [{"name": "Text1", "progid": "ZelProbe.ZelProbe", "rect": [0, 20, 90, 20],
                      "properties": {"Text": "?Open the dictionary?"}}]})");
    EXPECT_EQ(RunZelform(L"asking.json --script empty.json", &output), 1u) << output;
    EXPECT_NE(output.find("FAIL form message box while loading: Open the dictionary?"),
              std::string::npos)
        << output;
}

TEST_F(Zelform, AnActionWithoutItsControlFailsAndTheRestRuns) {
    WriteText(folder_ + L"\\form.json", kForm);
    WriteText(folder_ + L"\\script.json", R"({"actions": [
    {"action": "click", "control": ""},
    {"action": "expect", "control": "", "text": "one"},
    {"action": "select", "control": "", "item": "two"},
    {"action": "wait", "milliseconds": 1}
]})");
    std::string output;
    DWORD status = RunZelform(L"form.json --script script.json", &output);
    EXPECT_EQ(status, 3u) << output;
    EXPECT_NE(output.find("FAIL actions[0] click: the action names no control"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("4 actions, 3 failed"), std::string::npos) << output;
}

namespace {

// A designer's session: the property frame filled, applied, refused, cancelled, opened by a
// right click, and the form saved. Two steps fail on purpose: a field with no frame shown,
// and a save over the form file that was read.
const char kDesignScript[] = R"({"actions": [
    {"action": "expect", "frame": false},
    {"action": "properties", "control": "Text1"},
    {"action": "expect", "frame": true},
    {"action": "expect", "field": "Text", "value": "hello"},
    {"action": "expect", "field": "&Number:", "value": 3},
    {"action": "expect", "apply": false},
    {"action": "field", "label": "Text", "value": "designed"},
    {"action": "expect", "apply": true},
    {"action": "press", "button": "apply"},
    {"action": "expect", "apply": false},
    {"action": "expect", "control": "Text1", "property": "Text", "value": "designed"},
    {"action": "field", "label": "Number", "value": -2},
    {"action": "press", "button": "ok", "fails": true},
    {"action": "expect", "frame": true},
    {"action": "expect", "apply": true},
    {"action": "expect", "problem": "Number: -2 is refused"},
    {"action": "screenshot", "file": "frame.bmp", "of": "frame"},
    {"action": "press", "button": "cancel"},
    {"action": "expect", "frame": false},
    {"action": "expect", "control": "Text1", "property": "Number", "value": 3},
    {"action": "click", "control": "List1", "button": "right"},
    {"action": "expect", "frame": true},
    {"action": "field", "label": "Text", "value": "listed"},
    {"action": "press", "button": "ok"},
    {"action": "field", "label": "Text", "value": "late"},
    {"action": "save", "file": "saved.json"},
    {"action": "save", "file": "form.json"}
]})";

// What the saved form must load: the values given in the frame, and what the file had.
const char kSavedScript[] = R"({"actions": [
    {"action": "expect", "control": "Text1", "property": "Text", "value": "designed"},
    {"action": "expect", "control": "Text1", "property": "Number", "value": 3},
    {"action": "expect", "control": "List1", "property": "Text", "value": "listed"},
    {"action": "expect", "control": "List1", "property": "Items", "value": "one|two|three"},
    {"action": "expect", "control": "Button1", "property": "Kind", "value": "Button"}
]})";

}  // namespace

TEST_F(Zelform, ADesignerFillsThePropertyFrameAndSavesTheForm) {
    // Text1 has a font of its own. A font object tells the face and size the system found for
    // it (Wine gives another face for Tahoma), so its styles are what the saved file shows.
    std::string form = kForm;
    const std::string number = R"("Number": 3)";
    form.replace(form.find(number), number.size(),
                 number + R"(, "Font": {"font": {"name": "Tahoma", "size": 12, "bold": true,
                                                  "charset": 0}})");
    WriteText(folder_ + L"\\form.json", form);
    WriteText(folder_ + L"\\designer.json", kDesignScript);
    DeleteFileW((folder_ + L"\\saved.json").c_str());
    std::string output;
    DWORD status = RunZelform(L"form.json --design --script designer.json", &output);
    EXPECT_EQ(status, 2u) << output;
    EXPECT_NE(output.find("FAIL actions[24] field: no property frame is shown"), std::string::npos)
        << output;
    EXPECT_NE(output.find("FAIL actions[26] save: form.json is the form file that was read"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("27 actions, 2 failed"), std::string::npos) << output;
    EXPECT_EQ(ReadText(folder_ + L"\\form.json"), form);
    const std::string saved = ReadText(folder_ + L"\\saved.json");
    for (const char* font : {R"("bold": true)", R"("charset": 0)"}) {
        EXPECT_NE(saved.find(font), std::string::npos) << font << "\n" << saved;
    }
    Screenshot frame;
    ASSERT_TRUE(ReadBitmapFile(folder_ + L"\\frame.bmp", &frame));
    EXPECT_GT(frame.width, 300);
    EXPECT_GT(frame.ColourCount(), 3u);

    // The saved form loads the same properties, and saved again it is the same file.
    WriteText(folder_ + L"\\saved-check.json", kSavedScript);
    EXPECT_EQ(RunZelform(L"saved.json --design --script saved-check.json --save resaved.json",
                         &output),
              0u)
        << output << ReadText(folder_ + L"\\saved.json");
    EXPECT_EQ(ReadText(folder_ + L"\\resaved.json"), ReadText(folder_ + L"\\saved.json"));

    // Over the file that was read only when told so.
    WriteText(folder_ + L"\\empty.json", R"({"actions": []})");
    EXPECT_EQ(RunZelform(L"resaved.json --script empty.json --save resaved.json", &output), 1u)
        << output;
    EXPECT_NE(output.find("FAIL save resaved.json is the form file that was read"),
              std::string::npos)
        << output;
    EXPECT_EQ(
        RunZelform(L"resaved.json --script empty.json --save resaved.json --overwrite", &output),
        0u)
        << output;
    EXPECT_EQ(RunZelform(L"form.json --overwrite", &output), 126u) << output;
}
