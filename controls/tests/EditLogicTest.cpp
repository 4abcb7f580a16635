// The edit box's behaviour without its window: a fake view plays the "Edit" window and the
// host's formatting service, and a registry with one data control gives the bound field's type.
#include <gtest/gtest.h>

#include "binding/tests/FakeControls.h"
#include "controls/EditLogic.h"
#include "controls/tests/FakeControlHost.h"
#include "core/DictionaryWriter.h"
#include "platform/CodePage.h"
#include "platform/RecordingPlatform.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

// An IME that answers nothing: the edit box's IME switching is tested on its own.
class NoIme : public ImeCalls {
  public:
    bool Available() override { return false; }
    void EnableIme(bool) override {}
    std::intptr_t Send(WindowHandle, const ImeRequest&) override { return 0; }
};

// The window, and a formatting service that knows one format: "#,##0" groups the digits.
class FakeEditWindow : public EditView {
  public:
    bool HasWindow() override { return true; }
    std::string WindowText() override { return text; }
    void ShowText(const std::string& shown) override {
        text = shown;
        ++shows;
    }
    void PutCaretAtEnd() override { caretAtEnd = true; }
    WindowHandle EditWindow() override { return 55; }
    std::optional<std::string> Format(const std::string& value,
                                      const std::string& format) override {
        ++formats;
        if (format != "#,##0") return std::nullopt;
        std::string digits;
        for (char c : value) {
            if (c >= '0' && c <= '9') digits += c;
        }
        if (digits.empty()) return std::nullopt;
        for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
            digits.insert(static_cast<std::size_t>(at), ",");
        }
        return digits;
    }
    ImeCalls& Ime() override { return ime; }

    std::string text;
    int shows = 0, formats = 0;
    bool caretAtEnd = false;
    NoIme ime;
};

FieldDef Field(const char* name, DataType type, int offset, int size) {
    return DictionaryField(0, name, type, offset, size);
}

class EditLogicTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TableDef customer;
        customer.name = "Customer";
        customer.fields = {Field("Name", kString, 0, 30), Field("Joined", kDate, 30, 4),
                           Field("At", kTime, 34, 4)};
        context.tables.push_back(customer);
        source.context = &context;
        registry.RegisterDataSource(source);
        edit.dbSource = u"Data1";
        edit.dbTable = u"Customer";
        edit.dbField = u"Name";
    }
    void BindTo(const char16_t* field) { edit.dbField = field; }

    platform::RecordingPlatform platform;
    platform::ScopedPlatform scope{platform};
    BindingRegistry registry{[](WindowHandle) -> WindowHandle { return 0; }};
    FormContext context;
    FakeDataSource source{u"Data1", 100, "Form1"};
    FakeControlHost host{u"Text1"};
    FakeEditWindow window;
    EditLogic edit{host, registry, window};
};

}  // namespace

TEST_F(EditLogicTest, ShownValuesFollowFormatOptionAndMaxLength) {
    struct Case {
        const char* format;
        int option;
        int maxLength;
        const char* value;
        const char* shown;
    } cases[] = {
        {"", 2, 8, "123", "     123"},
        {"", 2, 3, "12345", "345"},
        {"", 2, 5, "12", "   12"},
        {"", 0, 8, "123", "123"},
        {"", 2, 0, "123", "123"},
        {"#,##0", 0, 0, "1200", "1,200"},
        {"#,##0", 3, 7, "1234567", "234,567"},
        {"#,##0", 0, 0, "abc", "before"},  // no text from the service: the window keeps its text
        {"#,##0", 2, 8, "", ""},           // an empty value empties the window, format or not
        {"unknown", 0, 0, "5", "before"},
    };
    for (const Case& c : cases) {
        edit.format = c.format;
        edit.formatOption = c.option;
        edit.maxLength = c.maxLength;
        window.text = "before";
        edit.SetValueText(c.value);
        EXPECT_EQ(window.text, c.shown) << c.format << " " << c.option << " " << c.value;
    }
}

TEST_F(EditLogicTest, NumericMaskBeepsAndDropsOtherKeys) {
    edit.numericMask = true;
    BindTo(u"Joined");
    EXPECT_FALSE(edit.OnCharacter(u'7'));
    EXPECT_FALSE(edit.OnCharacter(u'/'));  // a Date field takes slashes
    EXPECT_TRUE(edit.OnCharacter(u'a'));
    EXPECT_TRUE(edit.OnCharacter(u':'));
    EXPECT_EQ(platform.Beeps(), (std::vector<unsigned>{16, 16}));
}

TEST_F(EditLogicTest, EveryKeyFormatsTheWholeText) {
    edit.format = "#,##0";
    edit.formatOption = 1;
    window.text = "123";
    EXPECT_TRUE(edit.OnCharacter(u'4'));
    EXPECT_EQ(window.text, "1,234");
    EXPECT_TRUE(window.caretAtEnd);
    EXPECT_EQ(edit.Text(), "1,234");
    EXPECT_TRUE(edit.OnCharacter(8));  // backspace
    EXPECT_EQ(window.text, "123");
    window.text = "1";
    EXPECT_FALSE(edit.OnCharacter(8));  // nothing left to format: the window deletes itself
    // A text too long for the service is left to the window, not cut.
    window.text = std::string(32000, '9');
    edit.format = "other";
    EXPECT_FALSE(edit.OnCharacter(u'1'));
    EXPECT_EQ(window.text.size(), 32000u);
}

TEST_F(EditLogicTest, DatesAndTimesAreCompletedWhenTheFocusGoes) {
    struct Case {
        const char16_t* field;
        const char* typed;
        const char* completed;
        std::vector<unsigned> beeps;
    } cases[] = {
        {u"Joined", "20060105", "2006/01/05", {}},
        {u"Joined", "2006/13/40", "2006/01/01", {48, 48}},
        {u"At", "123456", "12:34:56", {}},
        {u"At", "25:00", "00:00:00", {48}},
        {u"Name", "20060105", "20060105", {}},  // other types are left alone
    };
    for (const Case& c : cases) {
        EditLogic completing(host, registry, window);
        completing.dbSource = u"Data1";
        completing.dbTable = u"Customer";
        completing.dbField = c.field;
        platform.Clear();
        window.text = c.typed;
        completing.OnFocusLost();
        EXPECT_EQ(window.text, c.completed) << c.typed;
        EXPECT_EQ(platform.Beeps(), c.beeps) << c.typed;
    }
    // With a format, what was typed stays.
    BindTo(u"Joined");
    edit.format = "#,##0";
    window.text = "20060105";
    edit.OnFocusLost();
    EXPECT_EQ(window.text, "20060105");
}

TEST_F(EditLogicTest, FieldTypeIsFoundOnceTheDataControlKnowsIt) {
    BindTo(u"Joined");
    source.context = nullptr;  // no dictionary yet
    EXPECT_EQ(edit.FieldType(), -1);
    source.context = &context;
    EXPECT_EQ(edit.FieldType(), kDate);
    host.userMode = false;
    EditLogic designing(host, registry, window);
    designing.dbSource = u"Data1";
    designing.dbTable = u"Customer";
    designing.dbField = u"Joined";
    EXPECT_EQ(designing.FieldType(), -1);  // design mode never binds
    designing.Register();
    EXPECT_FALSE(designing.Registered());
}

TEST_F(EditLogicTest, TransfersReadAndClearTheWindow) {
    edit.Register();
    ASSERT_TRUE(edit.Registered());
    registry.SetFieldControls(100, "Customer", "Name", platform::Utf8ToAnsi("山田"));
    EXPECT_EQ(platform::AnsiToUtf8(window.text), "山田");
    window.text = std::string(5000, 'x');
    std::string read;
    EXPECT_EQ(registry.GetFieldControls(100, "Customer", "Name", read), 1);
    EXPECT_EQ(read.size(), 4096u);
    registry.ClearFieldControls(100, "Customer", "Name");
    EXPECT_EQ(window.text, "");
    edit.Unregister();
    EXPECT_EQ(registry.FieldControlCount(), 0u);
}
