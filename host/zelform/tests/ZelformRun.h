// Running zelform.exe, which lies beside the test program, as a person or a build script runs it,
// with its output collected; and the small file helpers its tests need.
#pragma once

#include <windows.h>

#include <string>

namespace zelmor::testing {

// The folder of the running test program.
std::wstring ProgramFolder();

void WriteText(const std::wstring& path, const std::string& text);
std::string ReadText(const std::wstring& path);

// Runs zelform with `arguments` in `folder`; its exit status (1000 when it could not be started
// or did not end within `timeoutMilliseconds`), and its output in *output.
DWORD RunZelform(const std::wstring& folder, const std::wstring& arguments, std::string* output,
                 DWORD timeoutMilliseconds = 60000);

// Calls DllRegisterServer (or DllUnregisterServer) of a library already loaded.
HRESULT RegisterServer(HMODULE library, bool registering = true);

}  // namespace zelmor::testing
