// Registration from a class table into a classes root of the test's own: every key of a
// control and of a property page, only creatable classes, one set of keys after registering
// twice, and unregistration.
#include <gtest/gtest.h>

#include <vector>

#include "RegistrySnapshot.h"
#include "module/ClassTable.h"
#include "module/Registration.h"
#include "module/RegistryKey.h"
#include "module/zelmor.h"

using namespace zelmor::module;
using namespace zelmor::module::testing;

namespace {

const CLSID kControlClsid = {
    0x4F797D71, 0x7B61, 0x4196, {0xAB, 0x7A, 0xBE, 0x94, 0xA4, 0x65, 0xF6, 0x49}};
const CLSID kPageClsid = {
    0x29F61F89, 0xF698, 0x4DEA, {0xA2, 0x82, 0xF1, 0xC1, 0xBA, 0x53, 0x57, 0xEA}};
const CLSID kMissingClsid = {
    0x2EE46965, 0xCE33, 0x4181, {0xAE, 0x2C, 0x95, 0x28, 0x46, 0x4C, 0x8B, 0xCD}};

// Registration only needs to know that a class can be created.
HRESULT CreateStandIn(REFIID, void** out) {
    *out = nullptr;
    return E_NOTIMPL;
}

// Shaped like the data control: its program identifier is not its class name.
const ClassEntry kTestClasses[] = {
    {L"ZelmorDbTest", L"ZelBtrTest", &kControlClsid, ClassKind::Control, 1, 131473, CreateStandIn},
    {L"ZelTestPpg", nullptr, &kPageClsid, ClassKind::PropertyPage, 0, 0, CreateStandIn},
    {L"ZelMissing", L"ZelMissing", &kMissingClsid, ClassKind::Control, 5, 131473, nullptr},
};
const ClassList kTestList{kTestClasses, 3};

const wchar_t kModule[] = L"C:\\Program Files\\Zelmor\\zelmor.dll";

RegistrationTarget Target(HKEY root) {
    return RegistrationTarget{root, kModule, LIBID_ZIVORADid, L"1.1"};
}

std::set<std::wstring> ExpectedKeys() {
    std::set<std::wstring> keys = {L".", L"CLSID"};
    for (const ClassEntry* entry : {&kTestClasses[0], &kTestClasses[1]}) {
        std::set<std::wstring> more = ExpectedClassKeys(*entry, kModule, LIBID_ZIVORADid);
        keys.insert(more.begin(), more.end());
    }
    return keys;
}

// The lines one set has and the other has not, for readable failures.
std::set<std::wstring> Difference(const std::set<std::wstring>& a,
                                  const std::set<std::wstring>& b) {
    std::set<std::wstring> only;
    for (const auto& line : a) {
        if (!b.count(line)) only.insert(line);
    }
    return only;
}

void ExpectKeys(HKEY root, const std::set<std::wstring>& expected) {
    std::set<std::wstring> actual = Snapshot(root, L"");
    EXPECT_EQ(Difference(actual, expected), std::set<std::wstring>{}) << "unexpected keys";
    EXPECT_EQ(Difference(expected, actual), std::set<std::wstring>{}) << "missing keys";
}

void SetValue(HKEY root, const std::wstring& path, const wchar_t* name, const wchar_t* value) {
    RegistryKey key;
    ASSERT_EQ(RegistryKey::Create(root, path, key), ERROR_SUCCESS);
    ASSERT_EQ(key.SetString(name, value), ERROR_SUCCESS);
}

}  // namespace

TEST(Registration, WritesEveryKeyOfTheCreatableClassesOnly) {
    ScratchKey root;
    ASSERT_EQ(RegisterClasses(Target(root.Get()), kTestList), S_OK);
    ExpectKeys(root.Get(), ExpectedKeys());
}

TEST(Registration, RegisteringAgainReplacesTheKeysInsteadOfMerging) {
    ScratchKey root;
    ASSERT_EQ(RegisterClasses(Target(root.Get()), kTestList), S_OK);
    // Left behind by some earlier version.
    SetValue(root.Get(), L"CLSID\\" + GuidText(kControlClsid) + L"\\Stale", nullptr, L"x");
    SetValue(root.Get(), L"ZelBtrTest.ZelBtrTest", L"Stale", L"x");
    ASSERT_EQ(RegisterClasses(Target(root.Get()), kTestList), S_OK);
    ExpectKeys(root.Get(), ExpectedKeys());
}

TEST(Registration, UnregistrationRemovesTheClassesButNotWhatOthersOwn) {
    ScratchKey root;
    ASSERT_EQ(RegisterClasses(Target(root.Get()), kTestList), S_OK);
    // A program identifier of the same name that names another class stays.
    std::wstring other = L"{00000000-1111-2222-3333-444444444444}";
    SetValue(root.Get(), L"ZelMissing.ZelMissing.1\\CLSID", nullptr, other.c_str());
    ASSERT_EQ(UnregisterClasses(Target(root.Get()), kTestList), S_OK);
    ExpectKeys(root.Get(),
               {L".", L"CLSID", L"ZelMissing.ZelMissing.1", L"ZelMissing.ZelMissing.1\\CLSID",
                L"ZelMissing.ZelMissing.1\\CLSID|@=" + other});
    // Nothing left to remove is no failure.
    EXPECT_EQ(UnregisterClasses(Target(root.Get()), kTestList), S_OK);
}

TEST(Registration, DataControlEntryOfTheLibraryWritesItsOwnNames) {
    ScratchKey root;
    ClassEntry dataControl = *FindClass(ClassTable(), CLSID_ZelmorDb);
    dataControl.create = CreateStandIn;
    ASSERT_EQ(RegisterClasses(Target(root.Get()), ClassList{&dataControl, 1}), S_OK);
    std::set<std::wstring> keys = Snapshot(root.Get(), L"");
    std::wstring clsid = GuidText(CLSID_ZelmorDb);
    std::wstring key = L"CLSID\\" + clsid;
    for (const std::wstring& line :
         {key + L"|@=ZelmorDb Class", key + L"\\ProgID|@=ZelBtr.ZelBtr.1",
          key + L"\\VersionIndependentProgID|@=ZelBtr.ZelBtr", key + L"\\MiscStatus\\1|@=131473",
          key + L"\\ToolboxBitmap32|@=" + kModule + L", 1",
          std::wstring(L"ZelBtr.ZelBtr.1\\CLSID|@=") + clsid,
          std::wstring(L"ZelBtr.ZelBtr\\CurVer|@=ZelBtr.ZelBtr.1")}) {
        EXPECT_TRUE(keys.count(line)) << "missing " << line;
    }
    EXPECT_FALSE(KeyExists(root.Get(), L"ZelmorDb.ZelmorDb.1"));
}

TEST(Registration, EveryClassOfTheLibraryWritesItsKeys) {
    ScratchKey root;
    std::vector<ClassEntry> classes(ClassTable().begin(), ClassTable().end());
    ASSERT_EQ(classes.size(), 28u);
    for (ClassEntry& entry : classes) entry.create = CreateStandIn;
    ASSERT_EQ(RegisterClasses(Target(root.Get()), ClassList{classes.data(), classes.size()}),
              S_OK);
    for (const ClassEntry& entry : classes) {
        EXPECT_EQ(ClassKeys(root.Get(), entry), ExpectedClassKeys(entry, kModule, LIBID_ZIVORADid))
            << entry.className;
    }
}

TEST(Registration, ApplicationIdIsWrittenAndRemoved) {
    ScratchKey root;
    ASSERT_EQ(RegisterApplicationId(root.Get(), kApplicationId, kApplicationName), S_OK);
    std::wstring key = L"AppID\\" + GuidText(kApplicationId);
    ExpectKeys(root.Get(), {L".", L"AppID", key, key + L"|@=zelbt320"});
    ASSERT_EQ(UnregisterApplicationId(root.Get(), kApplicationId), S_OK);
    EXPECT_FALSE(KeyExists(root.Get(), key));
}
