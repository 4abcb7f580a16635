// The part every control shares: embedding in the host (IOleObject), in-place activation with
// the control's own window, its view (IViewObject2), ambient properties, property notification
// and the setter protocol, persistence by property map (stream, storage and property bag),
// property pages, connection points for events and property notification, class information,
// quick activation, events held while the container freezes them, keyboard mnemonics, and what
// a property browser needs beyond the type library.
//
// A control class derives from Control<ItsDualInterface> (Control.h), describes itself in a
// ControlClass (identifiers, misc status, property map, property pages), and adds its
// properties, its drawing and its window message handlers.
#pragma once

#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "com/ComPtr.h"
#include "com/ConnectionPoint.h"
#include "com/EventArguments.h"
#include "com/Gdi.h"
#include "com/HeldEvents.h"
#include "com/ObjectRoot.h"
#include "com/PropertyBrowsing.h"
#include "com/PropertyMap.h"
#include "com/StockProperties.h"

namespace zelmor::com {

// Misc status of the controls: recompose on resize, cannot link inside, inside-out, activate
// when visible, set client site first; a button also acts like a button.
constexpr DWORD kControlMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                                     OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                                     OLEMISC_SETCLIENTSITEFIRST;
constexpr DWORD kButtonMiscStatus = kControlMiscStatus | OLEMISC_ACTSLIKEBUTTON;
static_assert(kControlMiscStatus == 131473 && kButtonMiscStatus == 135569,
              "the misc status values are fixed");

// The stock events a control class fires from its hosted windows' input.
constexpr DWORD kKeyEvents = 1;    // KeyDown, KeyUp, KeyPress
constexpr DWORD kMouseEvents = 2;  // MouseDown, MouseMove, MouseUp

// What a control class is, for the plumbing.
struct ControlClass {
    const CLSID* clsid;
    const IID* eventIid;        // the default event interface (a dispatch interface)
    DWORD miscStatus;           // OLEMISC_ flags of the content aspect
    SIZEL defaultExtent;        // HIMETRIC
    PropertyMap properties;     // persisted after the extent, in this order
    const CLSID* const* pages;  // property pages, in the order they are shown
    size_t pageCount;
    DWORD stockEvents = 0;      // kKeyEvents, kMouseEvents
    const PropertyBrowsing* browsing = nullptr;  // named values and the own page's properties
};

// The stream inside a storage that holds the properties (IPersistStorage), in the format of
// IPersistStreamInit.
inline constexpr wchar_t kContentsStream[] = L"Contents";

// The keys of a caption's mnemonic ("&Save": Alt+S and S); none without one. "&&" is an
// ampersand.
std::vector<ACCEL> MnemonicAccelerators(const std::wstring& caption);

class ControlBase : public ObjectRoot,
                    public IOleObject,
                    public IOleInPlaceObject,
                    public IOleInPlaceActiveObject,
                    public IOleControl,
                    public IViewObject2,
                    public IPersistStreamInit,
                    public IPersistPropertyBag,
                    public IPersistStorage,
                    public ISpecifyPropertyPages,
                    public IConnectionPointContainer,
                    public IProvideClassInfo2,
                    public IQuickActivate,
                    public IPerPropertyBrowsing {
  public:
    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                        LPCRECT position) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** out) override;
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* clsid) override;
    STDMETHODIMP GetUserType(DWORD form, LPOLESTR* name) override;
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** out) override;
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

    // IOleInPlaceActiveObject
    STDMETHODIMP TranslateAccelerator(LPMSG msg) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

    // IOleControl
    STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
    STDMETHODIMP OnMnemonic(MSG* msg) override;
    STDMETHODIMP OnAmbientPropertyChange(DISPID dispid) override;
    STDMETHODIMP FreezeEvents(BOOL freeze) override;

    // IViewObject, IViewObject2
    STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                      HDC targetDevice, HDC dc, LPCRECTL bounds, LPCRECTL metafileBounds,
                      BOOL(STDMETHODCALLTYPE* continueDrawing)(ULONG_PTR),
                      ULONG_PTR continueArgument) override;
    STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;

    // IPersist, IPersistStreamInit, IPersistPropertyBag
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP IsDirty() override { return dirty_ ? S_OK : S_FALSE; }
    STDMETHODIMP Load(IStream* stream) override;
    STDMETHODIMP Save(IStream* stream, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
    STDMETHODIMP InitNew() override;
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
    STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

    // IPersistStorage: the properties in the stream kContentsStream of the storage. The storage
    // given to InitNew or Load is kept; after Save the control does not write to it until
    // SaveCompleted, and after HandsOffStorage it holds none until SaveCompleted gives one.
    STDMETHODIMP InitNew(IStorage* storage) override;
    STDMETHODIMP Load(IStorage* storage) override;
    STDMETHODIMP Save(IStorage* storage, BOOL sameAsLoad) override;
    STDMETHODIMP SaveCompleted(IStorage* storage) override;
    STDMETHODIMP HandsOffStorage() override;

    // ISpecifyPropertyPages
    STDMETHODIMP GetPages(CAUUID* pages) override;

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override;
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

    // IProvideClassInfo, IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** out) override;
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

    // IQuickActivate: the site, the view sink, the event and property-notification sinks and
    // the ambient values in one call.
    STDMETHODIMP QuickActivate(QACONTAINER* container, QACONTROL* control) override;
    STDMETHODIMP SetContentExtent(LPSIZEL size) override;
    STDMETHODIMP GetContentExtent(LPSIZEL size) override;

    // IPerPropertyBrowsing, from the control class's browsing table.
    STDMETHODIMP GetDisplayString(DISPID dispid, BSTR* text) override;
    STDMETHODIMP MapPropertyToPage(DISPID dispid, CLSID* page) override;
    STDMETHODIMP GetPredefinedStrings(DISPID dispid, CALPOLESTR* strings,
                                      CADWORD* cookies) override;
    STDMETHODIMP GetPredefinedValue(DISPID dispid, DWORD cookie, VARIANT* value) override;

    // --- For the control classes and their hosts inside the library ---

    HWND Window() const { return window_; }
    // The standard window hosted in the control's window, if any.
    HWND HostedChild() const { return child_; }
    bool InPlaceActive() const { return inPlaceActive_; }
    bool UIActive() const { return uiActive_; }
    const RECT& Position() const { return position_; }
    const SIZEL& Extent() const { return extent_; }
    IOleClientSite* ClientSite() const { return clientSite_.Get(); }

    // Ambient properties of the container, through the client site's dispatch interface.
    HRESULT GetAmbientProperty(DISPID dispid, VARIANT* value) const;
    // Run mode (ambient UserMode); a container that does not say counts as run mode.
    bool UserMode() const;
    // The name the container gives the control (ambient DisplayName); empty when none.
    std::wstring AmbientDisplayName() const;

    // The setter protocol: an unchanged value returns S_OK at once; otherwise the container is
    // asked for permission (a refusal returns S_FALSE and changes nothing), then the value is
    // stored, the control marked dirty, the change announced and the view redrawn.
    template <typename T, typename U>
    HRESULT SetProperty(DISPID dispid, T& field, const U& value) {
        if (field == value) return S_OK;
        if (!RequestEdit(dispid)) return S_FALSE;
        field = value;
        PropertyChanged(dispid);
        return S_OK;
    }
    HRESULT SetStringProperty(DISPID dispid, std::wstring& field, BSTR value);

    // Asks the property-notification sinks whether dispid may change.
    bool RequestEdit(DISPID dispid);
    // Marks the control dirty, tells the property-notification sinks and redraws.
    void PropertyChanged(DISPID dispid);
    void SetDirty(bool dirty) { dirty_ = dirty; }
    bool Dirty() const { return dirty_; }
    // Redraws the window, or tells the view's advise sink that the picture changed.
    void FireViewChange();

    // Fires event dispid to every sink of the event interface, or keeps it while the container
    // holds the events back (HeldEvents.h: what becomes of by-reference arguments then).
    void FireEvent(DISPID dispid, EventArguments& arguments);
    void FireEvent(DISPID dispid);
    int EventsFrozen() const { return eventGate_.FreezeCount(); }
    size_t HeldEvents() const { return eventGate_.HeldCount(); }
    // Whether any sink listens to the control's events (a fill can then skip building them).
    bool HasEventSinks() const { return events_.HasSinks(); }

    // Activates the control in place (and UI-activates it for OLEIVERB_UIACTIVATE or when
    // ui is set): its window is created in the container's window.
    HRESULT InPlaceActivate(LONG verb);

  protected:
    explicit ControlBase(const ControlClass& controlClass);
    ~ControlBase() override;

    void* FindInterface(REFIID iid) override;
    void FinalRelease() override;

    // The control's own dispatch interface, through which persistence reads and writes the
    // properties of the map.
    virtual IDispatch* ControlDispatch() = 0;

    // --- Hooks for the control classes ---

    // After the container gave the control a client site (not called for a null site).
    virtual void OnClientSiteSet() {}
    // After the properties were initialised or loaded (InitNew, or Load from stream or bag).
    virtual void OnPropertiesLoaded() {}
    // Properties are being loaded from a stream or bag (the setters are called one by one).
    bool Loading() const { return loading_; }
    virtual void OnAmbientChanged(DISPID) {}
    // Draws the control into dc within bounds (window painting and IViewObject::Draw).
    virtual void OnDraw(HDC dc, const RECT& bounds);
    // After the window was created (child windows go here) and before it is destroyed.
    virtual void OnWindowCreated() {}
    virtual void OnWindowDestroying() {}
    // The focus came to the control (its window or a hosted one) from outside it, before the
    // site is told.
    virtual void OnFocusArrived() {}
    // A message of the control's own window; true when handled, with its result.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // A message of a hosted window; true when handled. Messages not handled go to the
    // window's own window procedure. By default: mouse activation, focus, the stock mouse
    // pointer and the stock mouse events.
    virtual bool OnChildMessage(HWND child, UINT message, WPARAM wParam, LPARAM lParam,
                                LRESULT& result);
    // The keyboard message the host hands to the control while it is UI-active. With the stock
    // key events: KeyDown, KeyUp and KeyPress are fired and what their handlers leave goes on
    // to the container's control site; otherwise the message goes straight to the site.
    virtual HRESULT OnTranslateAccelerator(MSG* msg);

    // The container pressed one of the control's mnemonics (OnMnemonic); by default nothing.
    virtual void OnMnemonicKey(const MSG&) {}
    // Replaces the keyboard mnemonics and CTRLINFO_ flags that GetControlInfo reports, and tells
    // the container's control site that they changed.
    void SetControlInfo(const std::vector<ACCEL>& keys, DWORD flags);

    // Offers a keyboard message to the container's control site with a shift state (1 Shift,
    // 2 Ctrl, 4 Alt); S_FALSE when the site did not translate it.
    HRESULT TranslateThroughSite(MSG* msg, DWORD shiftState);

    // --- Hosted standard windows ---

    // Creates the main hosted window (an edit box, a button, ...): it fills the control's
    // window unless LayoutChildren says otherwise, takes the focus and the font, and its
    // messages go through OnChildMessage first. Replaces an earlier main window.
    HWND CreateHostedChild(const wchar_t* className, DWORD style, DWORD exStyle,
                           const wchar_t* text = L"");
    // Another hosted window at `place` (client coordinates), routed the same way.
    HWND AddHostedChild(const wchar_t* className, DWORD style, DWORD exStyle, const RECT& place,
                        const wchar_t* text = L"");
    void DestroyHostedChild();
    // A window's whole text.
    static std::wstring TextOfWindow(HWND window);
    // Calls a hosted window's own window procedure (what it would do without the control).
    LRESULT CallChildProcedure(HWND child, UINT message, WPARAM wParam, LPARAM lParam);

    // --- Hooks for the control's own window ---

    // A hosted window's notification (WM_COMMAND); true when handled.
    virtual bool OnCommand(HWND, WORD) { return false; }
    // A hosted window asks for its colours: by default the text in ForeColor on BackColor, and
    // a brush of BackColor.
    virtual HBRUSH OnChildColor(HWND child, HDC dc, UINT message);
    // A hosted scroll bar's message; true when handled.
    virtual bool OnScroll(HWND, bool /*vertical*/, WORD /*code*/, WORD /*position*/) {
        return false;
    }
    // Places the hosted windows in a client area of this size: by default the main one fills it.
    virtual void LayoutChildren(int width, int height);

    // --- Stock properties and events ---

    StockProperties& Stock() { return stock_; }
    const StockProperties& Stock() const { return stock_; }
    // The font, made from the container's font (or the system's) when there is none yet.
    IFont* StockFont();
    // Puts another font object in place and gives it to the hosted windows.
    void SetStockFont(ComPtr<IFont> font);
    // After a stock property changed: the hosted windows take the font, the enabled state, or
    // repaint in the new colours.
    void ApplyFont();
    void ApplyEnabled();
    void ApplyColours();
    // The brush of BackColor, made again when the colour changes.
    HBRUSH BackgroundBrush();

    // The modifier keys held now: 1 Shift, 2 Ctrl, 4 Alt.
    static short KeyShiftState();
    // Fires KeyDown or KeyUp with the key code by reference; gives the code the handlers left.
    short FireKeyEvent(DISPID dispid, short keyCode, short shift);
    // Fires KeyPress; gives the character the handlers left (0: the key is dropped).
    short FireKeyPress(short character);
    // The mouse events of a mouse message (of the control's window or a hosted one).
    void FireMouseEvent(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    friend class ControlWindow;

    HRESULT ShowPropertyPages(HWND parent);
    HRESULT UIActivate();
    void CreateControlWindow(HWND parent, const RECT& position);
    void DestroyControlWindow();
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleChildMessage(HWND child, UINT message, WPARAM wParam, LPARAM lParam);
    HWND Subclass(HWND child);
    void ForgetChild(HWND child);
    // Sets the stock mouse pointer; false when the window's default applies.
    bool SetStockCursor();
    void FontChanged();
    void StopHearingFont();
    // Tell the site the control gained or lost the focus.
    bool InsideControl(HWND window) const;
    void FocusArriving(HWND previous);
    void FocusLeaving(HWND next);
    void BeginLoad() { loading_ = true; }
    void EndLoad(bool loaded);
    bool HasStockAppearance() const;
    const PredefinedProperty* Predefined(DISPID dispid) const;
    void ForgetAccelerators();

    // The states of the storage protocol.
    enum class StorageState { None, Normal, NoScribble, HandsOffAfterSave, HandsOff };

    const ControlClass& class_;
    ConnectionPoint events_;
    ConnectionPoint propertyNotify_;

    ComPtr<IOleClientSite> clientSite_;
    ComPtr<IOleInPlaceSite> inPlaceSite_;
    ComPtr<IOleInPlaceFrame> frame_;
    ComPtr<IOleInPlaceUIWindow> uiWindow_;
    ComPtr<IOleAdviseHolder> adviseHolder_;
    ComPtr<IAdviseSink> viewSink_;
    DWORD viewAspects_ = 0;
    DWORD viewAdviseFlags_ = 0;

    SIZEL extent_;
    RECT position_{};
    HWND window_ = nullptr;
    HWND child_ = nullptr;  // the main hosted window
    struct SubclassedChild {
        HWND window;
        WNDPROC procedure;  // its own window procedure
    };
    std::vector<SubclassedChild> children_;
    StockProperties stock_;
    Brush backgroundBrush_;
    OLE_COLOR brushColour_ = 0;
    // The connection that tells the control of changes made to its font object.
    ComPtr<IConnectionPoint> fontPoint_;
    DWORD fontCookie_ = 0;
    bool inPlaceActive_ = false;
    bool uiActive_ = false;
    bool dirty_ = false;
    bool loading_ = false;
    EventGate eventGate_;

    ComPtr<IStorage> storage_;
    StorageState storageState_ = StorageState::None;
    bool savedSameAsLoad_ = false;

    // Ambient UserMode as quick activation gave it, until the container says it changed.
    bool quickUserModeKnown_ = false;
    bool quickUserMode_ = true;

    HACCEL accelerators_ = nullptr;
    UINT acceleratorCount_ = 0;
    DWORD controlInfoFlags_ = 0;
};

}  // namespace zelmor::com
