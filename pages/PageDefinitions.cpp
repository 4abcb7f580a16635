#include "pages/PageDefinitions.h"

#include "pages/PageResources.h"

namespace zelmor::pages {

namespace {

// The fixed values, named as the type library names them.
const Choice kOpenModes[] = {{0, "OpenNormal"}, {1, "OpenAccel"},     {2, "OpenReadOnly"},
                             {3, "OpenVerify"}, {4, "OpenExclusive"}, {5, "OpenSfsh"},
                             {6, "OpenMfsh"}};
const Choice kOperations[] = {{0, "DbInsert"},
                              {1, "DbUpdate"},
                              {2, "DbDelete"},
                              {3, "DbGetEqual"},
                              {4, "DbGetFirst"},
                              {5, "DbGetLast"},
                              {6, "DbGetNext"},
                              {7, "DbGetPrevious"},
                              {8, "DbGetGreater"},
                              {9, "DbGetLessThan"},
                              {10, "DbGetGreaterOrEqual"},
                              {11, "DbGetLessThanOrEuqal"},
                              {12, "DbStepFirst"},
                              {13, "DbStepLast"},
                              {14, "DbStepNext"},
                              {15, "DbStepPrevious"},
                              {16, "DbInsertNCC"},
                              {17, "DbUpdateNCC"}};
const Choice kLocks[] = {{0, "LockNone"},
                         {1, "LockSingleWait"},
                         {2, "LockSingleNoWait"},
                         {3, "LockMultiWait"},
                         {4, "LockMultiNoWait"}};
const Choice kButtonStyles[] = {{0, "btnStyleStandard"}, {1, "btnStyleGraphics"}};
const Choice kEditAlignments[] = {{0, "AlignLeft"}, {1, "AlignRight"}, {2, "AlignCenter"}};
const Choice kChoiceAlignments[] = {{0, "AlignLeft"}, {1, "AlignRight"}};
const Choice kImeModes[] = {{0, "ImeNone"},     {1, "ImeOn"},         {2, "ImeOff"},
                            {3, "ImeOffFixed"}, {4, "ImeZenHira"},    {5, "ImeZenKata"},
                            {6, "ImeHanKata"},  {7, "ImeZenEnglish"}, {8, "ImeHanEnglish"}};
const Choice kFormatOptions[] = {
    {0, "FormatNone"}, {1, "FormatEveryChar"}, {2, "FormatRightAlign"}, {3, "FormatEveryRight"}};
const Choice kComboStyles[] = {{0, "DropDownCombo"}, {1, "NormalCombo"}, {2, "DropDownList"}};
const Choice kUpdateOptions[] = {{0, "UpdateNone"}, {1, "UpdateOnInit"}, {2, "UpdateOnFocus"}};
const Choice kGridUpdateOptions[] = {{0, "UpdateGridNone"}, {1, "UpdateGridInitial"}};
const Choice kCompareCases[] = {{0, "CaseSensitive"}, {1, "CaseIgnore"}};
const Choice kExOperations[] = {
    {0, "OpGetPrevEx"}, {1, "OpGetNextEx"}, {2, "OpStepPrevEx"}, {3, "OpStepNextEx"}};
const Choice kGridScrollBars[] = {
    {0, "gridScNone"}, {1, "gridScHorz"}, {2, "gridScVert"}, {3, "gridScBoth"}};

constexpr FieldKind kText = FieldKind::Text;
constexpr FieldKind kNumber = FieldKind::Number;
constexpr FieldKind kCheck = FieldKind::Check;

template <std::size_t N>
constexpr PropertyField ChoiceField(const wchar_t* name, const Choice (&choices)[N]) {
    return PropertyField{name, FieldKind::Choice, choices, N, nullptr, nullptr};
}

// The boxes filled from the dictionary of the data control the source property names.
constexpr PropertyField Dictionary(const wchar_t* name, FieldKind kind, const wchar_t* source,
                                   const wchar_t* table) {
    return PropertyField{name, kind, nullptr, 0, source, table};
}
constexpr PropertyField kBoundTable =
    Dictionary(L"DbTable", FieldKind::Table, L"DbSource", nullptr);
constexpr PropertyField kBoundField =
    Dictionary(L"DbField", FieldKind::Field, L"DbSource", L"DbTable");
constexpr PropertyField kBoundIndex =
    Dictionary(L"DbIndex", FieldKind::Index, L"DbSource", L"DbTable");
constexpr PropertyField kListTable =
    Dictionary(L"DbListTable", FieldKind::Table, L"DbListSource", nullptr);
constexpr PropertyField kListField =
    Dictionary(L"DbListField", FieldKind::Field, L"DbListSource", L"DbListTable");
constexpr PropertyField kListIndex =
    Dictionary(L"DbListIndex", FieldKind::Index, L"DbListSource", L"DbListTable");
constexpr PropertyField kListFields =
    Dictionary(L"DbListFields", FieldKind::FieldList, L"DbListSource", L"DbListTable");
constexpr PropertyField kListConditions =
    Dictionary(L"DbConditions", FieldKind::Condition, L"DbListSource", L"DbListTable");

const PropertyField kDataControl[] = {
    {L"DDFDir", FieldKind::Folder}, {L"OwnerName", kText}, ChoiceField(L"OpenMode", kOpenModes),
    {L"AllOpen", kCheck},           {L"DistName", kText},  {L"CacheDDF", kCheck},
};

const PropertyField kButton[] = {
    {L"DbSource", kText},
    kBoundTable,
    kBoundIndex,
    ChoiceField(L"DbOperation", kOperations),
    ChoiceField(L"DbLocks", kLocks),
    {L"ConfirmMsg", kText},
    {L"Caption", kText},
    ChoiceField(L"Style", kButtonStyles),
    {L"ClearControlData", kCheck},
    {L"Default", kCheck},
    {L"Cancel", kCheck},
};

const PropertyField kEdit[] = {
    {L"DbSource", kText},
    kBoundTable,
    kBoundField,
    {L"Format", kText},
    ChoiceField(L"FormatOption", kFormatOptions),
    {L"MaxLength", kNumber},
    {L"PasswordChar", kText},
    ChoiceField(L"Alignment", kEditAlignments),
    ChoiceField(L"IMEMode", kImeModes),
    {L"MultiLine", kCheck},
    {L"ReadOnly", kCheck},
    {L"UpperCase", kCheck},
};

const PropertyField kListBox[] = {
    {L"DbSource", kText}, kBoundTable,
    kBoundField,          {L"DbListSource", kText},
    kListTable,           kListField,
    kListIndex,           ChoiceField(L"DbUpdateOption", kUpdateOptions),
    {L"Sort", kCheck},    {L"IntegralHeight", kCheck},
};

const PropertyField kComboBox[] = {
    {L"DbSource", kText},
    kBoundTable,
    kBoundField,
    {L"DbListSource", kText},
    kListTable,
    kListField,
    kListIndex,
    ChoiceField(L"DbUpdateOption", kUpdateOptions),
    ChoiceField(L"Style", kComboStyles),
    ChoiceField(L"ImeMode", kImeModes),
    {L"Sort", kCheck},
};

const PropertyField kCheckBox[] = {
    {L"DbSource", kText},
    kBoundTable,
    kBoundField,
    {L"DbValueTrue", kText},
    {L"DbValueFalse", kText},
    {L"DbValueIndeterminate", kText},
    {L"Caption", kText},
    ChoiceField(L"Alignment", kChoiceAlignments),
};

const PropertyField kOptionButton[] = {
    {L"DbSource", kText},
    kBoundTable,
    kBoundField,
    {L"DbValueTrue", kText},
    {L"DbValueFalse", kText},
    {L"Caption", kText},
    ChoiceField(L"Alignment", kChoiceAlignments),
};

const PropertyField kPicture[] = {
    {L"DbSource", kText}, kBoundTable, kBoundField, {L"BlobPath", kText}, {L"Stretch", kCheck},
};

const PropertyField kScrollBar[] = {
    {L"DbSource", kText},      kBoundTable,       kBoundIndex,
    {L"Min", kNumber},         {L"Max", kNumber}, {L"SmallChange", kNumber},
    {L"LargeChange", kNumber},
};

const PropertyField kGrid[] = {
    {L"DbListSource", kText},
    kListTable,
    kListIndex,
    kListFields,
    kListConditions,
    ChoiceField(L"DbExOperation", kExOperations),
    ChoiceField(L"DbCompareCase", kCompareCases),
    ChoiceField(L"DbUpdateOption", kGridUpdateOptions),
    {L"Rows", kNumber},
    {L"Cols", kNumber},
    {L"FixedRows", kNumber},
    {L"FixedCols", kNumber},
    ChoiceField(L"ScrollBars", kGridScrollBars),
    {L"AllowUpdate", kCheck},
};

// The extended lists' first page: what the plain lists have, with the extended operation.
const PropertyField kExtendedList[] = {
    {L"DbSource", kText},
    kBoundTable,
    kBoundField,
    {L"DbListSource", kText},
    kListTable,
    kListIndex,
    ChoiceField(L"DbExOperation", kExOperations),
    ChoiceField(L"DbLocks", kLocks),
    ChoiceField(L"DbUpdateOption", kUpdateOptions),
    {L"DbMaxRecords", kNumber},
    {L"DbDelimitChar", kText},
    {L"Sort", kCheck},
};

// Their second page: the fields each line shows and the condition of the records.
const PropertyField kExtendedListFields[] = {
    kListFields,
    kListConditions,
    ChoiceField(L"DbCompareCase", kCompareCases),
    {L"DbSkipRecords", kNumber},
};

template <std::size_t N>
constexpr PageDefinition Page(const wchar_t* className, int dialog, const wchar_t* title,
                              const wchar_t* help, const PropertyField (&fields)[N]) {
    return PageDefinition{className, dialog, title, help, fields, N};
}

const wchar_t kGeneral[] = L"全般";
const wchar_t kExtraction[] = L"抽出";
const wchar_t kBoundHelp[] = L"データ コントロール、テーブルとフィールドの結び付けと表示の設定";
const wchar_t kListHelp[] = L"結び付けるフィールドと、一覧を読むテーブルとキーの設定";

const PageDefinition kPages[] = {
    Page(L"ZelBtrPpg", IDD_PAGE_ZELBTR, kGeneral,
         L"辞書のフォルダー、所有者名、オープン モードとキャッシュの設定", kDataControl),
    Page(L"ZelBtnPpg", IDD_PAGE_ZELBTN, kGeneral,
         L"ボタンが実行する操作、テーブル、キーとロックの設定", kButton),
    Page(L"ZelEditPpg", IDD_PAGE_ZELEDIT, kGeneral, kBoundHelp, kEdit),
    Page(L"ZelListBoxPpg", IDD_PAGE_ZELLISTBOX, kGeneral, kListHelp, kListBox),
    Page(L"ZelComboBoxPpg", IDD_PAGE_ZELCOMBOBOX, kGeneral, kListHelp, kComboBox),
    Page(L"ZelCheckPpg", IDD_PAGE_ZELCHECK, kGeneral, kBoundHelp, kCheckBox),
    Page(L"ZelOptBtnPpg", IDD_PAGE_ZELOPTBTN, kGeneral, kBoundHelp, kOptionButton),
    Page(L"ZelPicPpg", IDD_PAGE_ZELPIC, kGeneral, kBoundHelp, kPicture),
    Page(L"ZelHScrollPpg", IDD_PAGE_ZELHSCROLL, kGeneral,
         L"スクロール バーが移動するテーブルとキー、範囲と移動量の設定", kScrollBar),
    Page(L"ZelVScrollPpg", IDD_PAGE_ZELVSCROLL, kGeneral,
         L"スクロール バーが移動するテーブルとキー、範囲と移動量の設定", kScrollBar),
    Page(L"ZelGridPpg", IDD_PAGE_ZELGRID, kGeneral,
         L"グリッドに読むテーブル、フィールド、検索条件と行と列の設定", kGrid),
    Page(L"ZelExComboBoxPpg", IDD_PAGE_ZELEXCOMBOBOX, kGeneral, kListHelp, kExtendedList),
    Page(L"ZelExListBoxPpg", IDD_PAGE_ZELEXLISTBOX, kGeneral, kListHelp, kExtendedList),
    Page(L"ZelExComboBoxPpg2", IDD_PAGE_ZELEXCOMBOBOX2, kExtraction,
         L"一覧の各行に並べるフィールドとレコードの検索条件", kExtendedListFields),
    Page(L"ZelExListBoxPpg2", IDD_PAGE_ZELEXLISTBOX2, kExtraction,
         L"一覧の各行に並べるフィールドとレコードの検索条件", kExtendedListFields),
};

}  // namespace

int PageDefinition::IndexOf(const std::wstring& property) const {
    for (std::size_t i = 0; i < fieldCount; ++i) {
        if (property == fields[i].name) return static_cast<int>(i);
    }
    return -1;
}

const PageDefinition* PageDefinitions() {
    return kPages;
}

std::size_t PageDefinitionCount() {
    return sizeof kPages / sizeof kPages[0];
}

const PageDefinition* FindPageDefinition(const std::wstring& className) {
    for (const PageDefinition& page : kPages) {
        if (className == page.className) return &page;
    }
    return nullptr;
}

const char* ChoiceName(const PropertyField& field, int value) {
    for (std::size_t i = 0; i < field.choiceCount; ++i) {
        if (field.choices[i].value == value) return field.choices[i].name;
    }
    return nullptr;
}

}  // namespace zelmor::pages
