// Natively the ANSI code page is 932 (Shift_JIS as Windows defines it), converted with iconv.
#include <errno.h>
#include <iconv.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/CodePage.h"

namespace zelmor::platform {

namespace {

// Opening a conversion costs far more than converting a short text: each thread keeps the
// conversions it opened, keyed by the (literal) encoding names.
iconv_t OpenConversion(const char* to, const char* from) {
    struct Cache {
        struct Entry {
            const char* to;
            const char* from;
            iconv_t cd;
        };
        std::vector<Entry> entries;
        ~Cache() {
            for (const Entry& entry : entries) iconv_close(entry.cd);
        }
    };
    thread_local Cache cache;
    for (const Cache::Entry& entry : cache.entries)
        if (entry.to == to && entry.from == from) return entry.cd;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    cache.entries.push_back({to, from, cd});
    return cd;
}

// Converts with iconv, replacing each unconvertible or invalid input unit by '?' in the target
// encoding (given by `replacement`, the '?' in that encoding), so a conversion never fails.
std::string Convert(const char* to, const char* from, const char* input, std::size_t inputSize,
                    std::size_t inputUnit, std::string_view replacement) {
    iconv_t cd = OpenConversion(to, from);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // a fresh shift state
    std::string out;
    char buffer[1024];
    char* in = const_cast<char*>(input);
    std::size_t inLeft = inputSize;
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (rc == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: skip one input unit and put the replacement in its place. A
            // lone lead byte at the end of Shift_JIS text is one such unit.
            std::size_t skip = inputUnit < inLeft ? inputUnit : inLeft;
            in += skip;
            inLeft -= skip;
            out.append(replacement);
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

std::u16string FromBytes(const std::string& bytes) {
    std::u16string result(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < result.size(); ++i) {
        result[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                          (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    }
    return result;
}

std::string ToBytes(std::u16string_view text) {
    std::string bytes(text.size() * 2, '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        bytes[2 * i] = static_cast<char>(text[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(text[i] >> 8);
    }
    return bytes;
}

const std::string_view kQuestionUtf16le("?\0", 2);

}  // namespace

unsigned AnsiCodePage() { return 932; }

bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::u16string AnsiToUtf16(std::string_view ansi) {
    return FromBytes(Convert("UTF-16LE", "CP932", ansi.data(), ansi.size(), 1, kQuestionUtf16le));
}

std::string Utf16ToAnsi(std::u16string_view utf16) {
    std::string bytes = ToBytes(utf16);
    return Convert("CP932", "UTF-16LE", bytes.data(), bytes.size(), 2, "?");
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    return FromBytes(Convert("UTF-16LE", "UTF-8", utf8.data(), utf8.size(), 1, kQuestionUtf16le));
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string bytes = ToBytes(utf16);
    return Convert("UTF-8", "UTF-16LE", bytes.data(), bytes.size(), 2, "?");
}

}  // namespace zelmor::platform
