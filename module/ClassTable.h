// The classes the library serves, in their fixed order (the order of registration), with what
// registration writes for each. A class is registered and can be created only once its
// creation function is filled in.
#pragma once

#include <windows.h>

#include <cstddef>

#include "com/ClassFactory.h"

namespace zelmor::module {

enum class ClassKind {
    Control,       // the data control and the bound controls
    PropertyPage,  // registered by class identifier only
};

struct ClassEntry {
    const wchar_t* className;    // "ZelEdit"; the display name adds " Class"
    const wchar_t* programName;  // program identifiers programName.programName[.1]; controls
    const CLSID* clsid;
    ClassKind kind;
    int toolboxBitmap;           // bitmap resource number; controls only
    DWORD miscStatus;            // controls only
    com::CreateFunction create;  // null while the class is not implemented
};

struct ClassList {
    const ClassEntry* entries;
    size_t count;

    const ClassEntry* begin() const { return entries; }
    const ClassEntry* end() const { return entries + count; }
};

// The library's 28 classes.
ClassList ClassTable();

// The class that clsid names, or null.
const ClassEntry* FindClass(ClassList classes, REFCLSID clsid);

// The library's application identifier and its name.
extern const GUID kApplicationId;
extern const wchar_t kApplicationName[];

}  // namespace zelmor::module
