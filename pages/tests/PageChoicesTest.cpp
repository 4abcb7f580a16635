// What the pages offer from a dictionary and how they check a condition, on the sample
// dictionary: the names of tables, fields and keys, the field lists as a box edits them, and
// the messages of bad conditions, caught rather than shown.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/DictionaryLoader.h"
#include "core/tests/SampleDictionary.h"
#include "core/tests/TestDirectory.h"
#include "pages/PageChoices.h"
#include "pages/PageDefinitions.h"
#include "platform/RecordingPlatform.h"

using namespace zelmor;
using namespace zelmor::pages;
using Names = std::vector<std::string>;

namespace {

class PageChoicesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        zelmor::testing::WriteSampleDictionary(directory.Path());
        ASSERT_EQ(LoadDictionaryFull(directory.Path(), context), 0);
    }

    const TableDef& Table(const std::string& name) {
        const TableDef* table = FindTable(*context, name);
        EXPECT_NE(table, nullptr) << name;
        return *table;
    }

    zelmor::testing::TestDirectory directory;
    platform::RecordingPlatform platform;
    platform::ScopedPlatform scope{platform};
    std::unique_ptr<FormContext> context;
};

TEST_F(PageChoicesTest, TablesFieldsAndKeysComeInTheDictionarysOrder) {
    EXPECT_EQ(TableChoices(*context), (Names{"Customer", "Orders", "Memo", "Pictures"}));
    EXPECT_EQ(FieldChoices(*context, "Customer"),
              (Names{"Code", "Name", "Kind", "Joined", "Note"}));
    // A named key by its name, the others by the field of their first segment.
    EXPECT_EQ(IndexChoices(*context, "Customer"), (Names{"Code", "ByKind"}));
    EXPECT_EQ(IndexChoices(*context, "Orders"), (Names{"No", "Customer"}));
    // A table typed in another letter case is still found; an unknown one offers nothing.
    EXPECT_EQ(FieldChoices(*context, "ORDERS"), (Names{"No", "Customer", "Qty"}));
    EXPECT_TRUE(FieldChoices(*context, "Nothing").empty());
    EXPECT_TRUE(IndexChoices(*context, "").empty());
}

TEST_F(PageChoicesTest, ATableLoadedWithoutItsFieldsHasThemReadWhenAsked) {
    std::unique_ptr<FormContext> delayed;
    ASSERT_EQ(LoadDictionaryDelayed(directory.Path(), delayed), 0);
    ASSERT_FALSE(delayed->TableByName("Orders")->definitionsLoaded);
    EXPECT_EQ(TableChoices(*delayed), (Names{"Customer", "Orders", "Memo", "Pictures"}));
    EXPECT_EQ(FieldChoices(*delayed, "Orders"), (Names{"No", "Customer", "Qty"}));
    EXPECT_TRUE(delayed->TableByName("Orders")->definitionsLoaded);
    EXPECT_EQ(IndexChoices(*delayed, "Orders"), (Names{"No", "Customer"}));

    // A dictionary that is gone by then offers nothing, and says nothing.
    std::unique_ptr<FormContext> gone;
    ASSERT_EQ(LoadDictionaryDelayed(directory.Path(), gone), 0);
    gone->directory = directory.Path() + "/missing";
    EXPECT_TRUE(FieldChoices(*gone, "Customer").empty());
    EXPECT_EQ(FindTableWithFields(*gone, "Customer"), nullptr);
    EXPECT_TRUE(platform.Messages().empty());
}

TEST(FieldListTest, SplitsOnCommasAndDropsBlanksAndEmptyNames) {
    const struct {
        const char* list;
        Names names;
    } cases[] = {
        {"", {}},
        {"Code", {"Code"}},
        {" Code , Name,,Kind ", {"Code", "Name", "Kind"}},
        {",,", {}},
        {"氏名,Code", {"氏名", "Code"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitFieldList(c.list), c.names) << c.list;
    }
    EXPECT_EQ(JoinFieldList({"Name", "Code"}), "Name,Code");
    EXPECT_EQ(JoinFieldList({}), "");
}

TEST(FieldListTest, ASelectionKeepsTheListedOrderAndWhatTheBoxDoesNotOffer) {
    const Names choices = {"Code", "Name", "Kind"};
    const struct {
        const char* what;
        Names listed;
        std::vector<bool> selected;
        Names result;
    } cases[] = {
        {"unchanged, in the listed order", {"Name", "Code"}, {true, true, false}, {"Name", "Code"}},
        {"a new choice goes last", {"Name", "Code"}, {true, true, true}, {"Name", "Code", "Kind"}},
        {"an unselected one goes", {"Name", "Code"}, {false, true, false}, {"Name"}},
        {"numbers and unknown names stay",
         {"3", "Name", "Other"},
         {false, false, true},
         {"3", "Other", "Kind"}},
        {"letter case of the listed name kept", {"name"}, {false, true, false}, {"name"}},
        {"a name listed twice is kept once", {"Code", "Code"}, {true, false, false}, {"Code"}},
        {"nothing listed", {}, {false, false, false}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MergeFieldSelection(c.listed, choices, c.selected), c.result) << c.what;
    }
}

TEST_F(PageChoicesTest, AConditionGetsTheMessageOfItsFirstFaultWithoutShowingIt) {
    const struct {
        const char* table;
        const char* condition;
        const char* message;  // how the message begins; empty for a good condition
    } cases[] = {
        {"Customer", "", ""},
        {"Customer", "   ", ""},
        {"Customer", "@Code = 1", ""},
        {"Customer", "@Name = 'A' & @Code >= 2", ""},
        {"Customer", "@1 <> 3 | @Kind = @Name", ""},
        {"Customer", "Code = 1", "VE041"},
        {"Customer", "@Nothing = 1", "VE818"},
        {"Customer", "@9 = 1", "VE025"},
        {"Customer", "@Code ! 1", "VE042"},
        {"Customer", "@Code =", "VE046"},
        {"Memo", "@Body = x", "VE043"},
    };
    for (const auto& c : cases) {
        const std::string message = CheckCondition(Table(c.table), c.condition, false);
        EXPECT_EQ(message.substr(0, 5), c.message) << c.condition << ": " << message;
    }
    EXPECT_TRUE(platform.Messages().empty()) << "a check shows no box";
}

TEST_F(PageChoicesTest, TheMessageNamesWhatIsWrong) {
    const std::string message = CheckCondition(Table("Customer"), "@Nothing = 1", false);
    EXPECT_NE(message.find("Nothing"), std::string::npos) << message;
}

// The pages' tables agree with themselves: every box that offers a dictionary's names says
// where the names come from, and every choice list has its values once.
TEST(PageDefinitionsTest, DictionaryBoxesNameTheirSourceAndChoicesAreUnique) {
    ASSERT_EQ(PageDefinitionCount(), 15u);
    for (std::size_t p = 0; p < PageDefinitionCount(); ++p) {
        const PageDefinition& page = PageDefinitions()[p];
        for (const PropertyField& field : page) {
            const std::wstring name = field.name;
            SCOPED_TRACE(std::string(name.begin(), name.end()));
            EXPECT_EQ(page.IndexOf(field.name), &field - page.fields) << "named once";
            switch (field.kind) {
                case FieldKind::Table:
                    EXPECT_NE(field.sourceProperty, nullptr);
                    break;
                case FieldKind::Field:
                case FieldKind::Index:
                case FieldKind::FieldList:
                case FieldKind::Condition:
                    EXPECT_NE(field.sourceProperty, nullptr);
                    EXPECT_NE(field.tableProperty, nullptr);
                    break;
                case FieldKind::Choice:
                    ASSERT_GT(field.choiceCount, 0u);
                    for (std::size_t c = 0; c < field.choiceCount; ++c) {
                        EXPECT_EQ(ChoiceName(field, field.choices[c].value), field.choices[c].name);
                    }
                    break;
                default:
                    break;
            }
        }
    }
    EXPECT_EQ(FindPageDefinition(L"ZelGridPpg"), PageDefinitions() + 10);
    EXPECT_EQ(FindPageDefinition(L"ZelGrid"), nullptr);
}

}  // namespace
