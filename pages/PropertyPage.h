// The design-time property page: one class for all the pages, driven by a page's table (which
// properties, in which kind of box) and its dialog. It reads the values of the first object it
// is given, keeps what the user changes, and writes each changed value to every object on
// Apply; a value an object refuses is shown to the user, handed to the page site as the error
// of Apply, and stays on the page, still dirty.
//
// Where the data control a table, field or key box depends on is on the control's form, the
// box offers the names of that control's dictionary; else it is a plain text box.
#pragma once

#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "com/ComPtr.h"
#include "com/ObjectRoot.h"
#include "com/Variant.h"
#include "pages/PageDefinitions.h"

namespace zelmor {
struct FormContext;
}

namespace zelmor::pages {

class PropertyPage : public com::ObjectRoot, public IPropertyPage2 {
  public:
    explicit PropertyPage(const PageDefinition& page);

    // IPropertyPage
    STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
    STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    STDMETHODIMP Deactivate() override;
    STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
    STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
    STDMETHODIMP Show(UINT command) override;
    STDMETHODIMP Move(LPCRECT rect) override;
    STDMETHODIMP IsPageDirty() override;
    STDMETHODIMP Apply() override;
    STDMETHODIMP Help(LPCOLESTR helpDirectory) override;
    STDMETHODIMP TranslateAccelerator(MSG* msg) override;
    // IPropertyPage2
    STDMETHODIMP EditProperty(DISPID dispid) override;

    HWND Window() const { return window_; }

  protected:
    void* FindInterface(REFIID iid) override;
    void FinalRelease() override;

  private:
    struct FieldState {
        bool changed = false;
        VARTYPE readType = VT_EMPTY;      // how the object gave the value; a check box writes it so
        com::Variant pending;             // a changed value kept while the page has no window
        std::vector<std::string> listed;  // a field list as the object gave it
    };

    static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    INT_PTR OnCommand(int id, int code);

    HWND Box(std::size_t index) const;
    std::wstring BoxText(std::size_t index) const;
    bool IsDictionaryKind(FieldKind kind) const;

    // The values of the first object shown in the boxes.
    void LoadValues();
    void ShowValue(std::size_t index, const VARIANT& value);
    // Dictionary boxes: filled from the data control, or made plain text boxes without one.
    void PrepareDictionaryBoxes(bool firstTime);
    void FillChoices(std::size_t index, const std::vector<std::string>& choices);
    void ReplaceWithTextBox(std::size_t index);
    std::vector<std::string> DictionaryChoices(const PropertyField& field);
    FormContext* ContextOf(const wchar_t* sourceProperty);
    // A name another box depends on: the box's text where the page has it, else the object's.
    std::wstring NameOf(const wchar_t* property);
    void CheckConditions();

    void OnFieldChanged(std::size_t index);
    void SetDirty();
    void Browse(std::size_t index);
    com::Variant ValueToWrite(std::size_t index);
    void ReportRefusal(std::size_t index, HRESULT hr, const std::wstring& description);

    const PageDefinition& page_;
    com::ComPtr<IPropertyPageSite> site_;
    std::vector<com::ComPtr<IDispatch>> objects_;
    std::vector<FieldState> fields_;
    HWND window_ = nullptr;
    bool loading_ = false;
    bool dirty_ = false;
    // While LoadValues runs: the values just read, which the boxes do not show yet.
    const std::vector<com::Variant>* loadedValues_ = nullptr;
};

// Makes the page of that table, queried for iid.
HRESULT CreatePropertyPage(const PageDefinition& page, REFIID iid, void** out);

}  // namespace zelmor::pages
