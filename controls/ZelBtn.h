// The command button as a COM object (coclass ZelBtn, interface IZelBtn, events _DZelBtnEvents):
// a "Button" window whose click, or the Enter key, runs ButtonLogic's operation and then fires
// Click.
#pragma once

#ifdef _WIN32

#include "controls/BoundControlObject.h"
#include "controls/ButtonLogic.h"

namespace zelmor {

class ZelBtn : public BoundControlObject<IZelBtn>, private ButtonView {
  public:
    ZelBtn();

    STDMETHODIMP get_DbIndex(BSTR* value) override;
    STDMETHODIMP put_DbIndex(BSTR value) override;
    STDMETHODIMP get_DbOperation(_enumDbOperation* value) override;
    STDMETHODIMP put_DbOperation(_enumDbOperation value) override;
    STDMETHODIMP get_Abort(VARIANT_BOOL* value) override;
    STDMETHODIMP put_Abort(VARIANT_BOOL value) override;
    STDMETHODIMP get_ConfirmMsg(BSTR* value) override;
    STDMETHODIMP put_ConfirmMsg(BSTR value) override;
    STDMETHODIMP get_Cancel(VARIANT_BOOL* value) override;
    STDMETHODIMP put_Cancel(VARIANT_BOOL value) override;
    STDMETHODIMP get_Default(VARIANT_BOOL* value) override;
    STDMETHODIMP put_Default(VARIANT_BOOL value) override;
    STDMETHODIMP get_DbLocks(_enumLocks* value) override;
    STDMETHODIMP put_DbLocks(_enumLocks value) override;
    STDMETHODIMP get_ClearControlData(VARIANT_BOOL* value) override;
    STDMETHODIMP put_ClearControlData(VARIANT_BOOL value) override;
    STDMETHODIMP get_IndexID(short* value) override;
    STDMETHODIMP put_IndexID(short value) override;
    STDMETHODIMP get_Style(_enumBtnStyle* value) override;
    STDMETHODIMP put_Style(_enumBtnStyle value) override;
    STDMETHODIMP put_Picture(IPictureDisp* value) override;
    STDMETHODIMP putref_Picture(IPictureDisp* value) override;
    STDMETHODIMP put_Caption(BSTR value) override;

  protected:
    BoundField& Binding() override { return logic_; }
    void CreateWindows() override;
    bool OnCommand(HWND child, WORD code) override;
    bool OnChildMessage(HWND child, UINT message, WPARAM wParam, LPARAM lParam,
                        LRESULT& result) override;
    HRESULT OnTranslateAccelerator(MSG* msg) override;
    void OnMnemonicKey(const MSG& msg) override;

  private:
    // ButtonView
    bool Confirm(const std::string& question) override;
    void RaiseSetData() override;
    int RaiseBtrieveError(const std::string& tableName, int status) override;

    // The operation, then Click, whatever became of the operation.
    void Press();
    // Makes the window again when a setting fixed at its creation changed while it exists.
    void Recreate();
    // Reports the caption's mnemonic and, for a default button, that Enter is the button's.
    void UpdateControlInfo();

    ButtonLogic logic_;
    bool isDefault_ = false;
    bool cancel_ = false;
    int style_ = btnStyleStandard;
};

HRESULT CreateZelBtn(REFIID iid, void** out);

}  // namespace zelmor

#endif
