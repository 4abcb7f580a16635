// What a form designer's property list shows for each control class beyond its type library:
// the named values of properties that are plain numbers there, and the data properties that
// the control's own property page edits. One table per control class.
#pragma once

#ifdef _WIN32

#include "com/PropertyBrowsing.h"

namespace zelmor {

extern const com::PropertyBrowsing kDataControlBrowsing;
extern const com::PropertyBrowsing kEditBrowsing;
extern const com::PropertyBrowsing kButtonBrowsing;
extern const com::PropertyBrowsing kCheckBrowsing;
extern const com::PropertyBrowsing kOptionBrowsing;
extern const com::PropertyBrowsing kPictureBrowsing;
extern const com::PropertyBrowsing kHScrollBrowsing;
extern const com::PropertyBrowsing kVScrollBrowsing;
extern const com::PropertyBrowsing kComboBoxBrowsing;
extern const com::PropertyBrowsing kListBoxBrowsing;
extern const com::PropertyBrowsing kExComboBoxBrowsing;
extern const com::PropertyBrowsing kExListBoxBrowsing;
extern const com::PropertyBrowsing kGridBrowsing;

}  // namespace zelmor

#endif
