// A fixture with the sample dictionary loaded and every table open (files created), and a way
// to insert customer records.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/DictionaryLoader.h"
#include "core/FieldAccess.h"
#include "core/RecordOperations.h"
#include "core/TableFiles.h"
#include "core/tests/SampleDictionary.h"
#include "core/tests/TestDirectory.h"
#include "platform/RecordingPlatform.h"

namespace zelmor::testing {

class OpenSampleTables : public ::testing::Test {
protected:
    enum { kCustomer = 0, kOrders = 1, kMemo = 2, kPictures = 3 };

    void SetUp() override {
        WriteSampleDictionary(directory.Path());
        ASSERT_EQ(LoadDictionaryFull(directory.Path(), context), 0);
        for (TableDef& table : context->tables) {
            ASSERT_EQ(OpenTableCreatingFile(*context, table, "", kOpenNormal), 0);
        }
    }
    void TearDown() override { CloseAllTables(*context); }

    TableDef& Table(int index) { return context->tables[static_cast<std::size_t>(index)]; }
    TableDef& Customer() { return Table(kCustomer); }

    void InsertCustomer(int code, const std::string& name, const std::string& kind) {
        TableDef& table = Customer();
        ASSERT_EQ(DbClearFieldBuffer(table), 0);
        ASSERT_EQ(DbSetFieldData(table, "Code", std::to_string(code)), 0);
        ASSERT_EQ(DbSetFieldData(table, "Name", name), 0);
        ASSERT_EQ(DbSetFieldData(table, "Kind", kind), 0);
        ASSERT_EQ(DbAccessByID(table, 2, 0), 0) << code;
    }

    TestDirectory directory;
    platform::RecordingPlatform platform;
    platform::ScopedPlatform platformScope{platform};
    std::unique_ptr<FormContext> context;
};

}  // namespace zelmor::testing
