// The creation functions of the design-time property pages, for the class table.
#pragma once

#include <unknwn.h>

namespace zelmor {

HRESULT CreateZelBtrPpg(REFIID iid, void** out);
HRESULT CreateZelBtnPpg(REFIID iid, void** out);
HRESULT CreateZelEditPpg(REFIID iid, void** out);
HRESULT CreateZelListBoxPpg(REFIID iid, void** out);
HRESULT CreateZelComboBoxPpg(REFIID iid, void** out);
HRESULT CreateZelCheckPpg(REFIID iid, void** out);
HRESULT CreateZelOptBtnPpg(REFIID iid, void** out);
HRESULT CreateZelPicPpg(REFIID iid, void** out);
HRESULT CreateZelHScrollPpg(REFIID iid, void** out);
HRESULT CreateZelVScrollPpg(REFIID iid, void** out);
HRESULT CreateZelGridPpg(REFIID iid, void** out);
HRESULT CreateZelExComboBoxPpg(REFIID iid, void** out);
HRESULT CreateZelExListBoxPpg(REFIID iid, void** out);
HRESULT CreateZelExComboBoxPpg2(REFIID iid, void** out);
HRESULT CreateZelExListBoxPpg2(REFIID iid, void** out);

}  // namespace zelmor
