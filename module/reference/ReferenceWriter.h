// The control reference: every class of the type library with its program identifier, its
// properties, methods and events with their types and dispatch identifiers, and every
// enumeration, written as Markdown from the type library itself so that the document cannot
// say anything the library does not.
#pragma once

#include <oaidl.h>

#include <string>

#include "module/ClassTable.h"

namespace zelmor::module {

// The reference of library, with the program identifiers and property pages of classes.
// Returns an empty text when the library cannot be read.
std::string WriteReference(ITypeLib* library, ClassList classes);

}  // namespace zelmor::module
