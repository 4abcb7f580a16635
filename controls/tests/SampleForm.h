// A form as the controls' portable logic sees it in the tests: the sample dictionary in a test
// folder with its Customer table open, a recording platform, and the data control "Data1" on the
// test form in a registry of its own.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "binding/BindingRegistry.h"
#include "binding/tests/FakeControls.h"
#include "controls/tests/FakeControlHost.h"
#include "core/DictionaryLoader.h"
#include "core/FieldAccess.h"
#include "core/RecordOperations.h"
#include "core/TableFiles.h"
#include "core/tests/SampleDictionary.h"
#include "core/tests/TestDirectory.h"
#include "platform/RecordingPlatform.h"

namespace zelmor::testing {

class SampleForm {
  public:
    SampleForm() {
        WriteSampleDictionary(directory.Path());
        EXPECT_EQ(LoadDictionaryFull(directory.Path(), context), 0);
        customer = context->TableByName("Customer");
        EXPECT_EQ(OpenTableCreatingFile(*context, *customer, "", 0), 0);
        source.context = context.get();
        registry.RegisterDataSource(source);
    }
    ~SampleForm() { CloseAllTables(*context); }

    void InsertCustomer(int code, const std::string& name, const std::string& kind = "") {
        DbClearFieldBuffer(*customer);
        DbSetFieldData(*customer, "Code", std::to_string(code));
        DbSetFieldData(*customer, "Name", name);
        DbSetFieldData(*customer, "Kind", kind);
        EXPECT_EQ(DbAccessByID(*customer, 2, 0), 0) << code;
    }
    std::vector<std::string> Messages() const { return platform.MessagesUtf8(); }

    TestDirectory directory;
    platform::RecordingPlatform platform;
    platform::ScopedPlatform scope{platform};
    std::unique_ptr<FormContext> context;
    TableDef* customer = nullptr;
    BindingRegistry registry{[](WindowHandle) -> WindowHandle { return 0; }};
    FakeDataSource source{u"Data1", kTestForm, "Form1"};
};

}  // namespace zelmor::testing
