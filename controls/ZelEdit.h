// The bound edit box as a COM object (coclass ZelEdit, interface IZelEdit, events
// _DZelEditEvents): an "Edit" window whose behaviour is EditLogic's; this class holds the
// properties, the window's styles, the selection members and the events.
#pragma once

#ifdef _WIN32

#include "controls/BoundControlObject.h"
#include "controls/EditLogic.h"

namespace zelmor {

class ZelEdit : public BoundControlObject<IZelEdit>, private EditView {
  public:
    ZelEdit();

    STDMETHODIMP get_Text(BSTR* value) override;
    STDMETHODIMP put_Text(BSTR value) override;
    STDMETHODIMP get_MaxLength(short* value) override;
    STDMETHODIMP put_MaxLength(short value) override;
    STDMETHODIMP get_PasswordChar(BSTR* value) override;
    STDMETHODIMP put_PasswordChar(BSTR value) override;
    STDMETHODIMP get_Format(BSTR* value) override;
    STDMETHODIMP put_Format(BSTR value) override;
    STDMETHODIMP get_MultiLine(VARIANT_BOOL* value) override;
    STDMETHODIMP put_MultiLine(VARIANT_BOOL value) override;
    STDMETHODIMP get_Alignment(_enumAlignment* value) override;
    STDMETHODIMP put_Alignment(_enumAlignment value) override;
    STDMETHODIMP get_ReadOnly(VARIANT_BOOL* value) override;
    STDMETHODIMP put_ReadOnly(VARIANT_BOOL value) override;
    STDMETHODIMP get_UpperCase(VARIANT_BOOL* value) override;
    STDMETHODIMP put_UpperCase(VARIANT_BOOL value) override;
    STDMETHODIMP get_IMEMode(_enumImeMode* value) override;
    STDMETHODIMP put_IMEMode(_enumImeMode value) override;
    STDMETHODIMP get_SelStart(short* value) override;
    STDMETHODIMP put_SelStart(short value) override;
    STDMETHODIMP get_SelLength(short* value) override;
    STDMETHODIMP put_SelLength(short value) override;
    STDMETHODIMP get_SelText(BSTR* value) override;
    STDMETHODIMP put_SelText(BSTR value) override;
    STDMETHODIMP get_NumericMask(VARIANT_BOOL* value) override;
    STDMETHODIMP put_NumericMask(VARIANT_BOOL value) override;
    STDMETHODIMP get_FormatOption(_enumFormatOption* value) override;
    STDMETHODIMP put_FormatOption(_enumFormatOption value) override;

    EditLogic& Logic() { return logic_; }

  protected:
    BoundField& Binding() override { return logic_; }
    void CreateWindows() override;
    bool OnCommand(HWND child, WORD code) override;
    bool OnChildMessage(HWND child, UINT message, WPARAM wParam, LPARAM lParam,
                        LRESULT& result) override;
    HRESULT OnTranslateAccelerator(MSG* msg) override;

  private:
    // EditView
    bool HasWindow() override { return HostedChild() != nullptr; }
    std::string WindowText() override;
    void ShowText(const std::string& text) override;
    void PutCaretAtEnd() override;
    WindowHandle EditWindow() override { return reinterpret_cast<WindowHandle>(HostedChild()); }
    std::optional<std::string> Format(const std::string& value, const std::string& format) override;
    ImeCalls& Ime() override;

    // Stores a setting that takes effect when the window is made next (no notification).
    template <typename T, typename U>
    HRESULT Store(T& field, const U& value) {
        field = value;
        SetDirty(true);
        return S_OK;
    }
    // The selection members refuse design mode with these errors.
    HRESULT RunModeOnly(HRESULT designModeError) const;
    void ApplyMaxLength();
    void ApplyPasswordChar();

    EditLogic logic_;
};

HRESULT CreateZelEdit(REFIID iid, void** out);

}  // namespace zelmor

#endif
