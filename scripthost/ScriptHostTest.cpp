// The controls as the platform's script host drives them: cscript runs controls.vbs with
// zelmor.dll registered, creating every class by its program identifier, setting and reading
// properties, calling methods whose results come back through by-reference variants, and
// checking the errors of refused values. The script's exit code is its number of failures.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "core/tests/SampleDictionary.h"
#include "core/tests/TestDirectory.h"
#include "host/zelform/tests/ZelformRun.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

constexpr DWORD kNotFinished = 1000;

struct ScriptRun {
    DWORD exitCode = kNotFinished;
    std::string output;
};

// Runs the script host directly (a command interpreter in between loses programs under load)
// on the dictionary folder given, and waits at most two minutes. The script writes its report
// to a file of its own: the host writes nothing to an output that is a file.
ScriptRun RunScript(const std::wstring& folder) {
    static int runs = 0;
    std::wstring reportPath =
        ProgramFolder() + L"\\script-report" + std::to_wstring(++runs) + L".txt";
    DeleteFileW(reportPath.c_str());
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(system) + L"\\cscript.exe\" //nologo \"" +
                           ProgramFolder() + L"\\controls.vbs\" \"" + folder + L"\" \"" +
                           reportPath + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ScriptRun run;
    if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                       nullptr, &startup, &process)) {
        if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0) {
            GetExitCodeProcess(process.hProcess, &run.exitCode);
        } else {
            TerminateProcess(process.hProcess, kNotFinished);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    run.output = ReadText(reportPath);
    DeleteFileW(reportPath.c_str());
    return run;
}

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());  // ASCII folder names
}

class ScriptHost : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
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

    void SetUp() override { WriteSampleDictionary(directory_.Path()); }

    TestDirectory directory_;
    static HMODULE library_;
};

HMODULE ScriptHost::library_ = nullptr;

}  // namespace

TEST_F(ScriptHost, EveryClassWorksFromVBScript) {
    ScriptRun run = RunScript(Wide(directory_.Path()));
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    // A script that stopped on an error also ends with 0 under this host: the summary line
    // is what shows that it ran to the end.
    EXPECT_NE(run.output.find(" checks, 0 failed"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("FAIL"), std::string::npos) << run.output;
}

// The same script over a folder without a dictionary: the checks that depend on it fail and
// the exit code counts them, so that a passing run means something.
TEST_F(ScriptHost, FailuresAreCountedInTheExitCode) {
    TestDirectory empty;
    ScriptRun run = RunScript(Wide(empty.Path()));
    EXPECT_NE(run.exitCode, 0u);
    EXPECT_NE(run.exitCode, kNotFinished);
    EXPECT_NE(run.output.find("FAIL DbGetNumOfTable"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(" failed"), std::string::npos) << run.output;
}
