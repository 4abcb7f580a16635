// A grid on the sample form for the tests: a fake view that plays the events (recording them)
// and the host's format service, and a grid of Customer's Code, Name and Kind.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/tests/SampleForm.h"
#include "extended/ResultSets.h"
#include "grid/GridLogic.h"

namespace zelmor::testing {

class FakeGrid : public GridView {
  public:
    void RaiseFormat(std::string& line) override {
        ++formats;
        if (onFormat) onFormat(line);
    }
    int RaiseBtrieveError(const std::string& table, int status) override {
        errors.push_back(table + ":" + std::to_string(status));
        events.push_back("BtrieveError");
        return clearStatus ? 0 : status;
    }
    std::string FormatText(const std::string& text, const std::string& format) override {
        return format + "(" + text + ")";
    }
    bool RaiseBeforeColUpdate(const std::string& text) override {
        events.push_back("BeforeColUpdate " + text);
        return cancel;
    }
    void RaiseAfterColUpdate() override { events.push_back("AfterColUpdate"); }
    bool RaiseBeforeUpdate() override {
        events.push_back("BeforeUpdate");
        return cancel;
    }
    void RaiseAfterUpdate() override { events.push_back("AfterUpdate"); }
    bool RaiseBeforeDelete() override {
        events.push_back("BeforeDelete");
        return cancel;
    }
    void RaiseAfterDelete() override { events.push_back("AfterDelete"); }

    int formats = 0;
    std::vector<std::string> errors;
    std::vector<std::string> events;  // the editing events and BtrieveError, in order
    bool cancel = false;              // what the Before handlers answer
    bool clearStatus = false;         // the BtrieveError handler sets the status to 0
    std::function<void(std::string&)> onFormat;
};

class GridLogicTest : public ::testing::Test {
  protected:
    void SetUp() override {
        grid.dbListSource = u"Data1";
        grid.dbListTable = u"Customer";
        grid.dbListFields = "Code,Name,Kind";
        ASSERT_EQ(grid.model.SetCols(4), GridResult::Ok);
        grid.model.MakeCellTable();
    }
    void TearDown() override { FreeAllResultSets(); }

    void Insert(int code, const std::string& name, const std::string& kind) {
        form.InsertCustomer(code, name, kind);
    }
    std::vector<std::string> Row(std::int32_t row) {
        std::vector<std::string> cells;
        for (std::int32_t col = 0; col < grid.model.Cols(); ++col) {
            cells.push_back(grid.model.Cell(row, col));
        }
        return cells;
    }

    SampleForm form;
    FakeControlHost host{u"Grid1"};
    FakeGrid view;
    GridLogic grid{host, form.registry, view, GridLimits{8, 6}};
};

}  // namespace zelmor::testing
