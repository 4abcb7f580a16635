// The exported functions of the built library, called as a program that loads zelmor.dll calls
// them, on a data control made by the library and sited on a form of the test container.
#include <gtest/gtest.h>
#include <ole2.h>

#include <string>

#include "LibraryFile.h"
#include "com/ComPtr.h"
#include "core/tests/SampleDictionary.h"
#include "core/tests/TestDirectory.h"
#include "datacontrol/zelmor.h"
#include "host/Automation.h"
#include "host/Form.h"
#include "module/zelmor.h"

using namespace zelmor;
using namespace zelmor::module::testing;

namespace {

using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

// The library's functions, found by their exported names.
struct Exports {
    explicit Exports(const LoadedLibrary& library)
        : attach(library.Entry<decltype(&DbAttachControl)>("DbAttachControl")),
          attachByWindow(library.Entry<decltype(&DbAttachControlByHwnd)>("DbAttachControlByHwnd")),
          tableCount(library.Entry<decltype(&DbGetNumOfTable)>("DbGetNumOfTable")),
          tableName(library.Entry<decltype(&DbGetTableName)>("DbGetTableName")),
          decoratedTableName(library.Entry<decltype(&DbGetTableName)>("_DbGetTableName@4")),
          open(library.Entry<decltype(&DbOpen)>("DbOpen")),
          close(library.Entry<decltype(&DbClose)>("DbClose")),
          access(library.Entry<decltype(&DbAccess)>("DbAccess")),
          clear(library.Entry<decltype(&DbClearFieldBuffer)>("DbClearFieldBuffer")),
          setField(library.Entry<decltype(&DbSetFieldData)>("DbSetFieldData")),
          getField(library.Entry<decltype(&DbGetFieldData)>("DbGetFieldData")),
          freeString(library.Entry<decltype(&ZelFreeString)>("ZelFreeString")),
          version(library.Entry<decltype(&DbGetVersion)>("DbGetVersion")) {}

    decltype(&DbAttachControl) attach;
    decltype(&DbAttachControlByHwnd) attachByWindow;
    decltype(&DbGetNumOfTable) tableCount;
    decltype(&DbGetTableName) tableName;
    decltype(&DbGetTableName) decoratedTableName;
    decltype(&DbOpen) open;
    decltype(&DbClose) close;
    decltype(&DbAccess) access;
    decltype(&DbClearFieldBuffer) clear;
    decltype(&DbSetFieldData) setField;
    decltype(&DbGetFieldData) getField;
    decltype(&ZelFreeString) freeString;
    decltype(&DbGetVersion) version;
};

const char* const kEveryExport[] = {
    "DbAttachControl", "DbAttachControlByHwnd", "DbOpen", "DbClose", "DbCreate", "DbAccess",
    "DbGetDirect", "DbGetPosition", "DbFindPercentage", "DbGetByPercentage", "DbUnlock",
    "DbGetNumOfRecords", "DbBeginTransaction", "DbBeginConCurTransaction", "DbEndTransaction",
    "DbAbortTransaction", "DbGetFieldData", "DbSetFieldData", "DbClearFieldBuffer",
    "DbGetDataType", "DbGetDataSize", "DbGetFieldName", "_DbGetTableName@4", "DbGetNumOfTable",
    "DbGetNumOfField", "DbTransferToControl", "DbTransferFromControl", "DbClearControlData",
    "DbExAccess", "DbExFree", "DbExGetPosition", "DbExGetFieldData", "DbSetFormattedString",
    "DbExSetFormattedString", "DbGetVersion", "ZelFreeString", "ZelmorFatalAppExit"};

class LibraryExports : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(OleInitialize(nullptr), S_OK);
        zelmor::testing::WriteSampleDictionary(directory.Path());
    }
    void TearDown() override { OleUninitialize(); }

    // A data control made by the loaded library, on `form`.
    host::ControlSite* AddDataControl(const LoadedLibrary& library, host::Form& form) {
        auto getClassObject = library.Entry<GetClassObject>("DllGetClassObject");
        com::ComPtr<IClassFactory> factory;
        EXPECT_EQ(getClassObject(CLSID_ZelmorDb, IID_IClassFactory, factory.PutVoid()), S_OK);
        com::ComPtr<IUnknown> control;
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, control.PutVoid()), S_OK);
        std::string path = directory.Path();
        return form.AddControl({L"Data1", RECT{8, 8, 40, 40}}, control.Get(),
                               {{L"DDFDir", host::TextValue(std::wstring(path.begin(), path.end()))}});
    }

    std::string Take(const Exports& exports, char* text) {
        if (text == nullptr) return "<none>";
        std::string copy(text);
        exports.freeString(text);
        return copy;
    }

    zelmor::testing::TestDirectory directory;
};

}  // namespace

TEST_F(LibraryExports, EveryFunctionIsExportedUnderItsName) {
    LoadedLibrary library;
    ASSERT_NE(library.Get(), nullptr);
    for (const char* name : kEveryExport) {
        EXPECT_NE(library.Entry<void (*)()>(name), nullptr) << name;
    }
}

TEST_F(LibraryExports, AttachToADataControlOnAFormAndWorkByNumber) {
    LoadedLibrary library;
    ASSERT_NE(library.Get(), nullptr);
    Exports exports(library);
    EXPECT_EQ(exports.tableCount(), -12);  // nothing attached yet
    EXPECT_EQ(exports.open(0), -12);
    {
        host::Form form(L"Form1", L"Exports", SIZE{200, 120});
        host::ControlSite* data = AddDataControl(library, form);
        ASSERT_NE(data, nullptr);
        // The form's name comes from the host's object model (the container's Parent).
        EXPECT_EQ(exports.attach("Data1", "Form2"), -11);
        EXPECT_EQ(exports.attach("data1", "Form1"), 0);
        EXPECT_EQ(exports.tableCount(), 4);
        // A child window of the form (the control's own) finds the form's data control too.
        com::ComPtr<IOleWindow> controlWindow;
        ASSERT_EQ(data->Object()->QueryInterface(IID_IOleWindow, controlWindow.PutVoid()), S_OK);
        HWND child = nullptr;
        ASSERT_EQ(controlWindow->GetWindow(&child), S_OK);
        EXPECT_EQ(exports.attachByWindow("Data1", reinterpret_cast<ZelWindow>(child)), 0);
        EXPECT_EQ(exports.attachByWindow("Data1", reinterpret_cast<ZelWindow>(GetDesktopWindow())),
                  -11);
        EXPECT_EQ(Take(exports, exports.tableName(3)), "Pictures");
        EXPECT_EQ(Take(exports, exports.decoratedTableName(4)), "<none>");
        EXPECT_EQ(exports.open(0), -2);
        EXPECT_EQ(exports.open(4), -15);
        EXPECT_EQ(exports.close(1), 0);
        EXPECT_EQ(exports.access(12, 1, 0), -3);
        EXPECT_EQ(exports.clear(0), 0);
        EXPECT_EQ(exports.setField(0, 0, "12"), 0);
        EXPECT_EQ(exports.setField(0, 1, "\x8E\x52\x93\x63"), 0);  // 山田 in code page 932
        EXPECT_EQ(exports.access(2, 0, 0), 0);
        EXPECT_EQ(exports.access(12, 0, 0), 0);
        EXPECT_EQ(Take(exports, exports.getField(0, 1)), "\x8E\x52\x93\x63");
        std::uint8_t version[5] = {};
        EXPECT_EQ(exports.version(version), 0);
    }
    // The form and its data control are gone: the attachment is no more.
    EXPECT_EQ(exports.tableCount(), -12);
}

TEST_F(LibraryExports, FixedStringAddressComesFromTheIniFile) {
    char windows[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
    std::string ini = std::string(windows) + "\\zelmor.ini";
    ASSERT_TRUE(WritePrivateProfileStringA("zelmor320", "fix_str_addr", "1", ini.c_str()));
    {
        LoadedLibrary library;  // reads its options as it loads
        WritePrivateProfileStringA("zelmor320", "fix_str_addr", nullptr, ini.c_str());
        ASSERT_NE(library.Get(), nullptr);
        Exports exports(library);
        host::Form form(L"Form1", L"Exports", SIZE{200, 120});
        ASSERT_NE(AddDataControl(library, form), nullptr);
        ASSERT_EQ(exports.attach("Data1", "Form1"), 0);
        exports.clear(0);
        exports.setField(0, 1, "first");
        char* one = exports.getField(0, 1);
        exports.setField(0, 1, "second");
        char* two = exports.getField(0, 1);
        EXPECT_EQ(one, two);
        EXPECT_STREQ(two, "second");
    }
}
