#include <gtest/gtest.h>

#include <memory>

#include "binding/BindingRegistry.h"
#include "binding/tests/FakeControls.h"
#include "platform/RecordingPlatform.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

// Windows: 100 and 200 are forms; 110 is a frame on form 100 and 111 a frame inside it.
WindowHandle ParentOf(WindowHandle window) {
    switch (window) {
        case 110: return 100;
        case 111: return 110;
        case 210: return 200;
        default: return 0;
    }
}

class BindingRegistryTest : public ::testing::Test {
protected:
    BindingRegistry registry{ParentOf};
    FormContext customers;
    FormContext orders;

    void SetUp() override {
        TableDef customer;
        customer.name = "Customer";
        FieldDef code;
        code.name = "Code";
        code.dataType = kInteger;
        customer.fields.push_back(code);
        customers.tables.push_back(customer);
        TableDef order;
        order.name = "Orders";
        orders.tables.push_back(order);
    }
};

}  // namespace

TEST_F(BindingRegistryTest, AttachLookupsTellFormsApartAndIgnoreCaseOfTheName) {
    FakeDataSource first(u"ZelBtr1", 100, "Form1");
    FakeDataSource second(u"ZelBtr1", 200, "Form2");
    first.context = &customers;
    ASSERT_EQ(registry.RegisterDataSource(first), 0);
    ASSERT_EQ(registry.RegisterDataSource(second), 0);
    EXPECT_EQ(registry.DataSourceCount(), 2u);

    DataSource* found = nullptr;
    EXPECT_EQ(registry.FindDataSourceByFormName("zelbtr1", "Form1", found), lookup::kFound);
    EXPECT_EQ(found, &first);
    EXPECT_EQ(registry.FindDataSourceByFormName("ZELBTR1", "Form2", found), lookup::kNoDictionary);
    EXPECT_EQ(found, &second);
    EXPECT_EQ(registry.FindDataSourceByFormName("ZelBtr1", "form1", found), lookup::kNotFound);
    EXPECT_EQ(registry.FindDataSourceByFormName("Other", "Form1", found), lookup::kNotFound);

    EXPECT_EQ(registry.FindDataSourceByWindow("zelBTR1", 200, found), lookup::kNoDictionary);
    EXPECT_EQ(found, &second);
    EXPECT_EQ(registry.FindDataSourceByWindow("ZelBtr1", 110, found), lookup::kFound);  // a child
    EXPECT_EQ(found, &first);
    EXPECT_EQ(registry.FindDataSourceByWindow("ZelBtr1", 111, found), lookup::kNotFound);
}

TEST_F(BindingRegistryTest, ReRegisteringTakesOverTheEntry) {
    FakeDataSource old(u"Db", 100, "Form1");
    FakeDataSource replacement(u"Db", 100, "Form1");
    replacement.context = &customers;
    registry.RegisterDataSource(old);
    registry.RegisterDataSource(replacement);
    EXPECT_EQ(registry.DataSourceCount(), 1u);
    DataSource* found = nullptr;
    EXPECT_EQ(registry.FindDataSourceByWindow("Db", 100, found), lookup::kFound);
    EXPECT_EQ(found, &replacement);
    // The earlier instance going away does not take the newer one's entry with it.
    EXPECT_EQ(registry.UnregisterDataSource(old), -1);
    EXPECT_EQ(registry.DataSourceCount(), 1u);
    EXPECT_EQ(registry.UnregisterDataSource(replacement), 0);
    EXPECT_EQ(registry.DataSourceCount(), 0u);
}

TEST_F(BindingRegistryTest, UnsitedDataSourceIsNotRegistered) {
    FakeDataSource unsited(u"Db", 0, "");
    EXPECT_EQ(registry.RegisterDataSource(unsited), 0);
    EXPECT_EQ(registry.DataSourceCount(), 0u);
}

TEST_F(BindingRegistryTest, DictionaryLookupIgnoresCase) {
    FakeDataSource a(u"A", 100, "F");
    FakeDataSource b(u"B", 200, "F");
    a.directory = "C:\\Data\\Sales";
    b.directory = "C:\\Data\\Other";
    b.context = &orders;
    registry.RegisterDataSource(a);
    registry.RegisterDataSource(b);
    DataSource* found = nullptr;
    EXPECT_EQ(registry.FindDataSourceByDictionary("c:\\data\\sales", found), lookup::kNoDictionary);
    EXPECT_EQ(found, &a);
    EXPECT_EQ(registry.FindDataSourceByDictionary("C:\\DATA\\OTHER", found), lookup::kFound);
    EXPECT_EQ(registry.FindDataSourceByDictionary("C:\\x", found), lookup::kNotFound);
}

TEST_F(BindingRegistryTest, BoundTablesResolveByExactNameOnTheFormOrItsParent) {
    FakeDataSource empty(u"Db", 100, "F");  // no dictionary yet
    FakeDataSource loaded(u"Db", 200, "G");
    loaded.context = &customers;
    registry.RegisterDataSource(empty);
    registry.RegisterDataSource(loaded);
    EXPECT_EQ(registry.FindBoundTable(100, "Db", "Customer"), nullptr);
    EXPECT_EQ(registry.FindBoundTable(200, "Db", "Customer"), &customers.tables[0]);
    EXPECT_EQ(registry.FindBoundTable(210, "Db", "Customer"), &customers.tables[0]);
    EXPECT_EQ(registry.FindBoundTable(200, "db", "Customer"), nullptr);  // exact here
    EXPECT_EQ(registry.FindBoundTable(200, "Db", "Missing"), nullptr);
    EXPECT_EQ(registry.FindBoundFieldType(200, "Db", "Customer", "Code"), kInteger);
    EXPECT_EQ(registry.FindBoundFieldType(200, "Db", "Customer", "Nope"), -1);
}

TEST_F(BindingRegistryTest, FieldControlsNeedFieldAndTableNames) {
    FakeControl noField(ControlKind::Edit, u"Text1", 100);
    noField.table = u"Customer";
    FakeControl emptyField(ControlKind::Edit, u"Text2", 100);
    emptyField.field = u"";
    emptyField.table = u"Customer";
    FakeControl bound(ControlKind::Edit, u"Text3", 100);
    bound.field = u"Code";
    bound.table = u"Customer";
    EXPECT_EQ(registry.RegisterFieldControl(noField), -1);
    EXPECT_EQ(registry.RegisterFieldControl(emptyField), -1);
    EXPECT_EQ(registry.RegisterFieldControl(bound), 0);
    EXPECT_EQ(registry.FieldControlCount(), 1u);
    EXPECT_EQ(registry.UnregisterFieldControl(noField), -1);
    EXPECT_EQ(registry.UnregisterFieldControl(bound), 0);
}

TEST_F(BindingRegistryTest, FieldTransfersReachTheControlsOfOneFormOnly) {
    FakeControl first(ControlKind::Edit, u"Text1", 100);
    FakeControl second(ControlKind::Edit, u"Text2", 100);
    FakeControl elsewhere(ControlKind::Edit, u"Text1", 200);
    FakeControl list(ControlKind::ListBox, u"List1", 100);
    for (FakeControl* control : {&first, &second, &elsewhere, &list}) {
        control->field = u"Name";
        control->table = u"Customer";
    }
    registry.RegisterFieldControl(first);
    registry.RegisterFieldControl(second);
    registry.RegisterFieldControl(elsewhere);
    registry.RegisterListControl(list);

    registry.SetFieldControls(100, "Customer", "Name", "Alice");
    EXPECT_EQ(first.value, "Alice");
    EXPECT_EQ(second.value, "Alice");
    EXPECT_EQ(list.value, "Alice");
    EXPECT_EQ(elsewhere.sets, 0);
    registry.SetFieldControls(100, "customer", "Name", "x");  // exact names
    EXPECT_EQ(first.value, "Alice");

    // Reading takes the last control in registry order that supplies a value.
    first.value = "one";
    second.value = "two";
    list.readable = false;
    std::string text;
    EXPECT_EQ(registry.GetFieldControls(100, "Customer", "Name", text), 2);
    EXPECT_EQ(text, "two");
    EXPECT_EQ(registry.GetFieldControls(100, "Customer", "Code", text), 0);

    registry.ClearFieldControls(100, "Customer", "Name");
    EXPECT_EQ(first.clears + second.clears + list.clears, 3);
    EXPECT_EQ(elsewhere.clears, 0);
}

TEST_F(BindingRegistryTest, SourceReadyFillsListsThatAskForItAndTellsScrollBars) {
    FakeControl eager(ControlKind::ComboBox, u"Combo1", 100);
    eager.listSource = u"Db";
    eager.updateOption = kUpdateOnInit;
    FakeControl lazy(ControlKind::ListBox, u"List1", 100);
    lazy.listSource = u"Db";
    FakeControl inFrame(ControlKind::ListBox, u"List2", 110);  // form window is the frame
    inFrame.listSource = u"Db";
    inFrame.updateOption = kUpdateOnFocus;
    FakeControl otherSource(ControlKind::ListBox, u"List3", 100);
    otherSource.listSource = u"Other";
    otherSource.updateOption = kUpdateOnInit;
    FakeControl scroll(ControlKind::ScrollBar, u"HScroll1", 100);
    scroll.source = u"Db";
    EXPECT_EQ(registry.NotifySourceReady("Db", 100), -1);  // nothing registered yet
    for (FakeControl* c : {&eager, &lazy, &inFrame, &otherSource}) registry.RegisterListControl(*c);
    registry.RegisterScrollControl(scroll);

    EXPECT_EQ(registry.NotifySourceReady("Db", 100), 0);
    EXPECT_EQ(eager.fills, 1);
    EXPECT_EQ(lazy.fills, 0);
    EXPECT_EQ(inFrame.fills, 1);
    EXPECT_EQ(otherSource.fills, 0);
    EXPECT_EQ(scroll.readyCalls, 1);
}

TEST_F(BindingRegistryTest, MovesReachOtherScrollBarsOfTheSourceOnAnyForm) {
    FakeControl a(ControlKind::ScrollBar, u"H1", 100);
    FakeControl b(ControlKind::ScrollBar, u"V1", 200);
    FakeControl c(ControlKind::ScrollBar, u"H2", 100);
    a.source = b.source = u"Db";
    c.source = u"Other";
    for (FakeControl* s : {&a, &b, &c}) registry.RegisterScrollControl(*s);
    registry.NotifySourceMoved(&a, "Db", "Customer", 42);
    EXPECT_EQ(a.movedWith, 0);
    EXPECT_EQ(b.movedWith, 42);
    EXPECT_EQ(b.movedTable, "Customer");
    EXPECT_EQ(c.movedWith, 0);
    // A changed DbSource is taken by an update of the entry.
    c.source = u"Db";
    registry.NotifySourceMoved(nullptr, "Db", "Customer", 7);
    EXPECT_EQ(c.movedWith, 0);
    EXPECT_EQ(registry.UpdateScrollControl(c), 0);
    registry.NotifySourceMoved(nullptr, "Db", "Customer", 7);
    EXPECT_EQ(c.movedWith, 7);
    EXPECT_EQ(registry.UnregisterScrollControl(c), 0);
    EXPECT_EQ(registry.UpdateScrollControl(c), -1);
}

TEST_F(BindingRegistryTest, OptionButtonsUncheckTheirGroup) {
    FakeControl one(ControlKind::OptionButton, u"Opt1", 100);
    FakeControl two(ControlKind::OptionButton, u"Opt2", 200);  // forms are not compared
    FakeControl otherField(ControlKind::OptionButton, u"Opt3", 100);
    FakeControl check(ControlKind::CheckBox, u"Check1", 100);
    for (FakeControl* c : {&one, &two, &otherField, &check}) {
        c->source = u"Db";
        c->table = u"Customer";
        c->field = u"Kind";
    }
    otherField.field = u"Name";
    for (FakeControl* c : {&one, &two, &otherField, &check}) registry.RegisterFieldControl(*c);
    registry.UncheckOtherOptions(one);
    EXPECT_EQ(one.unchecks, 0);
    EXPECT_EQ(two.unchecks, 1);
    EXPECT_EQ(otherField.unchecks, 0);
    EXPECT_EQ(check.unchecks, 0);
}

TEST_F(BindingRegistryTest, ANewerControlOfTheSameNameTakesOverFieldAndListEntries) {
    FakeControl oldEdit(ControlKind::Edit, u"Text1", 100), newEdit(ControlKind::Edit, u"Text1", 100);
    FakeControl oldList(ControlKind::ListBox, u"List1", 100),
        newList(ControlKind::ListBox, u"List1", 100);
    for (FakeControl* c : {&oldEdit, &newEdit, &oldList, &newList}) {
        c->field = u"Name";
        c->table = u"Customer";
    }
    registry.RegisterFieldControl(oldEdit);
    registry.RegisterFieldControl(newEdit);
    registry.RegisterListControl(oldList);
    registry.RegisterListControl(newList);
    EXPECT_EQ(registry.FieldControlCount(), 1u);
    EXPECT_EQ(registry.ListControlCount(), 1u);
    registry.SetFieldControls(100, "Customer", "Name", "Ann");
    EXPECT_EQ(oldEdit.sets + oldList.sets, 0);
    EXPECT_EQ(newEdit.value, "Ann");
    EXPECT_EQ(newList.value, "Ann");
    // The old instances going away leave the newer ones' entries.
    EXPECT_EQ(registry.UnregisterFieldControl(oldEdit), -1);
    EXPECT_EQ(registry.UnregisterListControl(oldList), -1);
    EXPECT_EQ(registry.ListControlCount(), 1u);
    EXPECT_EQ(registry.UnregisterListControl(newList), 0);
    EXPECT_EQ(registry.UnregisterListControl(newList), -1);
    EXPECT_EQ(registry.ListControlCount(), 0u);
}

// A control's handler may free another control (which unregisters it) or add one while the
// registry calls the controls one after another: the freed one is not called (AddressSanitizer
// would report it), the added one waits for the next walk, the others are all called.
TEST_F(BindingRegistryTest, WalksSurviveHandlersThatFreeAndAddControls) {
    enum Kind { kField, kList, kScroll };
    struct Walk {
        const char* name;
        Kind kind;
        std::function<void(BindingRegistry&)> run;
        std::function<int(const FakeControl&)> calls;
    };
    const Walk walks[] = {
        {"set", kField, [](BindingRegistry& r) { r.SetFieldControls(100, "Customer", "Name", "x"); },
         [](const FakeControl& c) { return c.sets; }},
        {"clear", kField, [](BindingRegistry& r) { r.ClearFieldControls(100, "Customer", "Name"); },
         [](const FakeControl& c) { return c.clears; }},
        {"fill", kList, [](BindingRegistry& r) { r.NotifySourceReady("Db", 100); },
         [](const FakeControl& c) { return c.fills; }},
        {"ready", kScroll, [](BindingRegistry& r) { r.NotifySourceReady("Db", 100); },
         [](const FakeControl& c) { return c.readyCalls; }},
        {"move", kScroll, [](BindingRegistry& r) { r.NotifySourceMoved(nullptr, "Db", "Customer", 5); },
         [](const FakeControl& c) { return c.movedWith == 5 ? 1 : 0; }},
    };
    for (const Walk& walk : walks) {
        SCOPED_TRACE(walk.name);
        auto make = [&](const char16_t* name) {
            auto control = std::make_unique<FakeControl>(
                walk.kind == kScroll ? ControlKind::ScrollBar : ControlKind::ListBox, name, 100);
            control->field = u"Name";
            control->table = u"Customer";
            control->listSource = control->source = u"Db";
            control->updateOption = kUpdateOnInit;
            return control;
        };
        auto add = [&](FakeControl& c) {
            if (walk.kind == kField) registry.RegisterFieldControl(c);
            if (walk.kind == kList) registry.RegisterListControl(c);
            if (walk.kind == kScroll) registry.RegisterScrollControl(c);
        };
        auto remove = [&](FakeControl& c) {
            registry.UnregisterFieldControl(c);
            registry.UnregisterListControl(c);
            registry.UnregisterScrollControl(c);
        };
        auto first = make(u"A"), second = make(u"B"), third = make(u"C"), added = make(u"D");
        for (FakeControl* c : {first.get(), second.get(), third.get()}) add(*c);
        first->onCall = [&] {
            if (!second) return;
            remove(*second);
            second.reset();
            add(*added);
        };
        walk.run(registry);
        EXPECT_EQ(walk.calls(*first), 1);
        EXPECT_EQ(second, nullptr);
        EXPECT_EQ(walk.calls(*third), 1);
        EXPECT_EQ(walk.calls(*added), 0);
        for (FakeControl* c : {first.get(), third.get(), added.get()}) remove(*c);
    }
}
