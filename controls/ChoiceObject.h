// The COM side the check box and the option button share: a "Button" window showing a mark,
// the names and value texts they are bound by, Value, Alignment, the click and double-click
// events. ZelCheck and ZelOptBtn each name their interface, logic and window style.
#pragma once

#ifdef _WIN32

#include "com/AnsiText.h"
#include "com/Guarded.h"
#include "controls/BoundControlObject.h"
#include "controls/ChoiceLogic.h"

namespace zelmor {

template <typename DualInterface, typename Logic, typename AlignmentEnum>
class ChoiceObject : public BoundControlObject<DualInterface>, protected ChoiceView {
  public:
    STDMETHODIMP get_DbValueTrue(BSTR* value) override {
        return GetText(logic_.texts.trueText, value);
    }
    STDMETHODIMP put_DbValueTrue(BSTR value) override {
        return PutText(DISPID_CHOICE_DBVALUETRUE, logic_.texts.trueText, value);
    }
    STDMETHODIMP get_DbValueFalse(BSTR* value) override {
        return GetText(logic_.texts.falseText, value);
    }
    STDMETHODIMP put_DbValueFalse(BSTR value) override {
        return PutText(DISPID_CHOICE_DBVALUEFALSE, logic_.texts.falseText, value);
    }

    // Setting Value shows the mark too (an option button chosen this way unchecks its group).
    STDMETHODIMP get_Value(short* value) override { return this->Out(value, logic_.Value()); }
    STDMETHODIMP put_Value(short value) override {
        return logic_.SetValue(value) ? S_OK : CTL_E_INVALIDPROPERTYVALUE;
    }

    // Fixed when the window is made.
    STDMETHODIMP get_Alignment(AlignmentEnum* value) override {
        return this->Out(value, alignment_);
    }
    STDMETHODIMP put_Alignment(AlignmentEnum value) override {
        if (value != 0 && value != 1) return CTL_E_INVALIDPROPERTYVALUE;
        alignment_ = static_cast<int>(value);
        this->SetDirty(true);
        return S_OK;
    }

    Logic& Choice() { return logic_; }

  protected:
    // buttonStyle: BS_CHECKBOX or BS_AUTORADIOBUTTON.
    ChoiceObject(const com::ControlClass& controlClass, DWORD buttonStyle)
        : BoundControlObject<DualInterface>(controlClass),
          buttonStyle_(buttonStyle),
          logic_(this->Site(), zelmor::Registry(), *this) {
        this->Stock().backColor = com::kSystemButtonFace;
        this->Stock().foreColor = com::kSystemButtonText;
        this->Stock().appearance = 0;
    }

    BoundField& Binding() override { return logic_; }

    // BS_NOTIFY makes the window report double clicks (DblClick).
    void CreateWindows() override {
        DWORD style = WS_VISIBLE | BS_NOTIFY | buttonStyle_;
        if (alignment_ == 1) style |= BS_LEFTTEXT;
        DWORD exStyle = this->Stock().appearance != 0 ? WS_EX_CLIENTEDGE : 0;
        this->CreateHostedChild(L"Button", style, exStyle,
                                com::WideOf(com::AnsiOf(this->Stock().text)).c_str());
        ShowMark(logic_.Value());
    }

    bool OnCommand(HWND child, WORD code) override {
        if (child != this->HostedChild()) return false;
        if (code == BN_CLICKED) {
            logic_.OnClick();
            this->FireEvent(DISPID_CLICK);
        } else if (code == BN_DOUBLECLICKED) {
            this->FireEvent(DISPID_DBLCLICK);
        } else {
            return false;
        }
        return true;
    }

    // ChoiceView
    void ShowMark(int value) override {
        if (HWND button = this->HostedChild()) {
            SendMessageW(button, BM_SETCHECK, static_cast<WPARAM>(value), 0);
        }
    }

    static HRESULT GetText(const std::string& text, BSTR* value) {
        return com::Guarded([&] { return com::AnsiToOut(text, value); });
    }
    HRESULT PutText(DISPID dispid, std::string& text, BSTR value) {
        return com::Guarded([&] { return this->SetProperty(dispid, text, com::AnsiOf(value)); });
    }

  private:
    DWORD buttonStyle_;
    int alignment_ = 0;
    Logic logic_;
};

}  // namespace zelmor

#endif
