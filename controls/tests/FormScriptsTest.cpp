// The controls on the sample sales database, driven as a person drives them: zelform runs each
// script of controls/tests/forms against its form, with zelmor.dll registered, and every action
// of the script must hold. A script "NAME-what.script.json" runs against "NAME.form.json" (its
// "@DDFDIR@" replaced by the database's folder, "@SAMPLES@" by the samples folder);
// "...design.script.json" runs at design time.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "host/zelform/tests/ZelformRun.h"
#include "tools/zeldict/Commands.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

const std::filesystem::path kForms = ZELMOR_FORMS_DIR;
const std::filesystem::path kSales = ZELMOR_SAMPLES_DIR "/sales";
const std::wstring kFolder = L"form-scripts";

std::vector<std::string> ScriptNames() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(kForms)) {
        std::string name = entry.path().filename().string();
        const std::string ending = ".script.json";
        if (name.size() > ending.size() &&
            name.compare(name.size() - ending.size(), ending.size(), ending) == 0) {
            names.push_back(name.substr(0, name.size() - ending.size()));
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The sample database, made afresh for every script so that no script sees another's changes.
std::wstring MakeDatabase(const std::string& name) {
    std::filesystem::path folder = std::filesystem::path(kFolder) / name;
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    tools::Arguments create;
    create.positional = {(kSales / "schema.json").string(), folder.string()};
    EXPECT_EQ(tools::RunCreate(create), 0);
    for (const char* table : {"Customer", "Product", "Orders", "OrderLine"}) {
        tools::Arguments import;
        import.positional = {folder.string(), table,
                             (kSales / (std::string(table) + ".csv")).string()};
        EXPECT_EQ(tools::RunImport(import), 0) << table;
    }
    return std::filesystem::absolute(folder).wstring();
}

std::string Replaced(std::string text, const std::string& what, const std::string& with) {
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at)) {
        text.replace(at, what.size(), with);
        at += with.size();
    }
    return text;
}

class FormScripts : public ::testing::TestWithParam<std::string> {
  protected:
    static void SetUpTestSuite() {
        CreateDirectoryW(kFolder.c_str(), nullptr);
        library_ = LoadLibraryW((ProgramFolder() + L"\\zelmor.dll").c_str());
        ASSERT_NE(library_, nullptr);
        ASSERT_EQ(RegisterServer(library_), S_OK);
    }
    static void TearDownTestSuite() {
        if (!library_) return;
        RegisterServer(library_, false);
        FreeLibrary(library_);
        library_ = nullptr;
    }

    static HMODULE library_;
};

HMODULE FormScripts::library_ = nullptr;

}  // namespace

TEST_P(FormScripts, EveryActionHolds) {
    const std::string script = GetParam();
    const std::string form = script.substr(0, script.find('-'));
    std::wstring database = MakeDatabase(script);
    std::string formText = ReadText((kForms / (form + ".form.json")).wstring());
    ASSERT_FALSE(formText.empty()) << form;
    std::string directory(database.begin(), database.end());  // ASCII folder names
    std::replace(directory.begin(), directory.end(), '\\', '/');
    const std::string samples = std::filesystem::absolute(ZELMOR_SAMPLES_DIR).generic_string();
    formText = Replaced(Replaced(formText, "@DDFDIR@", directory), "@SAMPLES@", samples);
    WriteText(kFolder + L"\\" + std::wstring(script.begin(), script.end()) + L".json", formText);
    const bool design = script.size() > 6 && script.compare(script.size() - 6, 6, "design") == 0;
    std::wstring scriptPath = (kForms / (script + ".script.json")).wstring();
    std::wstring arguments = std::wstring(script.begin(), script.end()) + L".json --script \"" +
                             scriptPath + L"\"" + (design ? L" --design" : L"");
    std::string output;
    EXPECT_EQ(RunZelform(kFolder, arguments, &output, 120000), 0u) << output;
    EXPECT_NE(output.find(" actions, 0 failed"), std::string::npos) << output;
    std::printf("%s", output.substr(output.rfind('\n', output.size() - 2) + 1).c_str());
}

INSTANTIATE_TEST_SUITE_P(Controls, FormScripts, ::testing::ValuesIn(ScriptNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             std::replace(name.begin(), name.end(), '.', '_');
                             return name;
                         });
