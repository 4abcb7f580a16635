// A form: a top-level window that hosts controls, directly or inside frames and tab controls,
// in run mode or design mode (ambient UserMode). It gives every control a site, and shows the
// controls the host's object model: the container whose Parent is the form object (Name, hWnd,
// Caption), and the formatting service.
//
//     host::Form form(L"Form1", L"Orders", SIZE{400, 300});
//     host::ControlSite* data = form.AddControl({L"Data1", RECT{10, 10, 110, 40}},
//                                                L"ZelBtr.ZelBtr");
//     host::Frame* frame = form.AddFrame({L"Frame1", RECT{10, 50, 300, 200}}, L"Customer");
//     host::ControlSite* edit = form.AddControl({L"Edit1", RECT{10, 20, 200, 44}, frame},
//                                                 someObject, {{L"DbField", TextValue(L"Name")}});
//     edit->Events().OnEvent(L"KeyPress", [](host::EventCall& call) {
//         call.Set(L"KeyAscii", host::LongValue(0));
//     });
//     form.PumpMessages();
//
// Everything runs on the thread that made the form, which must have OLE initialised.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "com/ComPtr.h"
#include "com/ObjectRoot.h"
#include "host/ContainerWindows.h"
#include "host/ControlSite.h"
#include "host/FormObjects.h"
#include "host/HostFormat.h"
#include "host/InPlaceFrame.h"
#include "host/PropertyBag.h"
#include "host/PropertyFrame.h"

namespace zelmor::host {

enum class SiteMode { Run, Design };

// Where a control or a container goes.
struct Placement {
    std::wstring name;
    RECT rect{};                     // pixels, in the container's client area
    Container* container = nullptr;  // null: the form itself
    int page = 0;                    // inside a tab control: the page it is on
};

class Form : private SiteHost, private ContentPainter {
  public:
    using Site = com::ComPtr<com::ComInstance<ControlSite>>;

    // clientSize: the size of the form's client area in pixels.
    Form(std::wstring name, const std::wstring& caption, SIZE clientSize,
         SiteMode mode = SiteMode::Run);
    ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    HWND Window() const { return window_; }
    const std::wstring& Name() const { return name_; }
    SiteMode Mode() const { return mode_; }
    // Changes the mode and tells every control that ambient UserMode changed.
    void SetMode(SiteMode mode);

    // Containers. FrameClass::RunTime5 is the class a compiled form's frames have.
    Frame* AddFrame(const Placement& placement, const std::wstring& caption,
                    FrameClass frameClass = FrameClass::RunTime5);
    TabContainer* AddTab(const Placement& placement, const std::vector<std::wstring>& pages);
    Container* FindContainer(const std::wstring& name) const;

    // Creates a control (by class identifier or program identifier), or takes one already
    // made, and sites it. properties are loaded through the control's property bag; those it
    // does not read are set through its dispatch interface. Null, with the reason in *result,
    // when the control cannot be made or sited.
    ControlSite* AddControl(const Placement& placement, REFCLSID clsid,
                            std::vector<NamedValue> properties = {}, HRESULT* result = nullptr);
    ControlSite* AddControl(const Placement& placement, const std::wstring& programId,
                            std::vector<NamedValue> properties = {}, HRESULT* result = nullptr);
    ControlSite* AddControl(const Placement& placement, IUnknown* control,
                            std::vector<NamedValue> properties = {}, HRESULT* result = nullptr);
    // The control called name (without regard to case), or null.
    ControlSite* FindControl(const std::wstring& name) const;
    // The controls in the order they were added.
    std::vector<ControlSite*> Controls() const;

    // The host's object model: the form object (Name, hWnd, Caption) and the container that
    // every site gives out.
    IDispatch* Dispatch() const;
    IOleContainer* ContainerObject() const;
    // Shows the control's property pages in the form's property frame (PropertyFrame.h), on
    // page `page`. A frame already shown for the control comes to the front on that page; one
    // shown for another control is closed first, unless it has changes not yet applied
    // (ERROR_BUSY: they are not thrown away behind the person's back). In design mode a right
    // click on a control opens its frame, and so does the control's properties verb.
    HRESULT OpenPropertyFrame(ControlSite& site, size_t page = 0);
    // The property frame shown, or null.
    PropertyFrame* ShownPropertyFrame() const;

    // The UI-active control's in-place active object, or null.
    IOleInPlaceActiveObject* ActiveObject() const { return frame_->ActiveObject(); }

    // Gives a keyboard message to the UI-active control first, as a host's message loop does;
    // true when the control took it.
    bool PreTranslateMessage(MSG& msg);
    // Handles the messages waiting for this thread, then returns.
    void PumpMessages();
    // Runs the message loop until the form is closed.
    void Run();
    // Closes every control and destroys the window; the form can then only be destroyed.
    void Close();
    bool Closed() const { return window_ == nullptr; }
    // Called when a person closes the form's window, while its controls are still there (a
    // program saves the form here).
    std::function<void()> beforeClose;

  private:
    // SiteHost
    bool UserMode() const override { return mode_ == SiteMode::Run; }
    HWND FormWindow() const override { return window_; }
    const std::wstring& FormName() const override { return name_; }
    HRESULT GetContainer(IOleContainer** out) override;
    HRESULT GetFrame(IOleInPlaceFrame** out) override;
    HRESULT GetFormatter(REFIID iid, void** out) override;
    HRESULT GetAmbientFont(IFontDisp** out) override;
    void SiteUIActivating(ControlSite& site) override;
    HRESULT ShowPropertyFrame(ControlSite& site) override { return OpenPropertyFrame(site, 0); }

    // ContentPainter
    void PaintContents(HWND window, HDC dc) override;

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool CanAdd(const std::wstring& name) const;
    // The control whose window holds window (its own or one it hosts), else the one under the
    // point (screen coordinates), or null.
    ControlSite* ControlOfWindow(HWND window, POINT screen) const;
    HWND ParentWindow(const Placement& placement) const;
    // Shows the controls and containers on the selected page of container, when it is a tab
    // control, and hides the others.
    void ShowTabPageOf(Container* container);

    std::wstring name_;
    SiteMode mode_;
    HWND window_ = nullptr;
    com::ComPtr<com::ComInstance<FormObject>> formObject_;
    com::ComPtr<com::ComInstance<FormContainer>> container_;
    com::ComPtr<com::ComInstance<InPlaceFrame>> frame_;
    com::ComPtr<com::ComInstance<HostFormatter>> formatter_;
    com::ComPtr<IFontDisp> ambientFont_;
    struct ContainerEntry {
        std::unique_ptr<Container> container;
        Container* parent;  // null: the form
        int page;
    };
    std::vector<ContainerEntry> containers_;
    struct SiteEntry {
        Site site;
        Container* container;  // null: the form
        int page;
    };
    std::vector<SiteEntry> sites_;
    std::unique_ptr<PropertyFrame> propertyFrame_;
};

}  // namespace zelmor::host
