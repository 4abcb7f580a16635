// What the design-time pages offer and check without a window: the tables, fields and keys of a
// data control's dictionary as choices for a page's boxes, the merge of a field-list selection
// into the list as written, and the check of a search condition as it is typed. Text is ANSI.
#pragma once

#include <string>
#include <vector>

#include "core/Dictionary.h"

namespace zelmor::pages {

// The table of that name (exactly, else without regard to letter case), or nullptr.
const TableDef* FindTable(const FormContext& context, const std::string& tableName);
// The same with its fields and keys: a table of a dictionary loaded without them has them read
// now (as opening it would); nullptr when they cannot be read, the reason not shown.
const TableDef* FindTableWithFields(FormContext& context, const std::string& tableName);

// The dictionary's table names, in its order.
std::vector<std::string> TableChoices(const FormContext& context);
// The table's field names, in its order; none when the table is unknown.
std::vector<std::string> FieldChoices(FormContext& context, const std::string& tableName);
// One name per key, in key order: the key's name where the dictionary names it, else the name
// of the field of its first segment (the two ways a control names its key).
std::vector<std::string> IndexChoices(FormContext& context, const std::string& tableName);

// A field list ("Code, Name,Kind") as its names, blanks around them dropped, empty ones left
// out; and back, separated by ",".
std::vector<std::string> SplitFieldList(const std::string& list);
std::string JoinFieldList(const std::vector<std::string>& names);

// The list after the user's selection in a box of `choices` (`selected[i]` for choices[i]):
// the names already listed keep their order (the order of the columns), a chosen name not yet
// listed is added at the end, a choice no longer selected goes; names the box does not offer
// (a field number, a name of another dictionary) are kept as they are.
std::vector<std::string> MergeFieldSelection(const std::vector<std::string>& listed,
                                             const std::vector<std::string>& choices,
                                             const std::vector<bool>& selected);

// The message a search condition gets from the parser the extended lists use, as the user would
// see it (VEnnn and its text), or an empty text when the condition is good. An empty or blank
// condition is good: it means no condition. The message is caught, not shown.
std::string CheckCondition(const TableDef& table, const std::string& condition, bool ignoreCase);

}  // namespace zelmor::pages
