// The list box, the combo box and their extended forms as COM objects (coclasses ZelListBox,
// ZelComboBox, ZelExListBox and ZelExComboBox): the shared list control, each with its
// interface, events and persisted properties.
#pragma once

#ifdef _WIN32

#include "controls/ListObject.h"

namespace zelmor {

class ZelListBox : public ListObject<IZelListBox, DISPID_LISTBOX_DBSOURCE> {
  public:
    ZelListBox();
};

class ZelComboBox : public ListObject<IZelComboBox, DISPID_COMBO_DBSOURCE> {
  public:
    ZelComboBox();
};

class ZelExListBox : public ListObject<IZelExListBox, DISPID_LISTBOX_DBSOURCE> {
  public:
    ZelExListBox();
};

class ZelExComboBox : public ListObject<IZelExComboBox, DISPID_COMBO_DBSOURCE> {
  public:
    ZelExComboBox();
};

HRESULT CreateZelListBox(REFIID iid, void** out);
HRESULT CreateZelComboBox(REFIID iid, void** out);
HRESULT CreateZelExListBox(REFIID iid, void** out);
HRESULT CreateZelExComboBox(REFIID iid, void** out);

}  // namespace zelmor

#endif
