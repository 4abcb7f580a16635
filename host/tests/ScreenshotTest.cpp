// Screenshots of a form: what is on the screen, children included, in a BMP file.
#include <gtest/gtest.h>

#include "ProbeForm.h"
#include "host/Screenshot.h"

using namespace zelmor;
using namespace zelmor::host;
using namespace zelmor::host::testing;

namespace {

// The control's rectangle in the coordinates of its form's whole window.
RECT PlaceInWindow(const Form& form, const ControlSite& site) {
    RECT place = site.Rect();
    MapWindowPoints(site.SiteWindow(), nullptr, reinterpret_cast<POINT*>(&place), 2);
    RECT window;
    GetWindowRect(form.Window(), &window);
    OffsetRect(&place, -window.left, -window.top);
    return place;
}

// How many pixels of rect have colour.
int PixelsOf(const Screenshot& shot, const RECT& rect, COLORREF colour) {
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) count += shot.At(x, y) == colour;
    }
    return count;
}

}  // namespace

TEST(Screenshot, ShowsTheControlsAsTheyAreDrawnInEachMode) {
    struct Case {
        SiteMode mode;
        COLORREF colour;  // what the control shows most
    };
    const Case cases[] = {
        {SiteMode::Run, GetSysColor(COLOR_WINDOW)},       // the hosted list box
        {SiteMode::Design, ProbeControl::kDesignColour},  // the probe's hatching
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode == SiteMode::Run ? "run mode" : "design mode");
        ProbeForm probes(c.mode);
        Frame* frame = probes.form.AddFrame({L"Frame1", RECT{10, 10, 300, 200}}, L"Frame");
        ControlSite* site = probes.Add({L"List1", RECT{40, 40, 140, 140}, frame},
                                       {Property(L"Kind", TextValue(L"ListBox"))});
        ASSERT_NE(site, nullptr);
        probes.form.PumpMessages();

        Screenshot shot;
        ASSERT_TRUE(CaptureWindow(probes.form.Window(), &shot));
        RECT window;
        GetWindowRect(probes.form.Window(), &window);
        EXPECT_EQ(shot.width, window.right - window.left);
        EXPECT_EQ(shot.height, window.bottom - window.top);
        EXPECT_GT(shot.ColourCount(), 3u) << "caption, background, frame and control";
        // A hatch line every eight pixels covers an eighth of the area.
        EXPECT_GT(PixelsOf(shot, PlaceInWindow(probes.form, *site), c.colour), 100 * 100 / 10);
    }
}

TEST(Screenshot, TheBitmapFileHoldsThePicture) {
    ProbeForm probes;
    probes.Add({L"Text1", RECT{10, 10, 200, 34}}, {Property(L"Text", TextValue(L"hello"))});
    probes.form.PumpMessages();
    Screenshot shot;
    ASSERT_TRUE(CaptureWindow(probes.form.Window(), &shot));
    const std::wstring path = L"screenshot-test.bmp";
    ASSERT_TRUE(WriteBitmapFile(shot, path));
    Screenshot read;
    ASSERT_TRUE(ReadBitmapFile(path, &read));
    EXPECT_EQ(read.width, shot.width);
    EXPECT_EQ(read.height, shot.height);
    EXPECT_EQ(read.pixels, shot.pixels);
    DeleteFileW(path.c_str());
    EXPECT_FALSE(ReadBitmapFile(path, &read));
    EXPECT_FALSE(CaptureWindow(nullptr, &shot));
}
