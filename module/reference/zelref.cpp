// zelref ZELMOR.DLL OUTPUT.md: writes the control reference from the type library inside the
// library. Exit status 0 when written, 1 when the library or the output cannot be used.
#include <ole2.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "com/ComPtr.h"
#include "module/ClassTable.h"
#include "module/reference/ReferenceWriter.h"

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 3) {
        std::fputs("usage: zelref ZELMOR.DLL OUTPUT.md\n", stderr);
        return 2;
    }
    zelmor::com::ComPtr<ITypeLib> library;
    if (FAILED(LoadTypeLibEx(argv[1], REGKIND_NONE, library.Put()))) {
        std::fprintf(stderr, "zelref: cannot read the type library of %ls\n", argv[1]);
        return 1;
    }
    std::string text = zelmor::module::WriteReference(library.Get(), zelmor::module::ClassTable());
    FILE* out = _wfopen(argv[2], L"wb");
    if (!out || std::fwrite(text.data(), 1, text.size(), out) != text.size()) {
        std::fprintf(stderr, "zelref: cannot write %ls\n", argv[2]);
        if (out) std::fclose(out);
        return 1;
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
