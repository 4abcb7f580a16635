#include "LibraryFile.h"

namespace zelmor::module::testing {

std::wstring LibraryPath() {
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring path(program);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"zelmor.dll";
}

}  // namespace zelmor::module::testing
