#include "pages/PageChoices.h"

#include <algorithm>
#include <cctype>

#include "core/DictionaryLoader.h"
#include "extended/ExtendedRequest.h"
#include "platform/Platform.h"

namespace zelmor::pages {

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string Trimmed(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// Stands in for the platform while a parser runs: keeps the first message instead of showing
// it, and passes every other service on to the platform it replaces.
class MessageCatcher : public platform::Platform {
  public:
    MessageCatcher() : previous_(platform::SetCurrentPlatform(this)) {}
    ~MessageCatcher() override { platform::SetCurrentPlatform(previous_); }
    MessageCatcher(const MessageCatcher&) = delete;
    MessageCatcher& operator=(const MessageCatcher&) = delete;

    int ShowMessageBox(const std::string& text, unsigned style) override {
        if (message_.empty()) message_ = text;
        return platform::box::DefaultAnswer(style);
    }
    void Beep(unsigned) override {}
    std::string ReadProfileString(const std::string& fileName, const std::string& section,
                                  const std::string& key, const std::string& defaultValue,
                                  std::size_t capacity) override {
        return Previous().ReadProfileString(fileName, section, key, defaultValue, capacity);
    }
    bool ShortenPath(const std::string& path, std::string& shortPath) override {
        return Previous().ShortenPath(path, shortPath);
    }
    bool FileExists(const std::string& path) override { return Previous().FileExists(path); }
    void EndWithFatalError(const std::string& text) override { Previous().EndWithFatalError(text); }

    const std::string& Message() const { return message_; }

  private:
    platform::Platform& Previous() {
        return previous_ != nullptr ? *previous_ : platform::NativePlatform();
    }

    platform::Platform* previous_;
    std::string message_;
};

}  // namespace

const TableDef* FindTable(const FormContext& context, const std::string& tableName) {
    for (const TableDef& table : context.tables) {
        if (table.name == tableName) return &table;
    }
    for (const TableDef& table : context.tables) {
        if (SameIgnoringCase(table.name, tableName)) return &table;
    }
    return nullptr;
}

const TableDef* FindTableWithFields(FormContext& context, const std::string& tableName) {
    auto* table = const_cast<TableDef*>(FindTable(context, tableName));
    if (table == nullptr || table->definitionsLoaded) return table;
    MessageCatcher catcher;
    return ResolveTableDefinitions(context, *table) == 0 ? table : nullptr;
}

std::vector<std::string> TableChoices(const FormContext& context) {
    std::vector<std::string> names;
    for (const TableDef& table : context.tables) names.push_back(table.name);
    return names;
}

std::vector<std::string> FieldChoices(FormContext& context, const std::string& tableName) {
    std::vector<std::string> names;
    if (const TableDef* table = FindTableWithFields(context, tableName)) {
        for (const FieldDef& field : table->fields) names.push_back(field.name);
    }
    return names;
}

std::vector<std::string> IndexChoices(FormContext& context, const std::string& tableName) {
    std::vector<std::string> names;
    const TableDef* table = FindTableWithFields(context, tableName);
    if (table == nullptr) return names;
    bool keyStart = true;
    int keyNumber = 0;
    for (const IndexDef& segment : table->segments) {
        if (keyStart) {
            std::string name;
            for (const FieldDef& named : table->namedIndexes) {
                if (named.offset == keyNumber) name = named.name;
            }
            if (name.empty()) {
                if (const FieldDef* field = table->FieldById(segment.fieldId)) name = field->name;
            }
            if (!name.empty()) names.push_back(name);
            ++keyNumber;
        }
        keyStart = (segment.flags & keyflag::kSegmented) == 0;
    }
    return names;
}

std::vector<std::string> SplitFieldList(const std::string& list) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        std::string name = Trimmed(list.substr(start, comma - start));
        if (!name.empty()) names.push_back(name);
        start = comma + 1;
    }
    return names;
}

std::string JoinFieldList(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) {
        if (!list.empty()) list += ',';
        list += name;
    }
    return list;
}

std::vector<std::string> MergeFieldSelection(const std::vector<std::string>& listed,
                                             const std::vector<std::string>& choices,
                                             const std::vector<bool>& selected) {
    auto choiceOf = [&](const std::string& name) -> int {
        for (std::size_t i = 0; i < choices.size(); ++i) {
            if (SameIgnoringCase(choices[i], name)) return static_cast<int>(i);
        }
        return -1;
    };
    auto isSelected = [&](int choice) {
        return choice >= 0 && static_cast<std::size_t>(choice) < selected.size() &&
               selected[static_cast<std::size_t>(choice)];
    };
    std::vector<std::string> result;
    std::vector<bool> kept(choices.size(), false);
    for (const std::string& name : listed) {
        int choice = choiceOf(name);
        if (choice < 0) {
            result.push_back(name);
        } else if (isSelected(choice) && !kept[static_cast<std::size_t>(choice)]) {
            kept[static_cast<std::size_t>(choice)] = true;
            result.push_back(name);
        }
    }
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (isSelected(static_cast<int>(i)) && !kept[i]) result.push_back(choices[i]);
    }
    return result;
}

std::string CheckCondition(const TableDef& table, const std::string& condition, bool ignoreCase) {
    if (Trimmed(condition).empty()) return {};
    MessageCatcher catcher;
    ParsedCondition parsed;
    if (ParseSearchCondition(table, condition, ignoreCase, parsed)) return {};
    return catcher.Message();
}

}  // namespace zelmor::pages
