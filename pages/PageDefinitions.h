// The design-time property pages as tables: for each page its dialog, title and help line, and
// the properties it shows, each with the kind of box that edits it. The page class is one for
// all of them; what differs between pages is only here and in the dialogs.
#pragma once

#include <cstddef>
#include <string>

namespace zelmor::pages {

enum class FieldKind {
    Text,       // a text box
    Folder,     // a text box with a "..." button that opens a folder chooser
    Number,     // a text box holding a whole number
    Check,      // a check box (a Boolean or a 0/1 property)
    Choice,     // a drop-down list of fixed values, shown by name
    Table,      // a table of the data control's dictionary
    Field,      // a field of the table
    Index,      // a key of the table
    FieldList,  // several fields of the table, written as "A,B,C"
    Condition,  // a search condition, checked as it is typed
};

struct Choice {
    int value;
    const char* name;
};

struct PropertyField {
    const wchar_t* name;  // the property, also the text of the box's label
    FieldKind kind;
    const Choice* choices = nullptr;  // Choice
    std::size_t choiceCount = 0;
    // Table, Field, Index, FieldList, Condition: the properties that name the data control and
    // the table whose dictionary the box offers (a table box uses only the first).
    const wchar_t* sourceProperty = nullptr;
    const wchar_t* tableProperty = nullptr;
};

struct PageDefinition {
    const wchar_t* className;  // "ZelEditPpg"
    int dialog;                // its dialog resource
    const wchar_t* title;
    const wchar_t* help;
    const PropertyField* fields;
    std::size_t fieldCount;

    const PropertyField* begin() const { return fields; }
    const PropertyField* end() const { return fields + fieldCount; }
    // The position of the property on the page, or -1.
    int IndexOf(const std::wstring& property) const;
};

// The fifteen pages, in the order of the class table.
const PageDefinition* PageDefinitions();
std::size_t PageDefinitionCount();
// The page of that class name, or nullptr.
const PageDefinition* FindPageDefinition(const std::wstring& className);

// The name a choice field shows for a value, or nullptr when the value has none.
const char* ChoiceName(const PropertyField& field, int value);

}  // namespace zelmor::pages
