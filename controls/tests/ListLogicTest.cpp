// The list fills on a real table of the sample dictionary, along a key and by extended
// operations, with a fake list window recording its items and the events.
#include <gtest/gtest.h>

#include <functional>

#include "controls/ListLogic.h"
#include "controls/tests/SampleForm.h"
#include "values/PendingLine.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

class FakeList : public ListView {
  public:
    void HoldDrawing(bool hold) override { held += hold ? 1 : -1; }
    void ClearItems() override {
        items.clear();
        data.clear();
    }
    int AddItem(const std::string& text) override {
        items.push_back(text);
        data.push_back(0);
        return static_cast<int>(items.size()) - 1;
    }
    void SetItemData(int index, std::uint32_t value) override {
        data[static_cast<std::size_t>(index)] = value;
    }
    void RaiseFormat(std::string& line) override {
        ++formats;
        if (onFormat) onFormat(line);
    }
    void RaiseBtrieveError(const std::string& table, int status) override {
        errors.push_back(table + ":" + std::to_string(status));
    }
    void ShowValue(const std::string& text) override { shown = text; }
    std::string ShownValue() override { return shown; }
    void ClearValue() override { shown.clear(); }

    std::vector<std::string> items;
    std::vector<std::uint32_t> data;
    std::vector<std::string> errors;
    std::string shown;
    int formats = 0;
    int held = 0;  // back to 0 after every fill
    std::function<void(std::string&)> onFormat;
};

class ListLogicTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (ListLogic* list : {&plain, &extended}) {
            list->dbListSource = u"Data1";
            list->dbListTable = u"Customer";
        }
        plain.dbListField = u"Name";
        extended.dbListField = u"Code,Name";
    }
    void Insert(int code, const std::string& name, const std::string& kind) {
        form.InsertCustomer(code, name, kind);
    }
    void InsertSample() {
        Insert(3, "Cho", "B");
        Insert(1, "Abe", "A");
        Insert(2, "", "A");  // a name that converts to an empty text
        Insert(4, "Dan", "A");
    }

    SampleForm form;
    TableDef* customer = form.customer;
    BindingRegistry& registry = form.registry;
    FakeControlHost host{u"List1"};
    FakeList window, exWindow;
    ListLogic plain{ControlKind::ListBox, host, registry, window};
    ListLogic extended{ControlKind::ExListBox, host, registry, exWindow};
};

}  // namespace

TEST_F(ListLogicTest, KeyFillTakesEveryRecordAlongTheKeyAndRestoresThePosition) {
    InsertSample();
    ASSERT_EQ(DbAccessByID(*customer, 12, 0), 0);  // the form shows customer 1
    const std::int32_t shown = DbGetPosition(*customer);
    plain.FillList();
    EXPECT_EQ(window.items, (std::vector<std::string>{"Abe", "Cho", "Dan"}));  // empty skipped
    EXPECT_EQ(window.formats, 4);
    EXPECT_EQ(window.held, 0);  // drawing is given back
    EXPECT_EQ(DbGetPosition(*customer), shown);

    plain.dbListIndex = u"ByKind";  // Kind, then Name
    plain.FillList();
    EXPECT_EQ(plain.listIndexId, 1);
    EXPECT_EQ(window.items, (std::vector<std::string>{"Abe", "Dan", "Cho"}));
}

TEST_F(ListLogicTest, FormatHandlersReplaceDropAbortOrHandOverTheLine) {
    InsertSample();
    struct Case {
        const char* what;
        std::function<void(std::string&)> handler;
        std::vector<std::string> items;
    } cases[] = {
        {"replace", [](std::string& line) { line = "<" + line + ">"; },
         {"<Abe>", "<>", "<Cho>", "<Dan>"}},
        {"drop one", [](std::string& line) { if (line == "Cho") line.clear(); }, {"Abe", "Dan"}},
        {"abort at once", [&](std::string&) { plain.abort = true; }, {}},
        {"formatted string wins",
         [](std::string& line) {
             if (line == "Dan") TableFillPendingLine().Set("from the program");
         },
         {"Abe", "Cho", "from the program"}},
    };
    for (const Case& c : cases) {
        window.items = {"old"};
        window.onFormat = c.handler;
        plain.FillList();
        EXPECT_EQ(window.items, c.items) << c.what;
    }
}

TEST_F(ListLogicTest, WhatCannotBeReadLeavesTheListAsItWas) {
    window.items = {"kept"};
    plain.FillList();  // an empty table
    plain.dbListField = u"name";  // the field's name is compared exactly
    InsertSample();
    plain.FillList();
    plain.dbListField = u"Name";
    plain.dbListTable = u"Nowhere";
    plain.FillList();
    EXPECT_EQ(window.items, std::vector<std::string>{"kept"});
    EXPECT_EQ(window.formats, 0);
}

TEST_F(ListLogicTest, KeyFillOpensTheTableOnDemand) {
    InsertSample();
    ASSERT_EQ(CloseTable(*customer), 0);
    plain.FillList();
    EXPECT_TRUE(customer->open);
    EXPECT_EQ(window.items.size(), 3u);
}

TEST_F(ListLogicTest, AHandlerThatClosesTheTableEndsTheFill) {
    InsertSample();
    window.onFormat = [&](std::string&) { CloseTable(*customer); };
    plain.FillList();
    EXPECT_TRUE(window.items.empty());
    EXPECT_FALSE(customer->open);
}

TEST_F(ListLogicTest, ExtendedFillJoinsFieldsKeepsEmptyItemsAndFilters) {
    InsertSample();
    struct Case {
        ControlKind kind;
        const char* tabStops;
        const char* delimit;
        std::vector<std::string> items;
    } cases[] = {
        {ControlKind::ExListBox, "", "/", {"1 Abe", "2 ", "3 Cho", "4 Dan"}},
        {ControlKind::ExListBox, "8", "", {"1\tAbe", "2\t", "3\tCho", "4\tDan"}},
        {ControlKind::ExComboBox, "", " / ", {"1 / Abe", "2 / ", "3 / Cho", "4 / Dan"}},
    };
    for (const Case& c : cases) {
        FakeList list;
        ListLogic logic(c.kind, host, registry, list);
        logic.dbListSource = u"Data1";
        logic.dbListTable = u"Customer";
        logic.dbListField = u"Code,Name";
        logic.extended.tabStops = c.tabStops;
        logic.extended.delimitChar = c.delimit;
        logic.FillList();
        EXPECT_EQ(list.items, c.items) << c.delimit;
    }
    extended.extended.conditions = "@Kind = A";
    extended.dbListField = u"Name";
    extended.extended.savePosition = true;
    extended.FillList();
    EXPECT_EQ(exWindow.items, (std::vector<std::string>{"Abe", "", "Dan"}));
    EXPECT_NE(exWindow.data[0], 0u);  // the record's position
}

TEST_F(ListLogicTest, ExtendedFillReportsTheRejectCountAndKeepsWhatItFound) {
    Insert(1, "First", "A");
    for (int code = 2; code <= 31; ++code) Insert(code, "N" + std::to_string(code), "B");
    Insert(32, "Last", "A");
    extended.dbListField = u"Name";
    extended.extended.conditions = "@Kind = A";
    extended.extended.skipRecords = 5;
    extended.FillList();
    EXPECT_EQ(exWindow.errors, std::vector<std::string>{"Customer:60"});
    EXPECT_EQ(exWindow.items, std::vector<std::string>{"First"});
}

TEST_F(ListLogicTest, EveryFillThatKeepsItsRepliesTakesANewResultSet) {
    InsertSample();
    extended.extended.leaveResults = true;
    extended.FillList();
    const std::int16_t first = extended.resultId;
    extended.FillList();
    EXPECT_NE(extended.resultId, first);
    EXPECT_EQ(exWindow.items.size(), 4u);
}
