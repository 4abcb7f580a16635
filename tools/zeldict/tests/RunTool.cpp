#include "tools/zeldict/tests/RunTool.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#include <windows.h>

#include "platform/CodePage.h"
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace zelmor::testing {

namespace {

std::filesystem::path ProgramDirectory() {
#ifdef _WIN32
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path();
#else
    return std::filesystem::canonical("/proc/self/exe").parent_path();
#endif
}

std::string Quote(const std::string& argument) {
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteWholeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
}

std::string SamplesDirectory() { return ZELMOR_SAMPLES_DIR; }

#ifdef _WIN32
namespace {

// A file handle the started program inherits as its standard output or error.
HANDLE InheritableFile(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    std::u16string wide = platform::Utf8ToUtf16(path);
    return CreateFileW(reinterpret_cast<const wchar_t*>(wide.c_str()), GENERIC_WRITE,
                       FILE_SHARE_READ, &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Starts the program directly, without a command interpreter: under Wine on a loaded machine
// cmd.exe now and then failed to start or to find the program (-1, 9009). A start that fails
// is tried again; the tool's own exit code is returned, -1 when it never started.
int RunDirectly(const std::string& commandLine, const std::string& outPath,
                const std::string& errPath) {
    std::u16string wide = platform::Utf8ToUtf16(commandLine);
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt > 0) Sleep(500);
        HANDLE out = InheritableFile(outPath);
        HANDLE err = InheritableFile(errPath);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = out;
        startup.hStdError = err;
        PROCESS_INFORMATION process{};
        std::u16string mutableLine = wide;
        BOOL started = out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
                       CreateProcessW(nullptr, reinterpret_cast<wchar_t*>(mutableLine.data()),
                                      nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                      &process);
        if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
        if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
        if (!started) continue;
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD exitCode = 0;
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return static_cast<int>(exitCode);
    }
    return -1;
}

}  // namespace
#endif

ToolRun RunZeldict(const std::vector<std::string>& arguments, const std::string& workDirectory) {
#ifdef _WIN32
    std::filesystem::path program = ProgramDirectory() / "zeldict.exe";
#else
    std::filesystem::path program = ProgramDirectory() / "zeldict";
#endif
    std::string outPath = (std::filesystem::path(workDirectory) / "zeldict.out").string();
    std::string errPath = (std::filesystem::path(workDirectory) / "zeldict.err").string();
    std::string command = Quote(program.string());
    for (const std::string& argument : arguments) command += " " + Quote(argument);
    ToolRun run;
#ifdef _WIN32
    run.exitCode = RunDirectly(command, outPath, errPath);
#else
    command += " >" + Quote(outPath) + " 2>" + Quote(errPath);
    int status = std::system(command.c_str());
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    run.out = ReadWholeFile(outPath);
    run.err = ReadWholeFile(errPath);
    return run;
}

}  // namespace zelmor::testing
