// The exported functions as a program calls them (only what zelmor.h declares), on a data
// control of the process registry over the sample dictionary.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "binding/BindingRegistry.h"
#include "binding/tests/FakeControls.h"
#include "core/tests/SampleDictionary.h"
#include "core/tests/TestDirectory.h"
#include "datacontrol/DataControl.h"
#include "datacontrol/tests/FakeHost.h"
#include "datacontrol/zelmor.h"
#include "platform/RecordingPlatform.h"
#include "values/GlobalOptions.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

constexpr WindowHandle kForm = 5000;
constexpr WindowHandle kChildOfForm = 5001;


// A text the library returned: its own buffer, or a string to free.
std::string Take(char* text) {
    if (text == nullptr) return "<none>";
    std::string copy(text);
    ZelFreeString(text);
    return copy;
}

class ExportedFunctionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteSampleDictionary(directory.Path());
        control = std::make_unique<DataControl>(host, Registry());
        control->ddfDir = directory.Path();
    }
    void Attach() {
        control->Initialize();
        ASSERT_EQ(DbAttachControl("data1", "Form1"), 0);
    }

    TestDirectory directory;
    platform::RecordingPlatform platform;
    platform::ScopedPlatform scope{platform};
    FakeHost host{kForm, u"Data1"};
    std::unique_ptr<DataControl> control;
};

}  // namespace

// Defined first, so it runs first in its program: nothing has been attached yet.
TEST_F(ExportedFunctionsTest, EverythingNeedsAnAttachmentFirst) {
    std::int32_t count = 0;
    struct Case {
        const char* name;
        int rc;
    } cases[] = {
        {"DbGetNumOfTable", DbGetNumOfTable()},  {"DbOpen", DbOpen(0)},
        {"DbClose", DbClose(0)},                 {"DbAccess", DbAccess(12, 0, 0)},
        {"DbGetNumOfField", DbGetNumOfField(0)}, {"DbGetPosition", DbGetPosition(0)},
        {"DbGetNumOfRecords", DbGetNumOfRecords(0, &count)},
        {"DbTransferToControl", DbTransferToControl(0)},
        {"DbClearFieldBuffer", DbClearFieldBuffer(0)},
    };
    for (const Case& c : cases) EXPECT_EQ(c.rc, -12) << c.name;
    EXPECT_EQ(Take(DbGetTableName(0)), "");  // empty without an attachment
    EXPECT_EQ(Take(DbGetFieldName(0, 0)), "<none>");
    EXPECT_EQ(DbAttachControl("Data1", "Form1"), -11);  // nothing registered yet
}

TEST_F(ExportedFunctionsTest, AttachByFormNameAndByWindow) {
    control->Initialize();
    EXPECT_EQ(DbAttachControl("Data1", "form1"), -11);  // form names match exactly
    EXPECT_EQ(DbAttachControl("Other", "Form1"), -11);
    EXPECT_EQ(DbAttachControl("DATA1", "Form1"), 0);    // control names without regard to case
    EXPECT_EQ(DbGetNumOfTable(), 4);
    EXPECT_EQ(DbAttachControlByHwnd("Data1", kForm), 0);
    EXPECT_EQ(DbAttachControlByHwnd("Data1", 77), -11);
    control.reset();  // the attached control goes away: calls see no attachment, no crash
    EXPECT_EQ(DbGetNumOfTable(), -12);
    EXPECT_EQ(DbOpen(0), -12);
}

TEST_F(ExportedFunctionsTest, AttachingAControlWithoutDictionaryGives20) {
    control->ddfDir = directory.File("none");
    control->Initialize();
    EXPECT_EQ(DbAttachControl("Data1", "Form1"), -20);
    EXPECT_EQ(DbGetNumOfTable(), -12);
}

TEST_F(ExportedFunctionsTest, TablesByNumber) {
    Attach();
    EXPECT_EQ(Take(DbGetTableName(4)), "<none>");  // the count itself is out of range
    EXPECT_EQ(Take(DbGetTableName(3)), "Pictures");
    EXPECT_EQ(Take(DbGetTableName(-1)), "<none>");
    EXPECT_EQ(DbOpen(0), -2);  // opened when the control started
    EXPECT_EQ(DbOpen(4), -15);
    EXPECT_EQ(DbClose(1), 0);
    EXPECT_EQ(DbAccess(12, 1, 0), -3);
    EXPECT_EQ(DbOpen(1), 0);
    EXPECT_EQ(DbCreate(1), -2);
    EXPECT_EQ(DbGetNumOfField(0), 5);
    EXPECT_EQ(DbGetNumOfField(7), -15);
    EXPECT_EQ(DbGetDataType(0, 0), 1);
    EXPECT_EQ(DbGetDataSize(0, 1), 30);
    EXPECT_EQ(DbGetDataType(0, 5), -13);
    EXPECT_EQ(Take(DbGetFieldName(0, 1)), "Name");
    EXPECT_EQ(Take(DbGetFieldName(0, 5)), "<none>");
}

TEST_F(ExportedFunctionsTest, RecordsByNumber) {
    Attach();
    ASSERT_EQ(DbClearFieldBuffer(0), 0);
    ASSERT_EQ(DbSetFieldData(0, 0, "31"), 0);
    ASSERT_EQ(DbSetFieldData(0, 1, "Zed"), 0);
    EXPECT_EQ(DbSetFieldData(0, 9, "x"), -5);
    ASSERT_EQ(DbAccess(2, 0, 0), 0);
    ASSERT_EQ(DbClearFieldBuffer(0), 0);
    ASSERT_EQ(DbAccess(12, 0, 0), 0);
    EXPECT_EQ(Take(DbGetFieldData(0, 1)), "Zed");
    EXPECT_EQ(Take(DbGetFieldData(9, 1)), "<none>");
    std::int32_t position = DbGetPosition(0);
    EXPECT_GE(position, 0);
    EXPECT_EQ(DbGetDirect(0, position, -1), 0);
    std::int16_t percentage = 0;
    EXPECT_EQ(DbFindPercentage(0, 0, position, &percentage), 0);
    EXPECT_EQ(percentage, 10000);
    EXPECT_EQ(DbGetByPercentage(0, 0, 5000), 0);
    std::int32_t count = 0;
    EXPECT_EQ(DbGetNumOfRecords(0, &count), 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(DbUnlock(0, -2), 0);
    EXPECT_EQ(DbBeginTransaction(150), -10);
    EXPECT_EQ(DbTransferToControl(0), 0);
    EXPECT_EQ(DbTransferFromControl(0), 0);
    EXPECT_EQ(DbClearControlData(0), 0);
    std::uint8_t version[5] = {};
    EXPECT_EQ(DbGetVersion(version), 0);
    EXPECT_EQ(DbGetVersion(nullptr), -1);
}

TEST_F(ExportedFunctionsTest, FixedStringAddressHoldsTheLatestValue) {
    platform.SetProfile("zelmor.ini", "[zelmor320]\nfix_str_addr=1\n");
    GlobalOptions fixed(platform);
    ScopedOptions options(fixed);
    Attach();
    DbClearFieldBuffer(0);
    DbSetFieldData(0, 1, "first");
    char* one = DbGetFieldData(0, 1);
    DbSetFieldData(0, 1, "second");
    char* two = DbGetFieldData(0, 1);
    EXPECT_EQ(one, two);
    EXPECT_STREQ(two, "second");
    ZelFreeString(two);  // the library's own buffer: nothing to free
}

TEST_F(ExportedFunctionsTest, FormattedStringsOutsideAFillAreAccepted) {
    EXPECT_EQ(DbSetFormattedString("X"), 0);
    EXPECT_EQ(DbExSetFormattedString(std::string(3000, 'y').c_str()), 0);
    EXPECT_EQ(DbSetFormattedString(nullptr), 0);
}

// A data control made where the attached one was freed is not the attached one: the
// attachment names a registration, never an address.
TEST_F(ExportedFunctionsTest, ANewControlAtTheFreedAddressIsNotTheAttachedOne) {
    alignas(DataControl) unsigned char place[sizeof(DataControl)];
    auto* first = new (place) DataControl(host, Registry());
    first->ddfDir = directory.Path();
    first->Initialize();
    control.reset();  // the fixture's control must not answer for the form
    ASSERT_EQ(DbAttachControl("Data1", "Form1"), 0);
    EXPECT_EQ(DbGetNumOfTable(), 4);
    first->~DataControl();
    auto* second = new (place) DataControl(host, Registry());
    second->ddfDir = directory.Path();
    second->Initialize();
    EXPECT_EQ(DbGetNumOfTable(), -12);
    EXPECT_EQ(DbOpen(0), -12);
    ASSERT_EQ(DbAttachControl("Data1", "Form1"), 0);  // attached again, it is used
    EXPECT_EQ(DbGetNumOfTable(), 4);
    second->~DataControl();
}

TEST_F(ExportedFunctionsTest, ExtendedFetchAndItsResultSet) {
    Attach();
    for (int code = 1; code <= 5; ++code) {
        DbClearFieldBuffer(0);
        DbSetFieldData(0, 0, std::to_string(code).c_str());
        DbSetFieldData(0, 1, ("N" + std::to_string(code)).c_str());
        ASSERT_EQ(DbAccess(2, 0, 0), 0);
    }
    ASSERT_EQ(DbAccess(12, 0, 0), 0);  // the scan goes on from the first record
    std::int16_t id = -1, count = -1;
    EXPECT_EQ(DbExAccess(36, 0, "@Code >= 2", "Name,Code", 0, 0, 10, 0, &id, &count), 9);
    ASSERT_GE(id, 0);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(Take(DbExGetFieldData(id, 1, 0)), "N2");
    EXPECT_EQ(Take(DbExGetFieldData(id, 0, 3)), "5");
    EXPECT_EQ(Take(DbExGetFieldData(id, 2, 0)), "");  // not in the list
    EXPECT_EQ(Take(DbExGetFieldData(id, 1, 4)), "");  // past the last record
    std::int32_t position = DbExGetPosition(id, 1);
    EXPECT_GT(position, 0);
    ASSERT_EQ(DbGetDirect(0, position, -1), 0);
    EXPECT_EQ(Take(DbGetFieldData(0, 1)), "N3");
    EXPECT_EQ(DbExGetPosition(id, 4), -1);
    EXPECT_EQ(DbExFree(id), 0);
    EXPECT_EQ(DbExFree(id), -1);
    EXPECT_EQ(DbExGetPosition(id, 0), -1);
    EXPECT_EQ(DbExAccess(36, 0, "Code = 1", "Name", 0, 0, 10, 0, &id, &count), -8);
    EXPECT_EQ(DbExAccess(36, 0, "", "Nope", 0, 0, 10, 0, &id, &count), -9);
    EXPECT_EQ(DbExAccess(36, 9, "", "Name", 0, 0, 10, 0, &id, &count), -15);
}
