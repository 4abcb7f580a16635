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

ToolRun RunZeldict(const std::vector<std::string>& arguments, const std::string& workDirectory) {
    std::filesystem::path program = ProgramDirectory() / "zeldict";
    std::string outPath = (std::filesystem::path(workDirectory) / "zeldict.out").string();
    std::string errPath = (std::filesystem::path(workDirectory) / "zeldict.err").string();
    std::string command = Quote(program.string());
    for (const std::string& argument : arguments) command += " " + Quote(argument);
    command += " >" + Quote(outPath) + " 2>" + Quote(errPath);
#ifdef _WIN32
    // cmd.exe drops the outer quotes of a line that starts with one. The line goes as UTF-16, so
    // that the tool gets the arguments as written, whatever the code page.
    command = "\"" + command + "\"";
    std::u16string wide = platform::Utf8ToUtf16(command);
    // -1 says the command interpreter could not be started (under Wine this happens now and
    // then on a loaded machine); the tool itself never answers -1, so it is started again.
    int status = -1;
    for (int attempt = 0; attempt < 3 && status == -1; ++attempt) {
        if (attempt > 0) Sleep(500);
        status = _wsystem(reinterpret_cast<const wchar_t*>(wide.c_str()));
    }
#else
    int status = std::system(command.c_str());
#endif
    ToolRun run;
#ifdef _WIN32
    run.exitCode = status;
#else
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    run.out = ReadWholeFile(outPath);
    run.err = ReadWholeFile(errPath);
    return run;
}

}  // namespace zelmor::testing
