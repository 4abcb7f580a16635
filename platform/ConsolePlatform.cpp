#include "platform/ConsolePlatform.h"

#include <cstdio>
#include <cstdlib>

#include "platform/CodePage.h"

namespace zelmor::platform {

int ConsolePlatform::ShowMessageBox(const std::string& text, unsigned style) {
    ++messages_;
    std::fprintf(stderr, "%s\n", AnsiToUtf8(text).c_str());
    unsigned buttons = style & 0x0F;
    return buttons == box::kYesNo || buttons == box::kYesNoCancel ? box::kIdYes : box::kIdOk;
}

void ConsolePlatform::EndWithFatalError(const std::string& text) {
    std::fprintf(stderr, "%s\n", AnsiToUtf8(text).c_str());
    std::fflush(stderr);
    std::exit(3);
}

}  // namespace zelmor::platform
