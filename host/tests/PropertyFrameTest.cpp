// The property frame: a control's pages as tabs, fields filled as a person fills them, Apply
// enabled while a page has changes, Apply and OK giving them to the control, Cancel leaving it
// alone, and a refused value keeping its page changed. The probe's own page is the page.
#include <gtest/gtest.h>
#include <olectl.h>

#include <commctrl.h>

#include "ProbeForm.h"
#include "ProbePage.h"
#include "com/ClassFactory.h"
#include "host/Automation.h"
#include "host/PropertyFrame.h"
#include "host/UserInput.h"

using namespace zelmor;
using namespace zelmor::host;
using namespace zelmor::host::testing;

namespace {

// An object that names the pages given and is the probe for the pages' SetObjects: more pages
// than the probe has, or one that cannot be made.
class PagesOf : public com::ObjectRoot, public ISpecifyPropertyPages {
  public:
    PagesOf(IUnknown* probe, std::vector<CLSID> pages) : pages_(std::move(pages)) {
        probe->QueryInterface(IID_IProbe, probe_.PutVoid());
    }
    STDMETHODIMP GetPages(CAUUID* pages) override {
        pages->cElems = static_cast<ULONG>(pages_.size());
        pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID) * pages_.size() + 1));
        std::copy(pages_.begin(), pages_.end(), pages->pElems);
        return S_OK;
    }

  protected:
    void* FindInterface(REFIID iid) override {
        if (iid == IID_IUnknown || iid == IID_ISpecifyPropertyPages) {
            return static_cast<ISpecifyPropertyPages*>(this);
        }
        if (iid == IID_IProbe) return probe_.Get();
        return nullptr;
    }

  private:
    com::ComPtr<IProbe> probe_;
    std::vector<CLSID> pages_;
};

// The probe's page, made by class identifier as the frame makes it.
class PropertyFrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        com::ComPtr<IClassFactory> factory;
        ASSERT_EQ(com::GetClassFactory(CreateProbePage, IID_IClassFactory, factory.PutVoid()),
                  S_OK);
        ASSERT_EQ(CoRegisterClassObject(CLSID_ZelProbePage, factory.Get(), CLSCTX_INPROC_SERVER,
                                        REGCLS_MULTIPLEUSE, &cookie_),
                  S_OK);
    }
    void TearDown() override { CoRevokeClassObject(cookie_); }

    // A probe with Text "hello" and Number 3, and its frame opened through the form.
    PropertyFrame* OpenFrame(ProbeForm& probes, const std::wstring& name = L"Text1") {
        site_ = probes.Add({name, RECT{10, 10, 200, 34}},
                           {Property(L"Text", TextValue(L"hello")), Property(L"Number", LongValue(3))});
        EXPECT_NE(site_, nullptr);
        if (!site_) return nullptr;
        EXPECT_EQ(probes.form.OpenPropertyFrame(*site_), S_OK);
        probes.form.PumpMessages();
        return probes.form.ShownPropertyFrame();
    }

    std::wstring Property_(const std::wstring& name) {
        com::Variant value;
        EXPECT_EQ(site_->Get(name, value.Get()), S_OK);
        return TextOfValue(*value.Get());
    }

    std::wstring Field(PropertyFrame& frame, const std::wstring& label) {
        std::wstring value;
        EXPECT_TRUE(ReadPageField(frame.PageWindow(), label, &value)) << "no field";
        return value;
    }

    DWORD cookie_ = 0;
    ControlSite* site_ = nullptr;
};

std::wstring TabText(HWND tabs, int index) {
    wchar_t text[64] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(tabs, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
    return text;
}

HWND ChildOfClass(HWND parent, const wchar_t* className) {
    return FindWindowExW(parent, nullptr, className, nullptr);
}

}  // namespace

TEST_F(PropertyFrameTest, ShowsThePagesAsTabsWithTheControlsValues) {
    ProbeForm probes(SiteMode::Design);
    PropertyFrame* frame = OpenFrame(probes);
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(IsWindowVisible(frame->Window()));
    EXPECT_EQ(GetWindow(frame->Window(), GW_OWNER), probes.form.Window());
    HWND tabs = ChildOfClass(frame->Window(), WC_TABCONTROLW);
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(TabText(tabs, 0), L"Probe");
    EXPECT_EQ(frame->FindPage(L"&probe"), 0);
    EXPECT_EQ(frame->FindPage(L"Data"), -1);

    // The page shows the control's values and has no changes yet.
    EXPECT_EQ(Field(*frame, L"Text"), L"hello");
    EXPECT_EQ(Field(*frame, L"number"), L"3");
    EXPECT_FALSE(frame->ApplyEnabled());
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(frame->Window(), 0x3021)));
}

TEST_F(PropertyFrameTest, ApplyAndOkGiveTheChangesToTheControlAndCancelLeavesIt) {
    enum class Press { Apply, Ok, Cancel };
    struct Case {
        const char* what;
        Press press;
        const wchar_t* text;  // the control's Text afterwards
        bool open;            // the frame is still shown
    };
    const Case cases[] = {
        {"apply", Press::Apply, L"changed", true},
        {"ok", Press::Ok, L"changed", false},
        {"cancel", Press::Cancel, L"hello", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProbeForm probes(SiteMode::Design);
        PropertyFrame* frame = OpenFrame(probes);
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(SetPageField(frame->PageWindow(), L"Text", L"changed"), L"");
        EXPECT_TRUE(frame->PageDirty(0));
        EXPECT_TRUE(frame->ApplyEnabled());
        // Nothing reaches the control before a button is pressed.
        EXPECT_EQ(Property_(L"Text"), L"hello");

        UINT button = c.press == Press::Apply ? 0x3021 : c.press == Press::Ok ? IDOK : IDCANCEL;
        SendMessageW(GetDlgItem(frame->Window(), button), BM_CLICK, 0, 0);
        probes.form.PumpMessages();
        EXPECT_EQ(Property_(L"Text"), c.text);
        EXPECT_EQ(probes.form.ShownPropertyFrame() != nullptr, c.open);
        if (c.open) {
            EXPECT_FALSE(frame->ApplyEnabled());
            EXPECT_EQ(frame->Problem(), L"");
        }
    }
}

TEST_F(PropertyFrameTest, ARefusedValueKeepsThePageChangedAndSaysWhy) {
    ProbeForm probes(SiteMode::Design);
    PropertyFrame* frame = OpenFrame(probes);
    ASSERT_NE(frame, nullptr);
    // The probe refuses a negative number: the control's own error.
    EXPECT_EQ(SetPageField(frame->PageWindow(), L"Number", L"-1"), L"");
    EXPECT_EQ(frame->Apply(), CTL_E_INVALIDPROPERTYVALUE);
    EXPECT_TRUE(frame->PageDirty(0));
    EXPECT_TRUE(frame->ApplyEnabled());
    EXPECT_NE(frame->Problem().find(L"Number: -1 is refused"), std::wstring::npos)
        << std::string(frame->Problem().begin(), frame->Problem().end());
    HWND status = GetDlgItem(frame->Window(), 0x3022);
    wchar_t shown[256] = {};
    GetWindowTextW(status, shown, 256);
    EXPECT_EQ(frame->Problem(), shown);
    // OK does not close the frame over a value it could not give.
    EXPECT_EQ(frame->Ok(), CTL_E_INVALIDPROPERTYVALUE);
    EXPECT_EQ(probes.form.ShownPropertyFrame(), frame);
    EXPECT_EQ(Property_(L"Number"), L"3");

    // The container refuses the change: the page is told, and keeps it.
    site_->Notifications().Refuse(3, true);
    EXPECT_EQ(SetPageField(frame->PageWindow(), L"Number", L"5"), L"");
    EXPECT_EQ(frame->Apply(), CTL_E_SETNOTPERMITTED);
    EXPECT_TRUE(frame->ApplyEnabled());

    // Once the value is allowed, Apply succeeds and clears the problem.
    site_->Notifications().Refuse(3, false);
    EXPECT_EQ(frame->Apply(), S_OK);
    EXPECT_EQ(Property_(L"Number"), L"5");
    EXPECT_FALSE(frame->ApplyEnabled());
    EXPECT_EQ(frame->Problem(), L"");
}

TEST_F(PropertyFrameTest, EachTabKeepsItsPageAndItsChanges) {
    ProbeForm probes(SiteMode::Design);
    ControlSite* site = probes.Add({L"Text1", RECT{10, 10, 200, 34}});
    ASSERT_NE(site, nullptr);
    auto pages = com::MakeInstance<PagesOf>(site->Object(),
                                            std::vector<CLSID>{CLSID_ZelProbePage, CLSID_ZelProbePage});
    HRESULT hr = E_FAIL;
    auto frame = PropertyFrame::Open(probes.form.Window(),
                                     static_cast<ISpecifyPropertyPages*>(pages.Get()), L"Two", &hr);
    ASSERT_EQ(hr, S_OK);
    ASSERT_EQ(frame->PageCount(), 2u);
    HWND first = frame->PageWindow();
    EXPECT_EQ(SetPageField(first, L"Text", L"first"), L"");

    // A click on the second tab shows the second page; the first keeps what was typed.
    HWND tabs = ChildOfClass(frame->Window(), WC_TABCONTROLW);
    RECT tab{};
    SendMessageW(tabs, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2));
    SendMessageW(tabs, WM_LBUTTONUP, 0,
                 MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2));
    probes.form.PumpMessages();
    EXPECT_EQ(frame->CurrentPage(), 1u);
    HWND second = frame->PageWindow();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_FALSE(IsWindowVisible(first));
    EXPECT_TRUE(frame->PageDirty(0));
    EXPECT_FALSE(frame->PageDirty(1));

    EXPECT_TRUE(frame->ShowPage(0));
    EXPECT_EQ(frame->PageWindow(), first);
    std::wstring text;
    EXPECT_TRUE(ReadPageField(first, L"Text", &text));
    EXPECT_EQ(text, L"first");
    EXPECT_FALSE(frame->ShowPage(2));
}

TEST_F(PropertyFrameTest, PagesThatCannotBeMadeAreLeftOutAndNamed) {
    ProbeForm probes(SiteMode::Design);
    ControlSite* site = probes.Add({L"Text1", RECT{10, 10, 200, 34}});
    ASSERT_NE(site, nullptr);
    const CLSID unknown = {0x1, 0x2, 0x3, {4, 5, 6, 7, 8, 9, 10, 11}};
    auto pages = com::MakeInstance<PagesOf>(
        site->Object(), std::vector<CLSID>{unknown, CLSID_ZelProbePage, unknown});
    HRESULT hr = E_FAIL;
    auto frame = PropertyFrame::Open(probes.form.Window(),
                                     static_cast<ISpecifyPropertyPages*>(pages.Get()), L"X", &hr);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(frame->PageCount(), 1u);
    EXPECT_NE(FindPageField(frame->PageWindow(), L"Text"), nullptr);
    EXPECT_EQ(frame->Problem(), L"2 of 3 pages are not available here");
    frame.reset();

    // With no page that can be made there is no frame.
    auto missing = com::MakeInstance<PagesOf>(site->Object(), std::vector<CLSID>{unknown});
    EXPECT_EQ(PropertyFrame::Open(probes.form.Window(),
                                  static_cast<ISpecifyPropertyPages*>(missing.Get()), L"X", &hr),
              nullptr);
    EXPECT_EQ(hr, REGDB_E_CLASSNOTREG);
    auto none = com::MakeInstance<PagesOf>(site->Object(), std::vector<CLSID>{});
    EXPECT_EQ(PropertyFrame::Open(probes.form.Window(),
                                  static_cast<ISpecifyPropertyPages*>(none.Get()), L"X", &hr),
              nullptr);
    EXPECT_TRUE(FAILED(hr));
}

TEST_F(PropertyFrameTest, TheVerbAndARightClickAtDesignTimeOpenTheFrame) {
    struct Case {
        const char* what;
        SiteMode mode;
        bool rightClick;
        bool opens;
    };
    const Case cases[] = {
        {"properties verb", SiteMode::Design, false, true},
        {"right click at design time", SiteMode::Design, true, true},
        {"right click at run time", SiteMode::Run, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProbeForm probes(c.mode);
        // A button at run time: an edit box would show its own menu for the right click.
        ControlSite* site =
            probes.Add({L"Text1", RECT{10, 10, 200, 34}}, {Property(L"Kind", TextValue(L"Button"))});
        ASSERT_NE(site, nullptr);
        if (c.rightClick) {
            ClickOptions right;
            right.right = true;
            EXPECT_TRUE(Click(probes.form, *site, right));
        } else {
            EXPECT_EQ(site->DoVerb(OLEIVERB_PROPERTIES), S_OK);
        }
        probes.form.PumpMessages();
        PropertyFrame* frame = probes.form.ShownPropertyFrame();
        EXPECT_EQ(frame != nullptr, c.opens);
        if (frame) {
            EXPECT_EQ(frame->Object(), site->Object());
        }
    }
}

TEST_F(PropertyFrameTest, AnotherControlsFrameWaitsForChangesNotApplied) {
    ProbeForm probes(SiteMode::Design);
    PropertyFrame* frame = OpenFrame(probes);
    ASSERT_NE(frame, nullptr);
    ControlSite* other = probes.Add({L"Text2", RECT{10, 50, 200, 74}});
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(SetPageField(frame->PageWindow(), L"Text", L"pending"), L"");
    EXPECT_EQ(probes.form.OpenPropertyFrame(*other), HRESULT_FROM_WIN32(ERROR_BUSY));
    EXPECT_EQ(probes.form.ShownPropertyFrame()->Object(), site_->Object());

    ASSERT_EQ(frame->Apply(), S_OK);
    EXPECT_EQ(probes.form.OpenPropertyFrame(*other), S_OK);
    EXPECT_EQ(probes.form.ShownPropertyFrame()->Object(), other->Object());
    EXPECT_EQ(Property_(L"Text"), L"pending");
}

// --- Fields found by their labels ---

namespace {

// A page made by hand, whose window procedure records the notifications its fields send.
struct FieldPage {
    FieldPage() {
        WNDCLASSW description{};
        description.lpfnWndProc = Procedure;
        description.hInstance = GetModuleHandleW(nullptr);
        description.lpszClassName = L"FieldTestPage";
        RegisterClassW(&description);
        window = CreateWindowExW(0, L"FieldTestPage", L"", WS_OVERLAPPED, 0, 0, 300, 300, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~FieldPage() { DestroyWindow(window); }

    HWND Add(const wchar_t* className, const wchar_t* text, DWORD style, int id = 0) {
        return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 100, 100,
                               window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), nullptr);
    }

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* page = reinterpret_cast<FieldPage*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (page && message == WM_COMMAND && lParam) {
            page->notifications.push_back({LOWORD(wParam), HIWORD(wParam)});
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND window;
    std::vector<std::pair<WORD, WORD>> notifications;  // control identifier, code
};

}  // namespace

TEST(PageFields, AreFoundByTheirLabelsAndFilledAsAPersonFillsThem) {
    FieldPage page;
    page.Add(L"Static", L"&DbTable:", 0);
    HWND table = page.Add(L"Edit", L"", WS_TABSTOP | ES_AUTOHSCROLL, 1);
    page.Add(L"Static", L"Kind", 0);
    HWND kind = page.Add(L"ComboBox", L"", WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, 2);
    page.Add(L"Static", L"DbField :", 0);
    page.Add(L"Button", L"", BS_GROUPBOX);  // no tab stop: passed over
    HWND field = page.Add(L"ComboBox", L"", WS_TABSTOP | CBS_DROPDOWN | WS_VSCROLL, 3);
    page.Add(L"Static", L"AllOpen", 0);
    HWND allOpen = page.Add(L"Button", L"", WS_TABSTOP | BS_AUTOCHECKBOX, 4);
    EXPECT_EQ(FindPageField(page.window, L"AllOpen:"), allOpen);
    page.Add(L"Static", L"Locked", 0);
    HWND locked = page.Add(L"Edit", L"", WS_TABSTOP | ES_READONLY, 5);
    page.Add(L"Static", L"Orphan", 0);
    page.Add(L"Static", L"Disabled", 0);
    HWND disabled = page.Add(L"Edit", L"", WS_TABSTOP | WS_DISABLED, 6);
    for (HWND combo : {kind, field}) {
        for (const wchar_t* item : {L"Customer", L"Orders"}) {
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        }
    }
    EXPECT_EQ(FindPageField(page.window, L"dbtable"), table);
    EXPECT_EQ(FindPageField(page.window, L"DbField"), field);
    EXPECT_EQ(FindPageField(page.window, L"Orphan"), nullptr);
    EXPECT_EQ(FindPageField(page.window, L"Nothing"), nullptr);
    (void)locked;
    (void)disabled;

    struct Case {
        const wchar_t* label;
        const wchar_t* value;
        const wchar_t* problem;  // empty: set
        const wchar_t* shown;    // what the field then shows
        WORD id;
        std::vector<WORD> codes;  // the notifications the page heard
    };
    const Case cases[] = {
        {L"DbTable", L"Customer", L"", L"Customer", 1, {EN_CHANGE}},
        {L"Kind", L"orders", L"", L"Orders", 2, {CBN_SELCHANGE}},
        {L"Kind", L"Products", L"the list has no item \"Products\"", L"Orders", 2, {}},
        {L"DbField", L"Name", L"", L"Name", 3, {CBN_EDITUPDATE, CBN_EDITCHANGE}},
        {L"DbField", L"Customer", L"", L"Customer", 3, {CBN_SELCHANGE}},
        {L"AllOpen", L"True", L"", L"True", 4, {BN_CLICKED}},
        {L"AllOpen", L"True", L"", L"True", 4, {}},
        {L"AllOpen", L"yes", L"a check box takes true or false", L"True", 4, {}},
        {L"AllOpen", L"False", L"", L"False", 4, {BN_CLICKED}},
        {L"Locked", L"x", L"the field is read-only", L"", 5, {}},
        {L"Disabled", L"x", L"the field \"Disabled\" is disabled", L"", 6, {}},
        {L"Orphan", L"x", L"no field labelled \"Orphan\"", nullptr, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.label, c.label + wcslen(c.label)) + " " +
                     std::string(c.value, c.value + wcslen(c.value)));
        page.notifications.clear();
        EXPECT_EQ(SetPageField(page.window, c.label, c.value), c.problem);
        std::wstring shown;
        EXPECT_EQ(ReadPageField(page.window, c.label, &shown), c.shown != nullptr);
        if (c.shown) {
            EXPECT_EQ(shown, c.shown);
        }
        std::vector<WORD> codes;
        for (const auto& [id, code] : page.notifications) {
            // Only what this field said; an edit box may also say EN_UPDATE before EN_CHANGE.
            if (id == c.id && code != EN_UPDATE) codes.push_back(code);
        }
        EXPECT_EQ(codes, c.codes);
    }
}

TEST_F(PropertyFrameTest, ControlsMadeAfterAFrameWasShownWorkAsBefore) {
    // The frame loads the common controls' library; the windows the controls host afterwards
    // are still the system's own edit boxes, lists and buttons.
    ProbeForm probes(SiteMode::Design);
    PropertyFrame* frame = OpenFrame(probes);
    ASSERT_NE(frame, nullptr);
    frame->Cancel();
    probes.form.SetMode(SiteMode::Run);
    for (const wchar_t* kind : {L"Edit", L"ListBox", L"Button"}) {
        ControlSite* site = probes.Add({std::wstring(L"After") + kind, RECT{10, 60, 200, 84}},
                                       {Property(L"Kind", TextValue(kind)),
                                        Property(L"Items", TextValue(L"one|two"))});
        ASSERT_NE(site, nullptr);
        if (std::wstring(kind) == L"Edit") {
            EXPECT_TRUE(TypeKeys(probes.form, *site, L"abc"));
            EXPECT_EQ(ShownText(*site), L"abc");
        } else if (std::wstring(kind) == L"ListBox") {
            EXPECT_TRUE(SelectItem(probes.form, *site, L"two"));
            EXPECT_EQ(ShownText(*site), L"two");
        } else {
            EXPECT_TRUE(Click(probes.form, *site));
            EXPECT_EQ(site->Events().CountOf(L"Click"), 1u);
        }
    }
    // The first probe, made before the frame, hosts its edit box again in run mode.
    EXPECT_TRUE(TypeKeys(probes.form, *site_, L"{END}!"));
    EXPECT_EQ(ShownText(*site_), L"hello!");

    // A frame that closes gives the focus back to the window that had it, as a dialog does.
    HWND focused = GetFocus();
    ASSERT_NE(focused, nullptr);
    ASSERT_EQ(probes.form.OpenPropertyFrame(*site_), S_OK);
    probes.form.ShownPropertyFrame()->Cancel();
    probes.form.PumpMessages();
    EXPECT_EQ(GetFocus(), focused);
    EXPECT_TRUE(TypeKeys(probes.form, *site_, L"?"));
    EXPECT_EQ(ShownText(*site_), L"hello!?");
}
