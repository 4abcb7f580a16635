// The bound option button as a COM object (coclass ZelOptBtn, interface IZelOptBtn, events
// _DZelOptBtnEvents): the shared choice control; the option buttons of one field form a group.
#pragma once

#ifdef _WIN32

#include "controls/ChoiceObject.h"

namespace zelmor {

class ZelOptBtn : public ChoiceObject<IZelOptBtn, OptionLogic, _enumOptBtnAlignment> {
  public:
    ZelOptBtn();
};

HRESULT CreateZelOptBtn(REFIID iid, void** out);

}  // namespace zelmor

#endif
