#include <algorithm>
#include <cstdio>

#include "platform/CodePage.h"
#include "tools/zeldict/Commands.h"

namespace zelmor::tools {

bool ParseArguments(int argc, char** argv, int first, const std::vector<std::string>& flags,
                    const std::vector<std::string>& options, Arguments& arguments) {
    for (int i = first; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument.rfind("--", 0) != 0 || argument.size() == 2) {
            arguments.positional.push_back(argument);
            continue;
        }
        std::string name = argument.substr(2);
        if (std::find(flags.begin(), flags.end(), name) != flags.end()) {
            arguments.options[name] = "";
            continue;
        }
        if (std::find(options.begin(), options.end(), name) == options.end()) {
            std::fprintf(stderr, "zeldict: unknown option --%s\n", name.c_str());
            return false;
        }
        if (i + 1 >= argc) return false;
        arguments.options[name] = argv[++i];
    }
    return true;
}

std::string Arguments::Path(std::size_t index) const {
#ifdef _WIN32
    return platform::Utf8ToAnsi(positional[index]);
#else
    return positional[index];
#endif
}

std::string TextEncoding::ToSystem(const std::string& text) const {
    return cp932 ? text : platform::Utf8ToAnsi(text);
}

std::string TextEncoding::FromSystem(const std::string& text) const {
    return cp932 ? text : platform::AnsiToUtf8(text);
}

namespace {

// The byte where `text` stops being UTF-8, or npos. `multiByte` tells whether it holds a
// character of three or more bytes (as every kana and kanji is).
std::size_t InvalidUtf8At(const std::string& text, bool& multiByte) {
    multiByte = false;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3
                                             : (lead >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size() || (length == 2 && lead < 0xC2)) return i;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return i;
        }
        multiByte = multiByte || length >= 3;
        i += length;
    }
    return std::string::npos;
}

// The byte where `text` stops being code page 932 (Shift-JIS), or npos.
std::size_t InvalidCp932At(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80 || (byte >= 0xA1 && byte <= 0xDF)) continue;  // ASCII, half-width kana
        if (!platform::IsLeadByte(byte) || i + 1 >= text.size()) return i;
        const auto trail = static_cast<unsigned char>(text[++i]);
        if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return i - 1;
    }
    return std::string::npos;
}

}  // namespace

bool TextEncoding::ToSystemChecked(const std::string& text, std::string& system,
                                   std::string& why) const {
    bool multiByte = false;
    if (cp932) {
        const std::size_t bad = InvalidCp932At(text);
        if (bad != std::string::npos) {
            why = "is not Shift-JIS (code page 932) at byte " + std::to_string(bad + 1) +
                  "; for a UTF-8 file leave out --encoding cp932";
            return false;
        }
        // Japanese text in UTF-8 also reads as Shift-JIS, as other characters.
        if (InvalidUtf8At(text, multiByte) == std::string::npos && multiByte) {
            why = "looks like UTF-8, not Shift-JIS; for a UTF-8 file leave out --encoding cp932";
            return false;
        }
        system = text;
        return true;
    }
    const std::size_t bad = InvalidUtf8At(text, multiByte);
    if (bad != std::string::npos) {
        why = "is not UTF-8 at byte " + std::to_string(bad + 1) +
              "; for a Shift-JIS file use --encoding cp932";
        return false;
    }
    system = platform::Utf8ToAnsi(text);
    // A character the code page lacks becomes "?" on the way.
    if (std::count(system.begin(), system.end(), '?') != std::count(text.begin(), text.end(), '?')) {
        why = "holds a character that code page 932 cannot store";
        return false;
    }
    return true;
}

bool ReadEncoding(const Arguments& arguments, TextEncoding& encoding) {
    std::string name = arguments.Option("encoding", "utf-8");
    if (name == "utf-8" || name == "UTF-8") {
        encoding.cp932 = false;
        return true;
    }
    if (name == "cp932" || name == "CP932") {
        encoding.cp932 = true;
        return true;
    }
    return false;
}

}  // namespace zelmor::tools
