// A control's property pages in a frame window of the host's own, shown without blocking: the
// form's message loop goes on, so that a script (or a test) can read and fill the pages,
// switch between them and press the buttons while the frame is up.
//
// The frame asks the object for its pages (ISpecifyPropertyPages), creates each page by its
// class identifier, gives it a page site and the object (SetObjects), and shows one tab per page
// with the page's title. A page is activated inside the frame the first time its tab is shown
// and stays so until the frame closes, so that changes on a page the user has left are kept.
// Apply is enabled while a page says it has changes; Apply gives every such page's changes to
// the object, OK does the same and closes the frame when nothing is left unapplied, Cancel
// closes it without applying. A page that cannot apply (the object refused a value) stays
// changed, and the frame says why on its status line (Problem()).
//
//     HRESULT hr;
//     auto frame = host::PropertyFrame::Open(form.Window(), site->Object(), L"Text1", &hr);
//     host::SetPageField(frame->PageWindow(), L"Text", L"hello");
//     frame->Apply();
//
// Everything runs on the thread that made the frame; the owner's message loop must offer
// keyboard messages to PreTranslateMessage (Form does).
#pragma once

#include <ocidl.h>
#include <olectl.h>

#include <memory>
#include <string>
#include <vector>

#include "com/ComPtr.h"
#include "com/ObjectRoot.h"

namespace zelmor::host {

class PropertyFrame;

// The site of one page: what the page asks of the frame.
class PageSite : public com::ObjectRoot, public IPropertyPageSite {
  public:
    PageSite(PropertyFrame& frame, size_t page) : frame_(&frame), page_(page) {}
    // The frame is closing: later calls from the page find nobody.
    void Detach() { frame_ = nullptr; }

    STDMETHODIMP OnStatusChange(DWORD flags) override;
    STDMETHODIMP GetLocaleID(LCID* locale) override;
    STDMETHODIMP GetPageContainer(IUnknown** container) override;
    STDMETHODIMP TranslateAccelerator(MSG* msg) override;

  protected:
    void* FindInterface(REFIID iid) override;

  private:
    PropertyFrame* frame_;
    size_t page_;
};

class PropertyFrame {
  public:
    // Opens the frame for object with the caption "<name> Properties", owned by owner (the
    // form's window), showing its first page. Pages that cannot be made (a stock page this
    // machine lacks) are left out and counted on the status line. Null, with the reason in
    // *result, when the object has no page that can be made.
    static std::unique_ptr<PropertyFrame> Open(HWND owner, IUnknown* object,
                                               const std::wstring& name, HRESULT* result);
    ~PropertyFrame();
    PropertyFrame(const PropertyFrame&) = delete;
    PropertyFrame& operator=(const PropertyFrame&) = delete;

    HWND Window() const { return window_; }
    IUnknown* Object() const { return object_.Get(); }
    bool Closed() const { return window_ == nullptr; }

    size_t PageCount() const { return pages_.size(); }
    const std::wstring& PageTitle(size_t page) const { return pages_.at(page).title; }
    // The page whose title is title (without "&", without regard to case), or -1.
    int FindPage(const std::wstring& title) const;
    size_t CurrentPage() const { return current_; }
    // Shows a page, activating it the first time; false when there is no such page or it
    // cannot be activated (Problem() says why).
    bool ShowPage(size_t page);
    // The window of the page shown (what the page created when it was activated), or null.
    HWND PageWindow() const;

    // Whether a page has changes not yet applied; Apply is enabled while one has.
    bool PageDirty(size_t page) const { return pages_.at(page).dirty; }
    bool ApplyEnabled() const;
    // Gives the changes of every changed page to the object. S_OK when all took them; else the
    // first failure: that page stays changed and Problem() says why.
    HRESULT Apply();
    // Apply, then close the frame when every page took its changes (the frame stays up on a
    // failure, as a person must see what was refused).
    HRESULT Ok();
    // Closes the frame without applying.
    void Cancel();
    // The last failure, as a person reads it ("Page: 0x800A017C (control error 380)"); empty
    // after a successful Apply.
    const std::wstring& Problem() const { return problem_; }

    // A keyboard message for the frame or a page: the page shown may take it, then the frame's
    // dialog keys (Tab between fields and buttons, Enter for OK, Esc for Cancel). True when
    // taken. Messages for other windows are left alone.
    bool PreTranslateMessage(MSG& msg);

    // --- For the page sites ---
    void PageStatusChanged(size_t page, DWORD flags);
    bool DialogKey(MSG* msg);

  private:
    struct Page {
        CLSID clsid{};
        com::ComPtr<IPropertyPage> page;
        com::ComPtr<com::ComInstance<PageSite>> site;
        std::wstring title;
        SIZE size{};
        bool activated = false;
        bool dirty = false;
    };

    PropertyFrame(HWND owner, IUnknown* object);
    HRESULT Create(const std::wstring& name);
    HRESULT LoadPages();
    void CreateWindows(const std::wstring& name);
    void Close();
    void UpdateApplyButton();
    void SetProblem(std::wstring problem);
    RECT PageArea() const;

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    HWND owner_;
    // The window that had the focus when the frame opened: it has it back when the frame
    // closes, as a dialog gives it back.
    HWND previousFocus_ = nullptr;
    com::ComPtr<IUnknown> object_;
    std::vector<Page> pages_;
    size_t current_ = 0;
    std::wstring problem_;
    size_t missingPages_ = 0;  // pages named by the object that could not be made
    HWND window_ = nullptr;
    HWND tabs_ = nullptr;
    HWND pageHost_ = nullptr;  // the window the pages are activated in
    HWND ok_ = nullptr;
    HWND cancel_ = nullptr;
    HWND apply_ = nullptr;
    HWND status_ = nullptr;
    HFONT font_ = nullptr;
};

// --- Filling a page's fields as a person does ---
//
// A field is found by its label: a static text whose text is the property's name (compared
// without "&", a trailing ":" and surrounding blanks, and without regard to case) comes
// immediately before it in the page's order, and the field is the next tab stop after it.

// The field labelled label on page (a page's window), or null.
HWND FindPageField(HWND page, const std::wstring& label);

// Sets the field labelled label: an edit box gets the text (EN_CHANGE), a combo box the item
// with that text (CBN_SELCHANGE) or, when it has an edit box and no such item, the typed text
// (CBN_EDITCHANGE), a check box is checked for "True" and cleared for "False" (BN_CLICKED, when
// its state changes). The field's parent hears the notification a person's action sends.
// Empty on success, else what stood in the way.
std::wstring SetPageField(HWND page, const std::wstring& label, const std::wstring& value);

// What the field labelled label shows: an edit box's or combo box's text, "True" or "False"
// for a check box. False when there is no such field.
bool ReadPageField(HWND page, const std::wstring& label, std::wstring* value);

}  // namespace zelmor::host
