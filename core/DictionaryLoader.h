// Loading a dictionary directory (FILE.DDF, FIELD.DDF, INDEX.DDF) through the dictionary reader
// into a FormContext, at once or delayed (only the table list; each table's fields and segments
// when the table is first used), and copying a loaded context for another data control.
#pragma once

#include <memory>
#include <string>

#include "core/Dictionary.h"

namespace zelmor {

// Loads as the "delayed_resolve" option says. The full load shows no message and gives the
// dictionary reader's status; the delayed load shows its own messages and gives -1 on failure.
int LoadDictionary(const std::string& directory, std::unique_ptr<FormContext>& context);

int LoadDictionaryFull(const std::string& directory, std::unique_ptr<FormContext>& context);
int LoadDictionaryDelayed(const std::string& directory, std::unique_ptr<FormContext>& context);

// Reads the fields and segments of a table that a delayed load left out; 0 when they are
// already there.
int ResolveTableDefinitions(const FormContext& context, TableDef& table);

// A private copy for another data control: its own tables, every one closed. Null when memory
// runs out (VE001 shown).
std::unique_ptr<FormContext> CopyFormContext(const FormContext& source);

}  // namespace zelmor
