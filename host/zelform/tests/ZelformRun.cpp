#include "host/zelform/tests/ZelformRun.h"

#include <fstream>
#include <sstream>

namespace zelmor::testing {

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

void WriteText(const std::wstring& path, const std::string& text) {
    std::ofstream out(path.c_str(), std::ios::binary);
    out << text;
}

std::string ReadText(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

DWORD RunZelform(const std::wstring& folder, const std::wstring& arguments, std::string* output,
                 DWORD timeoutMilliseconds) {
    // A file of its own for each run: a process of an earlier run may hold its file a little
    // longer than it runs.
    static int runs = 0;
    std::wstring outputPath = folder + L"\\output" + std::to_wstring(++runs) + L".txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE file = CreateFileW(outputPath.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                              CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = file;
    startup.hStdError = file;
    std::wstring command = L"\"" + ProgramFolder() + L"\\zelform.exe\" " + arguments;
    PROCESS_INFORMATION process{};
    DWORD status = 1000;
    if (file != INVALID_HANDLE_VALUE &&
        CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                       folder.c_str(), &startup, &process)) {
        if (WaitForSingleObject(process.hProcess, timeoutMilliseconds) == WAIT_OBJECT_0) {
            GetExitCodeProcess(process.hProcess, &status);
        } else {
            TerminateProcess(process.hProcess, 1000);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    *output = ReadText(outputPath);
    DeleteFileW(outputPath.c_str());
    return status;
}

HRESULT RegisterServer(HMODULE library, bool registering) {
    using Entry = HRESULT(STDAPICALLTYPE*)();
    auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(
        GetProcAddress(library, registering ? "DllRegisterServer" : "DllUnregisterServer")));
    return entry ? entry() : E_FAIL;
}

}  // namespace zelmor::testing
