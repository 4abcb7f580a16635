// The values of form and script files (property values, method arguments, expected results)
// and the checked reading of the files' JSON, shared by both file kinds. Portable.
#pragma once

#include <nlohmann/json.hpp>

#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace zelmor::host {

using Json = nlohmann::ordered_json;

// A picture loaded from an image file (bitmap, icon, metafile), written {"picture": "path"}.
struct PictureFile {
    std::string path;  // UTF-8
};

// A font, written {"font": {"name": "MS UI Gothic", "size": 9, "bold": true}}: its face name,
// its size in points, and the styles that are set ("bold", "italic", "underline",
// "strikethrough", false when left out); "charset" when it is not the default (1).
struct FontSpec {
    std::string name;  // UTF-8
    double size = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    int charset = 1;
};

// A value as the file gives it: a boolean, a whole number, a number, text (UTF-8), a picture
// or a font.
using FileValue = std::variant<bool, long long, double, std::string, PictureFile, FontSpec>;

// A mistake in a file, with the place: "controls[2].rect: four numbers expected".
class FileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The value as the host language writes it as text: "True", "False", "12", "2.5", the text; a
// picture as "picture:" and its file; a font as "font:" and its name, size and styles
// ("font:MS UI Gothic 9 bold").
std::string ValueText(const FileValue& value);

// Reading one JSON object of a file: each member is taken once, its type checked, and members
// the file has but nobody took are reported as mistakes (a misspelt name).
class JsonObject {
  public:
    // where: the object's place in the file, for messages.
    JsonObject(const Json& json, std::string where);

    const std::string& Where() const { return where_; }
    bool Has(const char* name) const;
    std::string Text(const char* name);
    std::string TextOr(const char* name, const std::string& fallback);
    long long Integer(const char* name);
    long long IntegerOr(const char* name, long long fallback);
    bool BooleanOr(const char* name, bool fallback);
    FileValue Value(const char* name);
    std::vector<FileValue> Values(const char* name);   // an array; empty when missing
    std::vector<std::string> Texts(const char* name);  // an array of texts; empty when missing
    // A member that is an object of name/value pairs, in file order.
    std::vector<std::pair<std::string, FileValue>> Pairs(const char* name);
    const Json& Member(const char* name);
    // Fails with the first member nobody took.
    void CheckAllTaken() const;

    [[noreturn]] void Fail(const std::string& member, const std::string& problem) const;

  private:
    const Json& Take(const char* name);
    FileValue ToValue(const Json& value, const std::string& member) const;
    FontSpec ToFont(const Json& json, const std::string& where) const;

    const Json& json_;
    std::string where_;
    std::vector<std::string> taken_;
};

}  // namespace zelmor::host
