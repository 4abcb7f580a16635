// The parts of the code-page handling that do not depend on the platform.
#include "platform/CodePage.h"

namespace zelmor::platform {

std::size_t CharBoundaryAtOrBefore(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text.size();
    std::size_t boundary = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t width = IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
        if (i + width > maxBytes) break;
        i += width;
        boundary = i;
    }
    return boundary;
}

void CutToBytes(std::string& text, std::size_t maxBytes) {
    text.resize(CharBoundaryAtOrBefore(text, maxBytes));
}

namespace {

// Plain ASCII reads the same in UTF-8 and in the ANSI code pages we meet (932 maps its 0x5C and
// 0x7E to the backslash and the tilde), and most texts that pass here are plain ASCII.
bool IsAscii(std::string_view text) {
    for (unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}

}  // namespace

std::string Utf8ToAnsi(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    return Utf16ToAnsi(Utf8ToUtf16(utf8));
}

std::string AnsiToUtf8(std::string_view ansi) {
    if (IsAscii(ansi)) return std::string(ansi);
    return Utf16ToUtf8(AnsiToUtf16(ansi));
}

}  // namespace zelmor::platform
