// The built library as a host and regsvr32 see it: its entry points, class objects, resources,
// and self-registration in the test's Wine prefix.
#include <gtest/gtest.h>
#include <ole2.h>

#include "LibraryFile.h"
#include "RegistrySnapshot.h"
#include "com/ComPtr.h"
#include "com/Variant.h"
#include "module/ClassTable.h"
#include "module/RegistryKey.h"
#include "module/zelmor.h"

using namespace zelmor;
using namespace zelmor::com;
using namespace zelmor::module;
using namespace zelmor::module::testing;

namespace {

using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using ServerFunction = HRESULT(STDAPICALLTYPE*)();

std::wstring LibraryKey() {
    return L"TypeLib\\" + GuidText(LIBID_ZIVORADid);
}
std::wstring ApplicationKey() {
    return L"AppID\\" + GuidText(kApplicationId);
}

// Runs regsvr32 silently on the library; its exit code (0 on success).
DWORD RunRegsvr32(const wchar_t* options) {
    std::wstring command =
        L"regsvr32.exe " + std::wstring(options) + L" \"" + LibraryPath() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return GetLastError();
    }
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

// Everything the library registers outside the class keys.
std::set<std::wstring> LibraryKeys() {
    std::set<std::wstring> keys;
    for (const std::wstring& path : {LibraryKey(), ApplicationKey()}) {
        for (const std::wstring& line : Snapshot(HKEY_CLASSES_ROOT, path)) {
            keys.insert(path + L"|" + line);
        }
    }
    return keys;
}

}  // namespace

TEST(Server, ExportsTheEntryPointsAndServesOnlyImplementedClasses) {
    LoadedLibrary library;
    ASSERT_NE(library.Get(), nullptr);
    auto getClassObject = library.Entry<GetClassObject>("DllGetClassObject");
    auto canUnloadNow = library.Entry<ServerFunction>("DllCanUnloadNow");
    ASSERT_NE(getClassObject, nullptr);
    ASSERT_NE(canUnloadNow, nullptr);
    EXPECT_NE(library.Entry<ServerFunction>("DllRegisterServer"), nullptr);
    EXPECT_NE(library.Entry<ServerFunction>("DllUnregisterServer"), nullptr);
    EXPECT_NE(library.Entry<void (*)()>("ZelmorFatalAppExit"), nullptr);

    for (const ClassEntry& entry : ClassTable()) {
        ComPtr<IClassFactory> factory;
        HRESULT hr = getClassObject(*entry.clsid, IID_IClassFactory, factory.PutVoid());
        if (entry.create) {
            EXPECT_EQ(hr, S_OK) << entry.className;
        } else {
            EXPECT_EQ(hr, CLASS_E_CLASSNOTAVAILABLE) << entry.className;
            EXPECT_FALSE(factory);
        }
    }
    ComPtr<IClassFactory> none;
    EXPECT_EQ(getClassObject(IID_IDispatch, IID_IClassFactory, none.PutVoid()),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST(Server, MessageTextsAreAStringTable) {
    LoadedLibrary library;
    ASSERT_NE(library.Get(), nullptr);
    int checked = 0;
#define ZELMOR_MESSAGE(number, text)                                             \
    {                                                                            \
        wchar_t expected[256] = {};                                              \
        MultiByteToWideChar(CP_UTF8, 0, text, -1, expected, 256);                \
        wchar_t loaded[256] = {};                                                \
        EXPECT_GT(LoadStringW(library.Get(), number, loaded, 256), 0) << number; \
        EXPECT_STREQ(loaded, expected) << number;                                \
        ++checked;                                                               \
    }
#include "messages/MessageTexts.inc"
#undef ZELMOR_MESSAGE
    EXPECT_GT(checked, 30);
    wchar_t none[8] = {};
    EXPECT_EQ(LoadStringW(library.Get(), 116, none, 8), 0);  // no message has that number
}

TEST(Server, EveryControlHasItsToolboxBitmap) {
    LoadedLibrary library;
    ASSERT_NE(library.Get(), nullptr);
    for (const ClassEntry& entry : ClassTable()) {
        if (entry.kind != ClassKind::Control) continue;
        auto bitmap = static_cast<HBITMAP>(LoadImageW(
            library.Get(), MAKEINTRESOURCEW(entry.toolboxBitmap), IMAGE_BITMAP, 0, 0, 0));
        ASSERT_NE(bitmap, nullptr) << entry.className;
        BITMAP size{};
        GetObjectW(bitmap, sizeof size, &size);
        EXPECT_EQ(size.bmWidth, 16) << entry.className;
        EXPECT_EQ(size.bmHeight, 15) << entry.className;
        DeleteObject(bitmap);
    }
}

TEST(Server, Regsvr32RegistersOnceAndUnregistersCompletely) {
    ASSERT_EQ(OleInitialize(nullptr), S_OK);
    ASSERT_EQ(RunRegsvr32(L"/s"), 0u);

    // The type library, under its name and loadable from the registration.
    RegistryKey version;
    ASSERT_EQ(RegistryKey::Open(HKEY_CLASSES_ROOT, LibraryKey() + L"\\1.1", version),
              ERROR_SUCCESS);
    std::wstring name;
    EXPECT_TRUE(version.GetString(nullptr, name));
    EXPECT_EQ(name, L"Zelmor Controls for Btrieve");
    version = RegistryKey();
    ComPtr<ITypeLib> registered;
    ASSERT_EQ(LoadRegTypeLib(LIBID_ZIVORADid, 1, 1, 0x409, registered.Put()), S_OK);
    Bstr libraryName;
    registered->GetDocumentation(-1, libraryName.Put(), nullptr, nullptr, nullptr);
    EXPECT_EQ(libraryName.Text(), L"ZIVORADid");
    registered = nullptr;

    RegistryKey application;
    ASSERT_EQ(RegistryKey::Open(HKEY_CLASSES_ROOT, ApplicationKey(), application), ERROR_SUCCESS);
    EXPECT_TRUE(application.GetString(nullptr, name));
    EXPECT_EQ(name, L"zelbt320");
    application = RegistryKey();

    // Every class with all its keys, as the classes root holds them after regsvr32.
    for (const ClassEntry& entry : ClassTable()) {
        EXPECT_NE(entry.create, nullptr) << entry.className;
        EXPECT_EQ(ClassKeys(HKEY_CLASSES_ROOT, entry),
                  ExpectedClassKeys(entry, LibraryPath(), LIBID_ZIVORADid))
            << entry.className;
    }
    // A host creates each class from the registry, the controls by program identifier.
    for (const ClassEntry& entry : ClassTable()) {
        CLSID found = *entry.clsid;
        if (entry.programName) {
            std::wstring progId = std::wstring(entry.programName) + L"." + entry.programName;
            ASSERT_EQ(CLSIDFromProgID(progId.c_str(), &found), S_OK) << entry.className;
        }
        ComPtr<IUnknown> created;
        EXPECT_EQ(CoCreateInstance(found, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                   created.PutVoid()),
                  S_OK)
            << entry.className;
    }

    std::set<std::wstring> first = LibraryKeys();
    ASSERT_EQ(RunRegsvr32(L"/s"), 0u);
    EXPECT_EQ(LibraryKeys(), first);

    ASSERT_EQ(RunRegsvr32(L"/u /s"), 0u);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, LibraryKey()));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ApplicationKey()));
    for (const ClassEntry& entry : ClassTable()) {
        EXPECT_EQ(ClassKeys(HKEY_CLASSES_ROOT, entry), std::set<std::wstring>{})
            << entry.className;
    }
    EXPECT_NE(LoadRegTypeLib(LIBID_ZIVORADid, 1, 1, 0x409, registered.Put()), S_OK);
    OleUninitialize();
}
