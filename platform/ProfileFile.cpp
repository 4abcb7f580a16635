#include "platform/ProfileFile.h"

#include <fstream>
#include <sstream>

#include "platform/CodePage.h"

namespace zelmor::platform {

namespace {

std::string_view Trim(std::string_view text) {
    const char* blanks = " \t\r\n";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    std::size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::string_view StripQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string Bounded(std::string_view text, std::size_t capacity) {
    std::string result(text);
    CutToBytes(result, capacity == 0 ? 0 : capacity - 1);
    return result;
}

}  // namespace

ProfileFile::ProfileFile(std::string_view text) {
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    Section* current = nullptr;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            std::size_t close = line.find(']');
            std::string_view name = line.substr(1, close == std::string_view::npos ? line.size() - 1
                                                                                   : close - 1);
            sections_.push_back(Section{std::string(Trim(name)), {}});
            current = &sections_.back();
            continue;
        }
        if (current == nullptr) continue;  // keys before any section belong to none
        std::size_t equals = line.find('=');
        Entry entry;
        entry.key = std::string(Trim(line.substr(0, equals)));
        if (equals != std::string_view::npos) entry.value = Trim(line.substr(equals + 1));
        current->entries.push_back(std::move(entry));
    }
}

ProfileFile ProfileFile::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return ProfileFile();
    std::ostringstream content;
    content << in.rdbuf();
    return ProfileFile(content.str());
}

std::string ProfileFile::Read(std::string_view section, std::string_view key,
                              std::string_view defaultValue, std::size_t capacity) const {
    for (const Section& s : sections_) {
        if (!EqualIgnoringCase(s.name, section)) continue;
        for (const Entry& e : s.entries) {
            if (EqualIgnoringCase(e.key, key)) return Bounded(StripQuotes(e.value), capacity);
        }
        break;
    }
    std::size_t last = defaultValue.find_last_not_of(' ');
    return Bounded(defaultValue.substr(0, last == std::string_view::npos ? 0 : last + 1), capacity);
}

}  // namespace zelmor::platform
