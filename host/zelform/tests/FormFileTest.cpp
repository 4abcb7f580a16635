// Reading form files: a complete form, and the mistakes a form file can make, each reported
// with its place.
#include <gtest/gtest.h>

#include <limits>

#include "host/zelform/FormFile.h"

using namespace zelmor::host;

namespace {

// The message of the FileError the text gives, or "" when it reads.
std::string MistakeIn(const std::string& text) {
    try {
        ParseFormFile(text);
    } catch (const FileError& error) {
        return error.what();
    }
    return "";
}

std::string FormWith(const std::string& controls) {
    return R"({"name": "Form1", "width": 300, "height": 200, "controls": [)" + controls + "]}";
}

}  // namespace

TEST(FormFile, ReadsTheFormItsContainersAndControlsInOrder) {
    FormFile form = ParseFormFile(R"({
        "name": "Orders", "caption": "受注", "width": 480, "height": 320,
        "controls": [
            {"name": "Frame1", "type": "frame", "caption": "Customer", "rect": [8, 8, 300, 200],
             "class": "ThunderRTFrame"},
            {"name": "Tab1", "type": "tab", "pages": ["Main", "Notes"], "rect": [8, 8, 200, 100],
             "container": "Frame1"},
            {"name": "Data1", "progid": "ZelBtr.ZelBtr", "rect": [-10, 24, 100, 28],
             "container": "Tab1", "page": 1,
             "properties": {"DDFDir": "C:\\data", "AllOpen": true, "OpenMode": 2,
                            "Ratio": 0.5}},
            {"name": "Edit1", "clsid": "{00000000-0000-0000-0000-000000000001}",
             "rect": [0, 0, 1, 1]}
        ]})");
    EXPECT_EQ(form.name, "Orders");
    EXPECT_EQ(form.caption, "受注");
    EXPECT_EQ(form.width, 480);
    EXPECT_EQ(form.height, 320);
    ASSERT_EQ(form.items.size(), 4u);

    const FormItem& frame = form.items[0];
    EXPECT_EQ(frame.kind, FormItem::Kind::Frame);
    EXPECT_EQ(frame.caption, "Customer");
    EXPECT_EQ(frame.frameClass, "ThunderRTFrame");
    EXPECT_EQ(frame.container, "");

    const FormItem& tab = form.items[1];
    EXPECT_EQ(tab.kind, FormItem::Kind::Tab);
    EXPECT_EQ(tab.pages, (std::vector<std::string>{"Main", "Notes"}));
    EXPECT_EQ(tab.container, "Frame1");

    const FormItem& data = form.items[2];
    EXPECT_EQ(data.kind, FormItem::Kind::Control);
    EXPECT_EQ(data.programId, "ZelBtr.ZelBtr");
    EXPECT_EQ(data.left, -10);
    EXPECT_EQ(data.top, 24);
    EXPECT_EQ(data.width, 100);
    EXPECT_EQ(data.height, 28);
    EXPECT_EQ(data.page, 1);
    ASSERT_EQ(data.properties.size(), 4u);  // in file order, each of its own type
    EXPECT_EQ(data.properties[0].first, "DDFDir");
    EXPECT_EQ(std::get<std::string>(data.properties[0].second), "C:\\data");
    EXPECT_EQ(std::get<bool>(data.properties[1].second), true);
    EXPECT_EQ(std::get<long long>(data.properties[2].second), 2);
    EXPECT_EQ(std::get<double>(data.properties[3].second), 0.5);
    EXPECT_EQ(form.items[3].classId, "{00000000-0000-0000-0000-000000000001}");
}

TEST(FormFile, TheCaptionDefaultsToTheNameAndControlsAreOptional) {
    FormFile form = ParseFormFile(R"({"name": "Empty", "width": 10, "height": 10})");
    EXPECT_EQ(form.caption, "Empty");
    EXPECT_TRUE(form.items.empty());
}

TEST(FormFile, MistakesAreReportedWithTheirPlace) {
    const std::string control = R"({"name": "A", "progid": "P.P", "rect": [0, 0, 10, 10]})";
    struct Case {
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {"{", "form: not valid JSON"},
        {"[]", "form: an object {...} expected"},
        {R"({"width": 1, "height": 1})", "form.name: missing"},
        {R"({"name": "", "width": 1, "height": 1})", "form.name: a name expected"},
        {R"({"name": "F", "width": 0, "height": 1})", "form.width: from 1 to 32767 expected"},
        {R"({"name": "F", "width": 1, "height": 1.5})", "form.height: a whole number expected"},
        {R"({"name": "F", "width": 1, "height": 1, "colour": 3})", "form.colour: not a known name"},
        {R"({"name": "F", "width": 1, "height": 1, "controls": {}})",
         "form.controls: a list [...] expected"},
        {FormWith(R"({"name": "A", "progid": "P.P", "rect": [0, 0, 10]})"),
         "controls[0].rect: [left, top, width, height] in whole pixels expected"},
        {FormWith(R"({"name": "A", "progid": "P.P", "rect": [0, 0, 0, 10]})"),
         "controls[0].rect: positions from -32767 and sizes from 1, up to 32767 expected"},
        {FormWith(R"({"name": "A", "rect": [0, 0, 10, 10]})"),
         "controls[0]: a \"progid\" or a \"clsid\" expected, not both"},
        {FormWith(R"({"name": "A", "progid": "P", "clsid": "{}", "rect": [0, 0, 10, 10]})"),
         "controls[0]: a \"progid\" or a \"clsid\" expected, not both"},
        {FormWith(control + "," + control), "controls[1].name: \"A\" is taken"},
        {FormWith(control + R"(, {"name": "a", "type": "frame", "rect": [0, 0, 9, 9]})"),
         "controls[1].name: \"a\" is taken"},
        {FormWith(R"({"name": "A", "type": "panel", "rect": [0, 0, 10, 10]})"),
         "controls[0].type: \"control\", \"frame\" or \"tab\" expected"},
        {FormWith(R"({"name": "A", "type": "frame", "class": "Frame", "rect": [0, 0, 9, 9]})"),
         "controls[0].class: ThunderFrame, ThunderRTFrame or ThunderRT5Frame expected"},
        {FormWith(R"({"name": "T", "type": "tab", "pages": [], "rect": [0, 0, 9, 9]})"),
         "controls[0].pages: at least one page expected"},
        {FormWith(R"({"name": "T", "type": "tab", "pages": ["a", 2], "rect": [0, 0, 9, 9]})"),
         "controls[0].pages: a list of texts expected"},
        {FormWith(R"({"name": "A", "progid": "P.P", "rect": [0, 0, 9, 9], "container": "F"})"),
         "controls[0].container: a frame or tab control named before expected"},
        {FormWith(control + R"(, {"name": "B", "progid": "P.P", "rect": [0, 0, 9, 9],
                  "container": "A"})"),
         "controls[1].container: a frame or tab control named before expected"},
        {FormWith(R"({"name": "T", "type": "tab", "pages": ["a"], "rect": [0, 0, 9, 9]},
                  {"name": "B", "progid": "P.P", "rect": [0, 0, 9, 9], "container": "T",
                   "page": 1})"),
         "controls[1].page: a page of T (from 0) expected"},
        {FormWith(R"({"name": "F", "type": "frame", "rect": [0, 0, 9, 9]},
                  {"name": "B", "progid": "P.P", "rect": [0, 0, 9, 9], "container": "F",
                   "page": 1})"),
         "controls[1].page: only inside a tab control"},
        {FormWith(R"({"name": "A", "progid": "P.P", "rect": [0, 0, 9, 9], "page": 1})"),
         "controls[0].page: only inside a tab control"},
        {FormWith(R"({"name": "A", "progid": "P.P", "rect": [0, 0, 9, 9],
                  "properties": {"Font": {"Size": 9}}})"),
         "controls[0].properties.Font: a text, a number, true, false, {\"picture\": \"file\"} or {\"font\": {...}} expected"},
        {FormWith(R"({"name": "A", "progid": "P.P", "rect": [0, 0, 9, 9],
                  "properties": {"Font": {"font": {"size": 9}}}})"),
         "controls[0].properties.Font.font.name: missing"},
        {FormWith(R"({"name": "A", "progid": "P.P", "rect": [0, 0, 9, 9],
                  "properties": {"Font": {"font": {"name": "", "size": 9}}}})"),
         "controls[0].properties.Font.font.name: a face name of 1 to 31 characters expected"},
        {FormWith(R"({"name": "A", "progid": "P.P", "rect": [0, 0, 9, 9],
                  "properties": {"Font": {"font": {"name": "ＭＳ ゴシック", "size": 0}}}})"),
         "controls[0].properties.Font.font.size: a size in points above 0, up to 2048, expected"},
        {FormWith(R"({"name": "A", "progid": "P.P", "rect": [0, 0, 9, 9],
                  "properties": {"Font": {"font": {"name": "A", "size": 9, "bold": 1}}}})"),
         "controls[0].properties.Font.font.bold: true or false expected"},
        {FormWith(R"({"name": "A", "progid": "P.P", "rect": [0, 0, 9, 9],
                  "properties": {"Font": {"font": {"name": "A", "size": 9, "charset": 256}}}})"),
         "controls[0].properties.Font.font.charset: 0 to 255 expected"},
        {FormWith(R"({"name": "A", "progid": "P.P", "rect": [0, 0, 9, 9],
                  "properties": {"Font": {"font": {"name": "A", "size": 9, "colour": 1}}}})"),
         "controls[0].properties.Font.font.colour: not a known name"},
        {FormWith(R"({"name": "A", "progid": "P.P", "rect": [0, 0, 9, 9], "Text": "x"})"),
         "controls[0].Text: not a known name"},
    };
    for (const Case& c : cases) EXPECT_EQ(MistakeIn(c.text), c.message) << c.text;
}

TEST(FormFile, ValuesReadAsTheHostLanguageWritesThem) {
    EXPECT_EQ(ValueText(true), "True");
    EXPECT_EQ(ValueText(false), "False");
    EXPECT_EQ(ValueText(-12LL), "-12");
    EXPECT_EQ(ValueText(2.5), "2.5");
    EXPECT_EQ(ValueText(0.1), "0.1");
    EXPECT_EQ(ValueText(std::string("日本")), "日本");
    FontSpec font;
    font.name = "Arial";
    font.size = 10.5;
    font.bold = font.strikethrough = true;
    font.charset = 128;
    EXPECT_EQ(ValueText(font), "font:Arial 10.5 bold strikethrough charset 128");
}

namespace {

// Two forms are the same when the reader makes the same of them.
void ExpectSameForm(const FormFile& a, const FormFile& b) {
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.caption, b.caption);
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    ASSERT_EQ(a.items.size(), b.items.size());
    for (size_t i = 0; i < a.items.size(); ++i) {
        const FormItem& x = a.items[i];
        const FormItem& y = b.items[i];
        SCOPED_TRACE(x.name);
        EXPECT_EQ(x.kind, y.kind);
        EXPECT_EQ(x.name, y.name);
        EXPECT_EQ(std::vector<int>({x.left, x.top, x.width, x.height}),
                  std::vector<int>({y.left, y.top, y.width, y.height}));
        EXPECT_EQ(x.container, y.container);
        EXPECT_EQ(x.page, y.page);
        EXPECT_EQ(x.programId, y.programId);
        EXPECT_EQ(x.classId, y.classId);
        EXPECT_EQ(x.caption, y.caption);
        EXPECT_EQ(x.frameClass, y.frameClass);
        EXPECT_EQ(x.pages, y.pages);
        ASSERT_EQ(x.properties.size(), y.properties.size());
        for (size_t p = 0; p < x.properties.size(); ++p) {
            EXPECT_EQ(x.properties[p].first, y.properties[p].first);
            // The same kind of value with the same text.
            EXPECT_EQ(x.properties[p].second.index(), y.properties[p].second.index());
            EXPECT_EQ(ValueText(x.properties[p].second), ValueText(y.properties[p].second));
        }
    }
}

}  // namespace

TEST(FormFile, AWrittenFormReadsBackAsTheSameForm) {
    const FormFile form = ParseFormFile(R"({
        "name": "Orders", "caption": "受注", "width": 480, "height": 320,
        "controls": [
            {"name": "Frame1", "type": "frame", "caption": "Customer", "rect": [8, 8, 300, 200],
             "class": "ThunderRTFrame"},
            {"name": "Data1", "progid": "ZelBtr.ZelBtr", "rect": [16, -24, 100, 28],
             "container": "Frame1", "properties": {"DDFDir": "C:\\data \"x\"", "AllOpen": true,
             "Count": -7, "Ratio": 0.1, "Big": 12345678901, "Picture": {"picture": "a b.bmp"},
             "Font": {"font": {"name": "ＭＳ Ｐゴシック", "size": 9, "bold": true}},
             "CaptionFont": {"font": {"name": "Arial", "size": 10.5, "italic": true,
                             "underline": true, "strikethrough": true, "charset": 128}}}},
            {"name": "Tab1", "type": "tab", "pages": ["一", "Two"], "rect": [8, 210, 300, 100]},
            {"name": "Edit1", "clsid": "{46823F2A-FF0A-4E83-BBBF-0ADB6F985FED}",
             "rect": [4, 30, 90, 20], "container": "Tab1", "page": 1},
            {"name": "Edit2", "progid": "P.P", "rect": [4, 30, 90, 20], "container": "Tab1"}
        ]})");
    const std::string text = WriteFormFile(form);
    ExpectSameForm(form, ParseFormFile(text));
    // What the reader assumes is left out: a control's type, a page 0, empty properties.
    EXPECT_EQ(text.find("\"control\""), std::string::npos) << text;
    EXPECT_EQ(text.find("\"page\": 0"), std::string::npos) << text;
    EXPECT_EQ(text.find("\"properties\": {}"), std::string::npos) << text;
    // Written twice, the same text.
    EXPECT_EQ(WriteFormFile(ParseFormFile(text)), text);
}

TEST(FormFile, ANumberJsonCannotHoldIsNotWritten) {
    FormFile form = ParseFormFile(R"({"name": "F", "width": 10, "height": 10, "controls": [
        {"name": "A", "progid": "P.P", "rect": [0, 0, 9, 9], "properties": {"Ratio": 1.5}}]})");
    form.items[0].properties[0].second = std::numeric_limits<double>::infinity();
    try {
        WriteFormFile(form);
        ADD_FAILURE() << "written";
    } catch (const FileError& error) {
        EXPECT_STREQ(error.what(), "controls[0].properties.Ratio: not a finite number");
    }
}
