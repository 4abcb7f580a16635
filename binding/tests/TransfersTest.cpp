#include <gtest/gtest.h>

#include "binding/BindingRegistry.h"
#include "binding/ChoiceValues.h"
#include "binding/Transfers.h"
#include "binding/tests/FakeControls.h"
#include "core/DictionaryWriter.h"
#include "core/FieldAccess.h"
#include "platform/RecordingPlatform.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

// A check box that follows the real rules for its value.
class FakeCheckBox : public FakeControl {
public:
    FakeCheckBox(std::u16string name, WindowHandle form, ChoiceTexts valueTexts)
        : FakeControl(ControlKind::CheckBox, std::move(name), form), texts(std::move(valueTexts)) {}
    void SetFieldText(const std::string& text) override {
        if (std::optional<int> v = CheckBoxValueOf(text, texts)) checked = *v;
    }
    bool ReadFieldText(std::string& text) override {
        text = CheckBoxTextOf(checked, texts);
        return true;
    }
    void ClearFieldValue() override { checked = kUnchecked; }

    ChoiceTexts texts;
    int checked = kUnchecked;
};

FieldDef Field(const char* name, DataType type, int offset, int size, std::uint16_t flags = 0) {
    return DictionaryField(0, name, type, offset, size, flags);
}

// Customer: Code Integer 4 @0, Name String 10 @4, Active String 1 @14, Note ZString 6 @16
// (nullable: its null byte at 15).
class TransfersTest : public ::testing::Test {
protected:
    void SetUp() override {
        TableDef customer;
        customer.name = "Customer";
        customer.fields = {Field("Code", kInteger, 0, 4), Field("Name", kString, 4, 10),
                           Field("Active", kString, 14, 1),
                           Field("Note", kZString, 16, 6, kFieldNullable)};
        customer.recordLength = 22;
        customer.bufferLength = 22;
        customer.open = true;
        customer.record.assign(23, 0);
        context.tables.push_back(customer);
        source.context = &context;
        registry.RegisterDataSource(source);
    }
    TableDef& Table() { return context.tables[0]; }
    FakeControl& Bind(FakeControl& control, const char16_t* field) {
        control.field = field;
        control.table = u"Customer";
        control.source = u"Db";
        registry.RegisterFieldControl(control);
        return control;
    }

    platform::RecordingPlatform platform;
    platform::ScopedPlatform scope{platform};
    BindingRegistry registry{[](WindowHandle) -> WindowHandle { return 0; }};
    FormContext context;
    FakeDataSource source{u"Db", 100, "Form1"};
};

}  // namespace

TEST(ChoiceValues, CheckBoxAndOptionRules) {
    ChoiceTexts texts{"Y", "N", "?"};
    struct Case {
        const char* text;
        std::optional<int> value;
    } cases[] = {{"Y", kChecked}, {"N", kUnchecked}, {"?", kGrayed}, {"y", std::nullopt},
                 {"", std::nullopt}};
    for (const Case& c : cases) EXPECT_EQ(CheckBoxValueOf(c.text, texts), c.value) << c.text;
    // The same text for true and false: the later test wins, unchecked.
    EXPECT_EQ(CheckBoxValueOf("1", ChoiceTexts{"1", "1", ""}), kUnchecked);
    EXPECT_EQ(CheckBoxTextOf(kGrayed, texts), "?");
    EXPECT_EQ(CheckBoxTextOf(5, texts), "");
    EXPECT_EQ(CheckBoxTextOf(kChecked, ChoiceTexts{}), "");  // unset texts read as empty
    EXPECT_EQ(OptionValueOf("on", "on", "off"), 1);
    EXPECT_EQ(OptionValueOf("x", "on", "off"), std::nullopt);
    EXPECT_EQ(OptionTextOf(7, "on", "off"), "on");
    EXPECT_EQ(OptionTextOf(0, "on", "off"), "off");
}

TEST_F(TransfersTest, ToControlsSetsEveryBoundControlOfTheForm) {
    DbSetFieldData(Table(), "Code", "12");
    DbSetFieldData(Table(), "Name", "Ann");
    DbSetFieldData(Table(), "Active", "Y");
    FakeControl edit(ControlKind::Edit, u"Text1", 100);
    FakeControl twin(ControlKind::Edit, u"Text2", 100);
    FakeControl elsewhere(ControlKind::Edit, u"Text1", 200);
    FakeCheckBox check(u"Check1", 100, ChoiceTexts{"Y", "N", ""});
    FakeCheckBox unmatched(u"Check2", 100, ChoiceTexts{"T", "F", ""});
    unmatched.checked = kGrayed;
    Bind(edit, u"Name");
    Bind(twin, u"Name");
    Bind(elsewhere, u"Name");
    Bind(check, u"Active");
    Bind(unmatched, u"Active");
    ASSERT_EQ(TransferToControls(registry, source, Table()), 0);
    EXPECT_EQ(edit.value, "Ann");
    EXPECT_EQ(twin.value, "Ann");
    EXPECT_EQ(elsewhere.sets, 0);  // another form
    EXPECT_EQ(check.checked, kChecked);
    EXPECT_EQ(unmatched.checked, kGrayed);  // no text of its own matched: unchanged
}

TEST_F(TransfersTest, FromControlsTakesTheLaterControlAndKeepsWhatNoneSupplies) {
    DbSetFieldData(Table(), "Code", "99");
    FakeControl first(ControlKind::Edit, u"Text1", 100);
    FakeControl second(ControlKind::Edit, u"Text2", 100);
    FakeControl note(ControlKind::Edit, u"Text3", 100);
    FakeCheckBox check(u"Check1", 100, ChoiceTexts{"Y", "N", ""});
    Bind(first, u"Name").value = "first";
    Bind(second, u"Name").value = "second";
    Bind(note, u"Note").value = "memo";
    Bind(check, u"Active");
    check.checked = kChecked;
    ASSERT_EQ(TransferFromControls(registry, source, Table()), 0);
    EXPECT_EQ(DbGetFieldData(Table(), "Name"), "second");
    EXPECT_EQ(DbGetFieldData(Table(), "Code"), "99");  // no control: the bytes stay
    EXPECT_EQ(DbGetFieldData(Table(), "Active"), "Y");
    // The nullable field's value goes after its null byte.
    EXPECT_EQ(DbGetFieldData(Table(), "Note"), "memo");
    EXPECT_EQ(Table().record[15], 0);
}

TEST_F(TransfersTest, ClearingEmptiesTheControlsOfThisFormOnly) {
    FakeControl edit(ControlKind::Edit, u"Text1", 100);
    FakeControl elsewhere(ControlKind::Edit, u"Text1", 200);
    FakeCheckBox check(u"Check1", 100, ChoiceTexts{"Y", "N", ""});
    Bind(edit, u"Name").value = "Ann";
    Bind(elsewhere, u"Name").value = "Bob";
    Bind(check, u"Active");
    check.checked = kChecked;
    DbSetFieldData(Table(), "Name", "Kept");
    ASSERT_EQ(ClearControls(registry, source, Table()), 0);
    EXPECT_EQ(edit.value, "");
    EXPECT_EQ(check.checked, kUnchecked);
    EXPECT_EQ(elsewhere.value, "Bob");
    EXPECT_EQ(DbGetFieldData(Table(), "Name"), "Kept");  // the record is not touched
}

// A control's handler may free the dictionary while a record is shown or cleared: the transfer
// stops there and reads nothing of the freed table (AddressSanitizer would report it).
TEST_F(TransfersTest, AHandlerThatFreesTheDictionaryStopsTheTransfer) {
    FakeControl code(ControlKind::Edit, u"Code1", 100), name(ControlKind::Edit, u"Name1", 100);
    Bind(code, u"Code");
    Bind(name, u"Name");
    code.onCall = [&] { std::vector<TableDef>().swap(context.tables); };
    EXPECT_EQ(TransferToControls(registry, source, Table()), 0);
    EXPECT_EQ(code.sets, 1);
    EXPECT_EQ(name.sets, 0);

    SetUp();
    EXPECT_EQ(ClearControls(registry, source, Table()), 0);
    EXPECT_EQ(code.clears, 1);
    EXPECT_EQ(name.clears, 0);
}
