#include "host/zelform/FormFile.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace zelmor::host {

namespace {

// The largest size or position a form file may give, in pixels.
constexpr long long kLargestCoordinate = 32767;

const char* const kFrameClasses[] = {"ThunderFrame", "ThunderRTFrame", "ThunderRT5Frame"};

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

int Coordinate(JsonObject& object, const char* name, long long smallest) {
    long long value = object.Integer(name);
    if (value < smallest || value > kLargestCoordinate) {
        object.Fail(name, "from " + std::to_string(smallest) + " to " +
                              std::to_string(kLargestCoordinate) + " expected");
    }
    return static_cast<int>(value);
}

void ReadRect(JsonObject& object, FormItem& item) {
    const Json& rect = object.Member("rect");
    if (!rect.is_array() || rect.size() != 4 ||
        !std::all_of(rect.begin(), rect.end(),
                     [](const Json& n) { return n.is_number_integer(); })) {
        object.Fail("rect", "[left, top, width, height] in whole pixels expected");
    }
    long long values[4];
    for (size_t i = 0; i < 4; ++i) values[i] = rect[i].get<long long>();
    for (size_t i = 0; i < 4; ++i) {
        long long smallest = i < 2 ? -kLargestCoordinate : 1;
        if (values[i] < smallest || values[i] > kLargestCoordinate) {
            object.Fail("rect", "positions from -32767 and sizes from 1, up to 32767 expected");
        }
    }
    item.left = static_cast<int>(values[0]);
    item.top = static_cast<int>(values[1]);
    item.width = static_cast<int>(values[2]);
    item.height = static_cast<int>(values[3]);
}

const FormItem* FindItem(const std::vector<FormItem>& items, const std::string& name) {
    for (const FormItem& item : items) {
        if (SameName(item.name, name)) return &item;
    }
    return nullptr;
}

void ReadKindSpecific(JsonObject& object, FormItem& item) {
    std::string type = object.TextOr("type", "control");
    if (type == "frame") {
        item.kind = FormItem::Kind::Frame;
        item.caption = object.TextOr("caption", "");
        item.frameClass = object.TextOr("class", "");
        bool known = item.frameClass.empty() ||
                     std::any_of(std::begin(kFrameClasses), std::end(kFrameClasses),
                                 [&](const char* name) { return item.frameClass == name; });
        if (!known)
            object.Fail("class", "ThunderFrame, ThunderRTFrame or ThunderRT5Frame expected");
    } else if (type == "tab") {
        item.kind = FormItem::Kind::Tab;
        item.pages = object.Texts("pages");
        if (item.pages.empty()) object.Fail("pages", "at least one page expected");
    } else if (type == "control") {
        item.programId = object.TextOr("progid", "");
        item.classId = object.TextOr("clsid", "");
        if (item.programId.empty() == item.classId.empty()) {
            object.Fail("", "a \"progid\" or a \"clsid\" expected, not both");
        }
        item.properties = object.Pairs("properties");
    } else {
        object.Fail("type", "\"control\", \"frame\" or \"tab\" expected");
    }
}

FormItem ReadItem(const Json& json, const std::string& where, const std::vector<FormItem>& before) {
    JsonObject object(json, where);
    FormItem item;
    item.name = object.Text("name");
    if (item.name.empty()) object.Fail("name", "a name expected");
    if (FindItem(before, item.name)) object.Fail("name", "\"" + item.name + "\" is taken");
    ReadRect(object, item);
    ReadKindSpecific(object, item);
    item.container = object.TextOr("container", "");
    long long page = object.IntegerOr("page", 0);
    if (!item.container.empty()) {
        const FormItem* container = FindItem(before, item.container);
        if (!container || container->kind == FormItem::Kind::Control) {
            object.Fail("container", "a frame or tab control named before expected");
        }
        if (container->kind == FormItem::Kind::Tab &&
            (page < 0 || page >= static_cast<long long>(container->pages.size()))) {
            object.Fail("page", "a page of " + container->name + " (from 0) expected");
        }
        if (container->kind != FormItem::Kind::Tab && page != 0) {
            object.Fail("page", "only inside a tab control");
        }
    } else if (page != 0) {
        object.Fail("page", "only inside a tab control");
    }
    item.page = static_cast<int>(page);
    object.CheckAllTaken();
    return item;
}

Json JsonOf(const FontSpec& font) {
    Json json;
    json["name"] = font.name;
    // A whole size as a whole number, as people write it.
    if (font.size == static_cast<double>(static_cast<long long>(font.size))) {
        json["size"] = static_cast<long long>(font.size);
    } else {
        json["size"] = font.size;
    }
    if (font.bold) json["bold"] = true;
    if (font.italic) json["italic"] = true;
    if (font.underline) json["underline"] = true;
    if (font.strikethrough) json["strikethrough"] = true;
    if (font.charset != 1) json["charset"] = font.charset;
    return json;
}

Json JsonOf(const FormItem& item, const std::string& where) {
    Json json;
    json["name"] = item.name;
    if (item.kind == FormItem::Kind::Frame) json["type"] = "frame";
    if (item.kind == FormItem::Kind::Tab) json["type"] = "tab";
    json["rect"] = {item.left, item.top, item.width, item.height};
    if (!item.container.empty()) json["container"] = item.container;
    if (item.page != 0) json["page"] = item.page;
    switch (item.kind) {
        case FormItem::Kind::Control: {
            if (!item.programId.empty()) json["progid"] = item.programId;
            else json["clsid"] = item.classId;
            Json properties = Json::object();
            for (const auto& [name, value] : item.properties) {
                if (const bool* flag = std::get_if<bool>(&value)) {
                    properties[name] = *flag;
                } else if (const long long* number = std::get_if<long long>(&value)) {
                    properties[name] = *number;
                } else if (const double* real = std::get_if<double>(&value)) {
                    if (!std::isfinite(*real)) {
                        throw FileError(where + ".properties." + name + ": not a finite number");
                    }
                    properties[name] = *real;
                } else if (const PictureFile* picture = std::get_if<PictureFile>(&value)) {
                    properties[name] = {{"picture", picture->path}};
                } else if (const FontSpec* font = std::get_if<FontSpec>(&value)) {
                    properties[name] = {{"font", JsonOf(*font)}};
                } else {
                    properties[name] = std::get<std::string>(value);
                }
            }
            if (!properties.empty()) json["properties"] = properties;
            break;
        }
        case FormItem::Kind::Frame:
            json["caption"] = item.caption;
            if (!item.frameClass.empty()) json["class"] = item.frameClass;
            break;
        case FormItem::Kind::Tab:
            json["pages"] = item.pages;
            break;
    }
    return json;
}

// Indented like the form files people write: an object's members on lines of their own, a
// list of plain values (a rect, the pages) on one line.
void WriteJson(const Json& json, int indent, std::string& out) {
    auto plain = [](const Json& value) { return !value.is_object() && !value.is_array(); };
    const std::string inner(static_cast<size_t>(indent + 2), ' ');
    if (json.is_array() && std::all_of(json.begin(), json.end(), plain)) {
        out += "[";
        for (size_t i = 0; i < json.size(); ++i) {
            if (i > 0) out += ", ";
            out += json[i].dump(-1, ' ', false, Json::error_handler_t::replace);
        }
        out += "]";
    } else if (json.is_array() || json.is_object()) {
        if (json.empty()) {
            out += json.is_array() ? "[]" : "{}";
            return;
        }
        out += json.is_array() ? "[\n" : "{\n";
        bool first = true;
        for (const auto& item : json.items()) {
            if (!first) out += ",\n";
            first = false;
            out += inner;
            if (json.is_object()) {
                out += Json(item.key()).dump(-1, ' ', false, Json::error_handler_t::replace) + ": ";
            }
            WriteJson(item.value(), indent + 2, out);
        }
        out += "\n" + std::string(static_cast<size_t>(indent), ' ') + (json.is_array() ? "]" : "}");
    } else {
        out += json.dump(-1, ' ', false, Json::error_handler_t::replace);
    }
}

}  // namespace

std::string WriteFormFile(const FormFile& form) {
    Json json;
    json["name"] = form.name;
    json["caption"] = form.caption;
    json["width"] = form.width;
    json["height"] = form.height;
    Json controls = Json::array();
    for (size_t i = 0; i < form.items.size(); ++i) {
        controls.push_back(JsonOf(form.items[i], "controls[" + std::to_string(i) + "]"));
    }
    json["controls"] = controls;
    // Text that is not UTF-8 cannot come from the reader; whatever else wrote it is kept
    // readable rather than failing the whole file.
    std::string text;
    WriteJson(json, 0, text);
    return text + "\n";
}

FormFile ParseFormFile(const std::string& text) {
    Json json = Json::parse(text, nullptr, false);
    if (json.is_discarded()) throw FileError("form: not valid JSON");
    JsonObject object(json, "form");
    FormFile form;
    form.name = object.Text("name");
    if (form.name.empty()) object.Fail("name", "a name expected");
    form.caption = object.TextOr("caption", form.name);
    form.width = Coordinate(object, "width", 1);
    form.height = Coordinate(object, "height", 1);
    if (object.Has("controls")) {
        const Json& controls = object.Member("controls");
        if (!controls.is_array()) object.Fail("controls", "a list [...] expected");
        for (size_t i = 0; i < controls.size(); ++i) {
            form.items.push_back(
                ReadItem(controls[i], "controls[" + std::to_string(i) + "]", form.items));
        }
    }
    object.CheckAllTaken();
    return form;
}

}  // namespace zelmor::host
