#include "tools/zeldict/Schema.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <nlohmann/json.hpp>
#include <set>

#include "core/Dictionary.h"
#include "platform/CodePage.h"
#include "values/DataTypeNames.h"

namespace zelmor::tools {

namespace {

using Json = nlohmann::json;

constexpr std::int32_t kFirstFieldId = 18;  // after the dictionary's own fields
constexpr std::int32_t kFirstFileId = 4;    // after the dictionary's own files
constexpr std::size_t kMaxKeyBytes = 255;
constexpr std::size_t kMaxLocationBytes = 64;

struct Refusal {
    std::string message;
};

[[noreturn]] void Refuse(const std::string& table, const std::string& field,
                         const std::string& what) {
    std::string where = "table \"" + table + "\"";
    if (!field.empty()) where += ", field \"" + field + "\"";
    throw Refusal{where + ": " + what};
}

// Sizes a type allows: a list of the allowed sizes (the first is the default), or empty when
// any size from 1 is allowed and one must be given.
std::vector<int> AllowedSizes(std::int32_t type) {
    switch (type) {
        case kInteger:
        case kUBin: return {4, 1, 2, 8};
        case kAutoInc: return {4, 2};
        case kFloat:
        case kBFloat: return {8, 4};
        case kDate:
        case kTime: return {4};
        case kLogical: return {1, 2};
        case kBit: return {1};
        case kCurrency:
        case kBlob: return {8};
        default: return {};
    }
}

std::string AnsiName(const std::string& table, const std::string& field, const Json& value,
                     std::size_t limit, const char* what) {
    if (!value.is_string()) Refuse(table, field, std::string(what) + " must be a text");
    std::string name = value.get<std::string>();
    if (name.empty()) Refuse(table, field, std::string(what) + " is empty");
    std::string ansi = platform::Utf8ToAnsi(name);
    if (ansi.size() > limit) {
        Refuse(table, field, std::string(what) + " is longer than " + std::to_string(limit) +
                                 " bytes");
    }
    return ansi;
}

constexpr int kMaxKeys = 119;
constexpr std::size_t kMaxSegments = 119;

int IntegerMember(const Json& object, const char* key, int fallback, const std::string& table,
                  const std::string& field) {
    if (!object.contains(key)) return fallback;
    const Json& value = object[key];
    if (!value.is_number_integer()) Refuse(table, field, std::string(key) + " must be a number");
    // Sizes, offsets and decimals all end up in 16-bit fields of the dictionary and the file:
    // a value outside them is refused here rather than cut short there.
    const auto number = value.get<std::int64_t>();
    if (number < 0 || number > 0xFFFF)
        Refuse(table, field, std::string(key) + " must be between 0 and 65535");
    return static_cast<int>(number);
}

bool BoolMember(const Json& object, const char* key) {
    if (!object.contains(key)) return false;
    if (!object[key].is_boolean()) throw Refusal{std::string(key) + " must be true or false"};
    return object[key].get<bool>();
}

// A member the schema does not know is a mistake ("duplicate" for "duplicates"), not a choice
// to ignore.
void OnlyKnownMembers(const Json& object, std::initializer_list<const char*> known,
                      const std::string& where) {
    for (const auto& member : object.items()) {
        if (std::none_of(known.begin(), known.end(),
                         [&](const char* name) { return member.key() == name; })) {
            throw Refusal{where + ": unknown member \"" + member.key() + "\""};
        }
    }
}

// The digits a fixed-point field holds, or -1 for a type without decimals.
int DigitsOf(const FieldDef& field) {
    switch (field.dataType) {
        case kDecimal:
        case kMoney: return 2 * field.size - 1;  // packed: two digits a byte, and the sign
        case kNumeric:
        case kNumericSA: return field.size;      // one digit a byte
        case kNumericSTS: return field.size - 1;  // and a byte for the sign
        default: return -1;
    }
}

class TableReader {
public:
    TableReader(const Json& json, std::int32_t fileId, std::int32_t& nextFieldId)
        : json_(json), nextFieldId_(nextFieldId) {
        table_.fileId = fileId;
    }

    DictionaryTable Read() {
        if (!json_.is_object()) throw Refusal{"every table must be an object"};
        name_ = json_.contains("name") && json_["name"].is_string()
                    ? json_["name"].get<std::string>()
                    : std::string();
        OnlyKnownMembers(json_, {"name", "location", "fields", "keys"},
                         "table \"" + name_ + "\"");
        table_.name = AnsiName(name_, "", json_.value("name", Json()), kMaxTableName, "name");
        table_.location = json_.contains("location")
                              ? AnsiName(name_, "", json_["location"], kMaxLocationBytes,
                                         "location")
                              : table_.name;
        if (!json_.contains("fields") || !json_["fields"].is_array() || json_["fields"].empty()) {
            Refuse(name_, "", "has no fields");
        }
        for (const Json& field : json_["fields"]) ReadField(field);
        CheckOverlaps();
        if (json_.contains("keys")) {
            if (!json_["keys"].is_array()) Refuse(name_, "", "keys must be a list");
            int keyNumber = 0;
            for (const Json& key : json_["keys"]) ReadKey(key, keyNumber++);
            // The record manager takes at most this many keys and segments in a file.
            if (keyNumber > kMaxKeys || table_.segments.size() > kMaxSegments)
                Refuse(name_, "", "has more than " + std::to_string(kMaxKeys) +
                                      " keys or key segments");
        }
        return table_;
    }

private:
    void ReadField(const Json& json) {
        if (!json.is_object()) Refuse(name_, "", "every field must be an object");
        std::string label = json.contains("name") && json["name"].is_string()
                                ? json["name"].get<std::string>()
                                : std::string();
        OnlyKnownMembers(json, {"name", "type", "size", "decimals", "nullable", "offset"},
                         "table \"" + name_ + "\", field \"" + label + "\"");
        FieldDef field;
        field.name = AnsiName(name_, label, json.value("name", Json()), kMaxFieldName, "name");
        if (!names_.insert(field.name).second) Refuse(name_, label, "the name is used twice");
        std::string typeName = json.value("type", std::string());
        field.dataType = DataTypeCode(typeName);
        if (field.dataType < 0) Refuse(name_, label, "unknown type \"" + typeName + "\"");
        std::vector<int> sizes = AllowedSizes(field.dataType);
        field.size = IntegerMember(json, "size", sizes.empty() ? 0 : sizes.front(), name_, label);
        if (field.size < 1 || field.size > 32767) {
            Refuse(name_, label, "needs a size from 1 to 32767");
        }
        if (!sizes.empty() && std::find(sizes.begin(), sizes.end(), field.size) == sizes.end()) {
            Refuse(name_, label, "a " + typeName + " cannot have size " + std::to_string(field.size));
        }
        field.decimals = IntegerMember(json, "decimals", 0, name_, label);
        if (field.decimals < 0 || field.decimals > 255) Refuse(name_, label, "bad decimals");
        const int digits = DigitsOf(field);
        if (digits >= 0 && field.decimals > digits) {
            Refuse(name_, label, std::to_string(field.decimals) + " decimals, but a " + typeName +
                                     " of " + std::to_string(field.size) + " bytes holds " +
                                     std::to_string(digits) + " digits");
        }
        if (BoolMember(json, "nullable")) field.flags = kFieldNullable;
        int nullBytes = field.IsNullable() ? 1 : 0;
        field.offset = IntegerMember(json, "offset", nextOffset_ + nullBytes, name_, label);
        if (field.offset < nullBytes || field.offset > 32767) Refuse(name_, label, "bad offset");
        nextOffset_ = field.offset + field.size;
        field.fieldId = nextFieldId_++;
        labels_[field.name] = label;
        table_.fields.push_back(field);
    }

    void CheckOverlaps() {
        for (std::size_t i = 0; i < table_.fields.size(); ++i) {
            for (std::size_t j = 0; j < i; ++j) {
                const FieldDef& a = table_.fields[i];
                const FieldDef& b = table_.fields[j];
                int aStart = a.offset - (a.IsNullable() ? 1 : 0);
                int bStart = b.offset - (b.IsNullable() ? 1 : 0);
                if (aStart < b.offset + b.size && bStart < a.offset + a.size) {
                    Refuse(name_, labels_[a.name], "overlaps field \"" + labels_[b.name] + "\"");
                }
            }
        }
    }

    void ReadKey(const Json& json, int keyNumber) {
        if (!json.is_object() || !json.contains("segments") || !json["segments"].is_array() ||
            json["segments"].empty()) {
            Refuse(name_, "", "key " + std::to_string(keyNumber) + " has no segments");
        }
        OnlyKnownMembers(json, {"name", "segments", "duplicates", "modifiable"},
                         "table \"" + name_ + "\", key " + std::to_string(keyNumber));
        std::int32_t common = keyflag::kExtendedType;
        if (BoolMember(json, "duplicates")) common |= keyflag::kDuplicates;
        if (BoolMember(json, "modifiable")) common |= keyflag::kModifiable;
        std::size_t keyBytes = 0;
        const Json& segments = json["segments"];
        for (std::size_t part = 0; part < segments.size(); ++part) {
            const Json& segment = segments[part];
            if (segment.is_object()) {
                OnlyKnownMembers(segment, {"field", "descending", "caseInsensitive"},
                                 "table \"" + name_ + "\", key " + std::to_string(keyNumber));
            }
            std::string fieldName = segment.is_object() ? segment.value("field", std::string())
                                                        : std::string();
            std::string ansi = platform::Utf8ToAnsi(fieldName);
            auto field = std::find_if(table_.fields.begin(), table_.fields.end(),
                                      [&](const FieldDef& f) { return f.name == ansi; });
            if (field == table_.fields.end()) {
                Refuse(name_, fieldName, "key " + std::to_string(keyNumber) +
                                             " names a field the table does not have");
            }
            if (field->dataType == kNote || field->dataType == kLVar || field->dataType == kBlob) {
                Refuse(name_, fieldName, "a " + std::string(DataTypeName(field->dataType)) +
                                             " field cannot be part of a key");
            }
            keyBytes += static_cast<std::size_t>(field->size);
            std::int32_t flags = common;
            if (part + 1 < segments.size()) flags |= keyflag::kSegmented;
            if (BoolMember(segment, "descending")) flags |= keyflag::kDescending;
            if (BoolMember(segment, "caseInsensitive")) flags |= keyflag::kCaseInsensitive;
            table_.segments.push_back(DictionarySegment{field->fieldId, keyNumber,
                                                        static_cast<std::int32_t>(part), flags});
        }
        if (keyBytes > kMaxKeyBytes) {
            Refuse(name_, "", "key " + std::to_string(keyNumber) + " is longer than 255 bytes");
        }
        if (json.contains("name")) {
            FieldDef named;
            named.name = AnsiName(name_, "", json["name"], kMaxFieldName, "key name");
            if (!names_.insert(named.name).second) {
                Refuse(name_, json["name"].get<std::string>(), "the key name is used twice");
            }
            named.dataType = kNamedIndex;
            named.offset = keyNumber;
            named.fieldId = nextFieldId_++;
            table_.namedIndexes.push_back(named);
        }
    }

    const Json& json_;
    std::int32_t& nextFieldId_;
    DictionaryTable table_;
    std::string name_;
    std::set<std::string> names_;
    std::map<std::string, std::string> labels_;
    int nextOffset_ = 0;
};

}  // namespace

SchemaResult ReadSchema(const std::string& text) {
    SchemaResult result;
    try {
        Json json = Json::parse(text);
        if (!json.is_object() || !json.contains("tables") || !json["tables"].is_array()) {
            throw Refusal{"the schema needs a list \"tables\""};
        }
        OnlyKnownMembers(json, {"tables"}, "the schema");
        std::int32_t nextFieldId = kFirstFieldId;
        std::set<std::string> tableNames;
        std::map<std::string, std::string> locations;  // upper-cased, as file names compare
        std::int32_t fileId = kFirstFileId;
        for (const Json& table : json["tables"]) {
            DictionaryTable read = TableReader(table, fileId++, nextFieldId).Read();
            if (!tableNames.insert(read.name).second) {
                throw Refusal{"table \"" + platform::AnsiToUtf8(read.name) + "\": the name is used twice"};
            }
            // Two tables in one file would overwrite each other.
            std::string location = read.location;
            for (char& c : location) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            auto [other, added] = locations.emplace(location, read.name);
            if (!added) {
                throw Refusal{"table \"" + platform::AnsiToUtf8(read.name) +
                              "\": the location \"" + platform::AnsiToUtf8(read.location) +
                              "\" is already that of table \"" +
                              platform::AnsiToUtf8(other->second) + "\""};
            }
            result.tables.push_back(std::move(read));
        }
    } catch (const Refusal& refusal) {
        result.tables.clear();
        result.error = refusal.message;
    } catch (const Json::exception& error) {
        result.tables.clear();
        result.error = std::string("not a valid schema: ") + error.what();
    }
    return result;
}

}  // namespace zelmor::tools
