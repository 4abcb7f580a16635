// An initialisation file read with the rules of GetPrivateProfileStringA, for platforms without
// the Windows profile routines (and for tests): sections and keys match without regard to
// letter case, blanks around keys and values are dropped, a value in matching single or double
// quotes loses them, lines starting with ';' are comments, the first match wins.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelmor::platform {

class ProfileFile {
public:
    ProfileFile() = default;
    explicit ProfileFile(std::string_view text);

    // Reads a file; a missing or unreadable file gives an empty profile.
    static ProfileFile Load(const std::string& path);

    // The value, at most capacity - 1 bytes (cut at a character boundary), or the default
    // (trailing blanks removed, as the Win32 routine does) when the section or key is missing.
    std::string Read(std::string_view section, std::string_view key,
                     std::string_view defaultValue, std::size_t capacity) const;

private:
    struct Entry {
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    std::vector<Section> sections_;
};

}  // namespace zelmor::platform
