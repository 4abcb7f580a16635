#include "host/zelform/FileValue.h"

#include <algorithm>
#include <sstream>

namespace zelmor::host {

std::string ValueText(const FileValue& value) {
    if (const bool* flag = std::get_if<bool>(&value)) return *flag ? "True" : "False";
    if (const long long* number = std::get_if<long long>(&value)) return std::to_string(*number);
    if (const double* number = std::get_if<double>(&value)) {
        std::ostringstream text;
        text.precision(15);
        text << *number;
        return text.str();
    }
    if (const PictureFile* picture = std::get_if<PictureFile>(&value)) {
        return "picture:" + picture->path;
    }
    if (const FontSpec* font = std::get_if<FontSpec>(&value)) {
        std::string text = "font:" + font->name + " " + ValueText(font->size);
        if (font->bold) text += " bold";
        if (font->italic) text += " italic";
        if (font->underline) text += " underline";
        if (font->strikethrough) text += " strikethrough";
        if (font->charset != 1) text += " charset " + std::to_string(font->charset);
        return text;
    }
    return std::get<std::string>(value);
}

JsonObject::JsonObject(const Json& json, std::string where)
    : json_(json), where_(std::move(where)) {
    if (!json_.is_object()) throw FileError(where_ + ": an object {...} expected");
}

void JsonObject::Fail(const std::string& member, const std::string& problem) const {
    throw FileError(where_ + (member.empty() ? "" : "." + member) + ": " + problem);
}

bool JsonObject::Has(const char* name) const {
    return json_.contains(name);
}

const Json& JsonObject::Take(const char* name) {
    auto found = json_.find(name);
    if (found == json_.end()) Fail(name, "missing");
    taken_.emplace_back(name);
    return *found;
}

const Json& JsonObject::Member(const char* name) {
    return Take(name);
}

std::string JsonObject::Text(const char* name) {
    const Json& value = Take(name);
    if (!value.is_string()) Fail(name, "text expected");
    return value.get<std::string>();
}

std::string JsonObject::TextOr(const char* name, const std::string& fallback) {
    return Has(name) ? Text(name) : fallback;
}

long long JsonObject::Integer(const char* name) {
    const Json& value = Take(name);
    if (!value.is_number_integer()) Fail(name, "a whole number expected");
    return value.get<long long>();
}

long long JsonObject::IntegerOr(const char* name, long long fallback) {
    return Has(name) ? Integer(name) : fallback;
}

bool JsonObject::BooleanOr(const char* name, bool fallback) {
    if (!Has(name)) return fallback;
    const Json& value = Take(name);
    if (!value.is_boolean()) Fail(name, "true or false expected");
    return value.get<bool>();
}

FileValue JsonObject::ToValue(const Json& value, const std::string& member) const {
    if (value.is_boolean()) return value.get<bool>();
    if (value.is_number_integer()) return value.get<long long>();
    if (value.is_number_float()) return value.get<double>();
    if (value.is_string()) return value.get<std::string>();
    if (value.is_object() && value.size() == 1 && value.contains("picture") &&
        value["picture"].is_string()) {
        return PictureFile{value["picture"].get<std::string>()};
    }
    if (value.is_object() && value.size() == 1 && value.contains("font")) {
        return ToFont(value["font"], member + ".font");
    }
    Fail(member, "a text, a number, true, false, {\"picture\": \"file\"} or {\"font\": {...}} "
                 "expected");
}

FontSpec JsonObject::ToFont(const Json& json, const std::string& where) const {
    JsonObject object(json, where_ + "." + where);
    FontSpec font;
    font.name = object.Text("name");
    // A face name holds 31 characters at most (LOGFONT's 32 with the terminator).
    size_t characters = std::count_if(font.name.begin(), font.name.end(),
                                      [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
    if (characters == 0 || characters > 31) {
        object.Fail("name", "a face name of 1 to 31 characters expected");
    }
    const Json& size = object.Member("size");
    if (!size.is_number() || size.get<double>() <= 0 || size.get<double>() > 2048) {
        object.Fail("size", "a size in points above 0, up to 2048, expected");
    }
    font.size = size.get<double>();
    font.bold = object.BooleanOr("bold", false);
    font.italic = object.BooleanOr("italic", false);
    font.underline = object.BooleanOr("underline", false);
    font.strikethrough = object.BooleanOr("strikethrough", false);
    long long charset = object.IntegerOr("charset", 1);
    if (charset < 0 || charset > 255) object.Fail("charset", "0 to 255 expected");
    font.charset = static_cast<int>(charset);
    object.CheckAllTaken();
    return font;
}

FileValue JsonObject::Value(const char* name) {
    return ToValue(Take(name), name);
}

std::vector<FileValue> JsonObject::Values(const char* name) {
    std::vector<FileValue> values;
    if (!Has(name)) return values;
    const Json& array = Take(name);
    if (!array.is_array()) Fail(name, "a list [...] expected");
    for (size_t i = 0; i < array.size(); ++i) {
        values.push_back(ToValue(array[i], std::string(name) + "[" + std::to_string(i) + "]"));
    }
    return values;
}

std::vector<std::string> JsonObject::Texts(const char* name) {
    std::vector<std::string> texts;
    for (const FileValue& value : Values(name)) {
        if (!std::holds_alternative<std::string>(value)) Fail(name, "a list of texts expected");
        texts.push_back(std::get<std::string>(value));
    }
    return texts;
}

std::vector<std::pair<std::string, FileValue>> JsonObject::Pairs(const char* name) {
    std::vector<std::pair<std::string, FileValue>> pairs;
    if (!Has(name)) return pairs;
    const Json& object = Take(name);
    if (!object.is_object()) Fail(name, "an object {...} expected");
    for (const auto& [key, value] : object.items()) {
        pairs.emplace_back(key, ToValue(value, std::string(name) + "." + key));
    }
    return pairs;
}

void JsonObject::CheckAllTaken() const {
    for (const auto& item : json_.items()) {
        if (std::find(taken_.begin(), taken_.end(), item.key()) == taken_.end()) {
            Fail(item.key(), "not a known name");
        }
    }
}

}  // namespace zelmor::host
