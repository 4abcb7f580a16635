// The type library inside zelmor.dll: its identity, the interfaces, event interfaces,
// enumerations and classes, and the dispatch identifiers the controls are called by.
#include <gtest/gtest.h>
#include <ole2.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "LibraryFile.h"
#include "com/ComPtr.h"
#include "com/Variant.h"
#include "module/ClassTable.h"
#include "module/PageClassIds.h"
#include "module/RegistryKey.h"
#include "module/zelmor.h"

using namespace zelmor;
using namespace zelmor::com;
using namespace zelmor::module;
using namespace zelmor::module::testing;

namespace {

struct TypeSummary {
    TYPEKIND kind;
    WORD flags;
    GUID guid;
    WORD functions;
    WORD variables;
};

class ZelmorTypeLibrary : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(LoadTypeLibEx(LibraryPath().c_str(), REGKIND_NONE, library_.Put()), S_OK);
    }

    ComPtr<ITypeInfo> Named(const wchar_t* name) {
        ComPtr<ITypeInfo> info;
        for (UINT i = 0; i < library_->GetTypeInfoCount(); ++i) {
            Bstr found;
            library_->GetDocumentation(i, found.Put(), nullptr, nullptr, nullptr);
            if (found.Text() == name) library_->GetTypeInfo(i, info.Put());
        }
        return info;
    }

    static TypeSummary Summarize(ITypeInfo* info) {
        TYPEATTR* attributes = nullptr;
        info->GetTypeAttr(&attributes);
        TypeSummary summary{attributes->typekind, attributes->wTypeFlags, attributes->guid,
                            attributes->cFuncs, attributes->cVars};
        info->ReleaseTypeAttr(attributes);
        return summary;
    }

    // The vtable part of a dual interface: its own members, without IDispatch's.
    static ComPtr<ITypeInfo> VtablePart(ITypeInfo* dual) {
        HREFTYPE reference = 0;
        ComPtr<ITypeInfo> part;
        if (SUCCEEDED(dual->GetRefTypeOfImplType(-1, &reference))) {
            dual->GetRefTypeInfo(reference, part.Put());
        }
        return part;
    }

    DISPID IdOf(const wchar_t* type, const wchar_t* member) {
        ComPtr<ITypeInfo> info = Named(type);
        if (!info) return DISPID_UNKNOWN;
        LPOLESTR names[] = {const_cast<LPOLESTR>(member)};
        MEMBERID id = DISPID_UNKNOWN;
        return SUCCEEDED(info->GetIDsOfNames(names, 1, &id)) ? id : DISPID_UNKNOWN;
    }

    ComPtr<ITypeLib> library_;
};

const wchar_t* const kControls[] = {L"ZelBtr",      L"ZelEdit",    L"ZelBtn",     L"ZelComboBox",
                                    L"ZelListBox",  L"ZelHScroll", L"ZelVScroll", L"ZelCheck",
                                    L"ZelOptBtn",   L"ZelGrid",    L"ZelPic",     L"ZelExComboBox",
                                    L"ZelExListBox"};

}  // namespace

TEST_F(ZelmorTypeLibrary, HasItsNameVersionAndLocale) {
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(library_->GetLibAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, LIBID_ZIVORADid)) << GuidText(attributes->guid);
    EXPECT_EQ(attributes->wMajorVerNum, 1);
    EXPECT_EQ(attributes->wMinorVerNum, 1);
    EXPECT_EQ(attributes->lcid, 0x409u);
    EXPECT_EQ(attributes->syskind, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    library_->ReleaseTLibAttr(attributes);
    Bstr name, help;
    ASSERT_EQ(library_->GetDocumentation(-1, name.Put(), help.Put(), nullptr, nullptr), S_OK);
    EXPECT_EQ(name.Text(), L"ZIVORADid");
    EXPECT_EQ(help.Text(), L"Zelmor Controls for Btrieve");
}

TEST_F(ZelmorTypeLibrary, EveryControlHasADualInterfaceEventsAndAClass) {
    for (const wchar_t* control : kControls) {
        std::wstring name(control);
        ComPtr<ITypeInfo> dual = Named((L"I" + name).c_str());
        ComPtr<ITypeInfo> events = Named((L"_D" + name + L"Events").c_str());
        ASSERT_TRUE(dual) << name;
        ASSERT_TRUE(events) << name;
        TypeSummary dualSummary = Summarize(dual.Get());
        EXPECT_EQ(dualSummary.kind, TKIND_DISPATCH) << name;
        EXPECT_TRUE(dualSummary.flags & TYPEFLAG_FDUAL) << name;
        TypeSummary eventSummary = Summarize(events.Get());
        EXPECT_EQ(eventSummary.kind, TKIND_DISPATCH) << name;
        EXPECT_FALSE(eventSummary.flags & TYPEFLAG_FDUAL) << name;

        // The class: its name is the table's (the data control's is ZelmorDb), its default
        // interface and default source are the control's.
        std::wstring className = name == L"ZelBtr" ? L"ZelmorDb" : name;
        ComPtr<ITypeInfo> coclass = Named(className.c_str());
        ASSERT_TRUE(coclass) << className;
        TypeSummary classSummary = Summarize(coclass.Get());
        EXPECT_EQ(classSummary.kind, TKIND_COCLASS);
        EXPECT_TRUE(classSummary.flags & TYPEFLAG_FCONTROL) << className;
        const ClassEntry* entry = FindClass(ClassTable(), classSummary.guid);
        ASSERT_NE(entry, nullptr) << className;
        EXPECT_EQ(std::wstring(entry->className), className);
        EXPECT_EQ(entry->kind, ClassKind::Control);

        std::map<int, GUID> defaults;
        for (UINT i = 0; i < 2; ++i) {
            INT flags = 0;
            HREFTYPE reference = 0;
            ComPtr<ITypeInfo> implemented;
            coclass->GetImplTypeFlags(i, &flags);
            coclass->GetRefTypeOfImplType(i, &reference);
            coclass->GetRefTypeInfo(reference, implemented.Put());
            defaults[flags] = Summarize(implemented.Get()).guid;
        }
        EXPECT_TRUE(IsEqualGUID(defaults[IMPLTYPEFLAG_FDEFAULT], dualSummary.guid)) << name;
        EXPECT_TRUE(
            IsEqualGUID(defaults[IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE], eventSummary.guid))
            << name;
    }
}

TEST_F(ZelmorTypeLibrary, InterfacesHaveTheDocumentedNumberOfEntries) {
    const std::pair<const wchar_t*, WORD> counts[] = {{L"IZelComboBox", 64},
                                                      {L"IZelListBox", 58},
                                                      {L"IZelExComboBox", 88},
                                                      {L"IZelExListBox", 82},
                                                      {L"IZelGrid", 112}};
    for (const auto& expected : counts) {
        ComPtr<ITypeInfo> part = VtablePart(Named(expected.first).Get());
        ASSERT_TRUE(part) << expected.first;
        EXPECT_EQ(Summarize(part.Get()).functions, expected.second) << expected.first;
    }
}

TEST_F(ZelmorTypeLibrary, MembersCarryTheirDispatchIdentifiers) {
    struct Member {
        const wchar_t* type;
        const wchar_t* name;
        DISPID id;
    };
    const Member members[] = {
        {L"IZelBtr", L"About", -552},
        {L"IZelBtr", L"DDFDir", 1},
        {L"IZelBtr", L"DbOpen", 6},
        {L"IZelBtr", L"DbExAccess", 30},
        {L"IZelBtr", L"CacheDDF", 40},
        {L"IZelBtr", L"DbIsNull", 58},
        {L"IZelBtr", L"TabStop", -516},
        {L"IZelEdit", L"Text", -517},
        {L"IZelEdit", L"IMEMode", 11},
        {L"IZelEdit", L"FormatOption", 16},
        {L"IZelBtn", L"Picture", -523},
        {L"IZelBtn", L"Style", 12},
        {L"IZelCheck", L"DbValueIndeterminate", 8},
        {L"IZelOptBtn", L"Alignment", 7},
        {L"IZelHScroll", L"Refresh", 9},
        {L"IZelVScroll", L"Reload", 11},
        {L"IZelPic", L"BlobPath", 6},
        {L"IZelComboBox", L"DbListField", 9},
        {L"IZelComboBox", L"ImeMode", 11},
        {L"IZelComboBox", L"SelText", 24},
        {L"IZelListBox", L"ItemData", 15},
        {L"IZelListBox", L"Reload", 20},
        {L"IZelExComboBox", L"DbListFields", 9},
        {L"IZelExComboBox", L"DbConditions", 25},
        {L"IZelExComboBox", L"DbDelimitChar", 33},
        {L"IZelExComboBox", L"ItemData", 36},
        {L"IZelExListBox", L"DbConditions", 21},
        {L"IZelExListBox", L"DbTabStops", 30},
        {L"IZelExListBox", L"DbListIndexID", 32},
        {L"IZelGrid", L"Refresh", -550},
        {L"IZelGrid", L"Clear", 35},
        {L"IZelGrid", L"AllowUserResizing", 45},
        {L"IZelGrid", L"Reload", 46},
        {L"_DZelBtrEvents", L"BtrieveError", 1},
        {L"_DZelBtnEvents", L"SetData", 2},
        {L"_DZelComboBoxEvents", L"Format", 4},
        {L"_DZelListBoxEvents", L"Format", 3},
        {L"_DZelGridEvents", L"BeforeColUpdate", 10},
        {L"_DZelGridEvents", L"KeyPress", -603},
    };
    for (const Member& member : members) {
        EXPECT_EQ(IdOf(member.type, member.name), member.id) << member.type << "." << member.name;
    }
    // Members a control does not have.
    EXPECT_EQ(IdOf(L"IZelBtn", L"DblClick"), DISPID_UNKNOWN);
    EXPECT_EQ(IdOf(L"_DZelBtnEvents", L"DblClick"), DISPID_UNKNOWN);
    EXPECT_EQ(IdOf(L"IZelExListBox", L"Style"), DISPID_UNKNOWN);
}

TEST_F(ZelmorTypeLibrary, NoTwoMembersOfAnInterfaceShareAnIdentifier) {
    for (const wchar_t* control : kControls) {
        for (const std::wstring& name :
             {L"I" + std::wstring(control), L"_D" + std::wstring(control) + L"Events"}) {
            ComPtr<ITypeInfo> info = Named(name.c_str());
            ASSERT_TRUE(info);
            std::map<MEMBERID, std::wstring> owners;
            WORD count = Summarize(info.Get()).functions;
            for (WORD i = 0; i < count; ++i) {
                FUNCDESC* function = nullptr;
                ASSERT_EQ(info->GetFuncDesc(i, &function), S_OK);
                Bstr member;
                info->GetDocumentation(function->memid, member.Put(), nullptr, nullptr, nullptr);
                auto inserted = owners.emplace(function->memid, member.Text());
                // A property's accessors share one identifier; nothing else may.
                EXPECT_EQ(inserted.first->second, member.Text()) << name << " " << function->memid;
                info->ReleaseFuncDesc(function);
            }
        }
    }
}

TEST_F(ZelmorTypeLibrary, EnumerationsHaveTheirMembersAndValues) {
    struct Enumeration {
        const wchar_t* name;
        WORD members;
        const wchar_t* last;
        int lastValue;
    };
    const Enumeration enumerations[] = {
        {L"_enumOpenMode", 7, L"OpenMfsh", 6},
        {L"_enumBorderStyle", 2, L"BorderSingleLine", 1},
        {L"_enumMousePointer", 17, L"mpUserDefined", 99},
        {L"_enumAlignment", 3, L"AlignCenter", 2},
        {L"_enumImeMode", 9, L"ImeHanEnglish", 8},
        {L"_enumFormatOption", 4, L"FormatEveryRight", 3},
        {L"_enumDbOperation", 18, L"DbUpdateNCC", 17},
        {L"_enumLocks", 5, L"LockMultiNoWait", 4},
        {L"_enumBtnStyle", 2, L"btnStyleGraphics", 1},
        {L"_enumCheckAlignment", 2, L"checkAlignRight", 1},
        {L"_enumOptBtnAlignment", 2, L"optAlignRight", 1},
        {L"_enumComboStyle", 3, L"DropDownList", 2},
        {L"_enumUpdateOption", 3, L"UpdateOnFocus", 2},
        {L"_enumDbCompareCase", 2, L"CaseIgnore", 1},
        {L"_enumExOpCode", 4, L"OpStepNextEx", 3},
        {L"_enumGridUpdateOption", 2, L"UpdateGridInitial", 1},
        {L"_enumGridFillStyle", 2, L"gridFillSel", 1},
        {L"_enumGridSc", 4, L"gridScBoth", 3},
        {L"_enumGridResizing", 4, L"gridResizeBoth", 3},
    };
    for (const Enumeration& expected : enumerations) {
        ComPtr<ITypeInfo> info = Named(expected.name);
        ASSERT_TRUE(info) << expected.name;
        TypeSummary summary = Summarize(info.Get());
        EXPECT_EQ(summary.kind, TKIND_ENUM) << expected.name;
        ASSERT_EQ(summary.variables, expected.members) << expected.name;
        VARDESC* last = nullptr;
        ASSERT_EQ(info->GetVarDesc(summary.variables - 1, &last), S_OK);
        Bstr name;
        info->GetDocumentation(last->memid, name.Put(), nullptr, nullptr, nullptr);
        EXPECT_EQ(name.Text(), expected.last);
        EXPECT_EQ(V_I4(last->lpvarValue), expected.lastValue) << expected.name;
        info->ReleaseVarDesc(last);
    }
}

TEST_F(ZelmorTypeLibrary, EveryIdentifierIsUnique) {
    std::set<std::wstring> seen;
    for (UINT i = 0; i < library_->GetTypeInfoCount(); ++i) {
        ComPtr<ITypeInfo> info;
        library_->GetTypeInfo(i, info.Put());
        GUID guid = Summarize(info.Get()).guid;
        if (IsEqualGUID(guid, GUID_NULL)) continue;  // enumerations
        EXPECT_TRUE(seen.insert(GuidText(guid)).second) << GuidText(guid);
    }
    for (const ClassEntry& entry : ClassTable()) {
        if (entry.kind == ClassKind::PropertyPage) {
            EXPECT_TRUE(seen.insert(GuidText(*entry.clsid)).second) << entry.className;
        }
    }
    EXPECT_EQ(seen.size(), 13u * 3 + 15);
    EXPECT_FALSE(seen.count(GuidText(kApplicationId)));
}
