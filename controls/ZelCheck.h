// The bound check box as a COM object (coclass ZelCheck, interface IZelCheck, events
// _DZelCheckEvents): the shared choice control with a third, grey state.
#pragma once

#ifdef _WIN32

#include "controls/ChoiceObject.h"

namespace zelmor {

class ZelCheck : public ChoiceObject<IZelCheck, CheckBoxLogic, _enumCheckAlignment> {
  public:
    ZelCheck();

    STDMETHODIMP get_DbValueIndeterminate(BSTR* value) override;
    STDMETHODIMP put_DbValueIndeterminate(BSTR value) override;
};

HRESULT CreateZelCheck(REFIID iid, void** out);

}  // namespace zelmor

#endif
