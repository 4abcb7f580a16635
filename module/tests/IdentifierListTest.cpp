// The published identifiers (module/Identifiers.txt) against what the built library carries:
// the type library inside zelmor.dll and the class table. A changed identifier would orphan
// every saved form and compiled client, so any difference fails, named.
#include <gtest/gtest.h>
#include <ole2.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "LibraryFile.h"
#include "com/ComPtr.h"
#include "com/Variant.h"
#include "module/ClassTable.h"
#include "module/RegistryKey.h"

using namespace zelmor;
using namespace zelmor::com;
using namespace zelmor::module;
using namespace zelmor::module::testing;

namespace {

struct Published {
    std::string kind;  // library, appid, class, page, interface, events
    std::wstring name;
    std::wstring identifier;  // {XXXXXXXX-...}, upper case
};

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

// The list's rows in their order; blank lines and # comments left out.
std::vector<Published> ReadList() {
    std::vector<Published> rows;
    std::ifstream file(ZELMOR_IDENTIFIERS_FILE);
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string kind, name, identifier, more;
        fields >> kind >> name >> identifier;
        EXPECT_FALSE(identifier.empty()) << "incomplete row: " << line;
        EXPECT_FALSE(fields >> more) << "extra text in row: " << line;
        rows.push_back({kind, Widen(name), Widen(identifier)});
    }
    return rows;
}

// The rows of the given kinds, name to identifier.
std::map<std::wstring, std::wstring> RowsOf(const std::vector<Published>& rows,
                                            std::initializer_list<const char*> kinds) {
    std::map<std::wstring, std::wstring> named;
    for (const Published& row : rows) {
        for (const char* kind : kinds) {
            if (row.kind == kind) named[row.name] = row.identifier;
        }
    }
    return named;
}

// What kind of row a type of the library is; empty for types without an identifier of their
// own (enumerations).
std::string KindOf(const TYPEATTR& attributes) {
    if (IsEqualGUID(attributes.guid, GUID_NULL)) return "";
    switch (attributes.typekind) {
        case TKIND_COCLASS: return "class";
        case TKIND_DISPATCH:
            return (attributes.wTypeFlags & TYPEFLAG_FDUAL) ? "interface" : "events";
        case TKIND_INTERFACE: return "interface";
        default: return "other";
    }
}

class IdentifierList : public ::testing::Test {
  protected:
    void SetUp() override {
        rows_ = ReadList();
        ASSERT_FALSE(rows_.empty()) << "cannot read " << ZELMOR_IDENTIFIERS_FILE;
    }
    std::vector<Published> rows_;
};

}  // namespace

TEST_F(IdentifierList, NamesAndIdentifiersAppearOnce) {
    std::map<std::wstring, int> names, identifiers;
    for (const Published& row : rows_) {
        EXPECT_EQ(++names[row.name], 1) << "name listed twice";
        EXPECT_EQ(++identifiers[row.identifier], 1) << "identifier listed twice";
    }
}

TEST_F(IdentifierList, TypeLibraryCarriesExactlyTheListedIdentifiers) {
    ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadTypeLibEx(LibraryPath().c_str(), REGKIND_NONE, library.Put()), S_OK);
    TLIBATTR* libraryAttributes = nullptr;
    ASSERT_EQ(library->GetLibAttr(&libraryAttributes), S_OK);
    Bstr libraryName;
    library->GetDocumentation(-1, libraryName.Put(), nullptr, nullptr, nullptr);
    EXPECT_EQ(RowsOf(rows_, {"library"}),
              (std::map<std::wstring, std::wstring>{
                  {libraryName.Text(), GuidText(libraryAttributes->guid)}}));
    library->ReleaseTLibAttr(libraryAttributes);

    std::map<std::wstring, std::wstring> carried;
    for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
        ComPtr<ITypeInfo> info;
        ASSERT_EQ(library->GetTypeInfo(i, info.Put()), S_OK);
        TYPEATTR* attributes = nullptr;
        ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
        std::string kind = KindOf(*attributes);
        std::wstring identifier = GuidText(attributes->guid);
        info->ReleaseTypeAttr(attributes);
        if (kind.empty()) continue;
        Bstr name;
        library->GetDocumentation(i, name.Put(), nullptr, nullptr, nullptr);
        // The kind takes part in the comparison: an event interface listed as a class is drift.
        carried[Widen(kind) + L" " + name.Text()] = identifier;
    }
    std::map<std::wstring, std::wstring> listed;
    for (const Published& row : rows_) {
        if (row.kind == "class" || row.kind == "interface" || row.kind == "events") {
            listed[Widen(row.kind) + L" " + row.name] = row.identifier;
        }
    }
    EXPECT_EQ(carried, listed);
}

TEST_F(IdentifierList, ClassTableHasTheListedClassesInTheirOrder) {
    std::vector<std::pair<std::wstring, std::wstring>> table, listed;
    for (const ClassEntry& entry : ClassTable()) {
        std::wstring kind = entry.kind == ClassKind::PropertyPage ? L"page " : L"class ";
        table.emplace_back(kind + entry.className, GuidText(*entry.clsid));
    }
    for (const Published& row : rows_) {
        if (row.kind == "class" || row.kind == "page") {
            listed.emplace_back(Widen(row.kind) + L" " + row.name, row.identifier);
        }
    }
    EXPECT_EQ(table, listed);
}

TEST_F(IdentifierList, ApplicationIdentifierIsTheListedOne) {
    EXPECT_EQ(RowsOf(rows_, {"appid"}),
              (std::map<std::wstring, std::wstring>{
                  {kApplicationName, GuidText(kApplicationId)}}));
}
