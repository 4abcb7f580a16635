#include "com/Metrics.h"

namespace zelmor::com {

namespace {

constexpr int kHimetricPerInch = 2540;

struct ScreenResolution {
    int x = 96;
    int y = 96;
};

ScreenResolution Resolution() {
    ScreenResolution resolution;
    if (HDC screen = GetDC(nullptr)) {
        resolution.x = GetDeviceCaps(screen, LOGPIXELSX);
        resolution.y = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    return resolution;
}

}  // namespace

SIZEL PixelsToHimetric(const SIZE& pixels) {
    ScreenResolution resolution = Resolution();
    return SIZEL{MulDiv(pixels.cx, kHimetricPerInch, resolution.x),
                 MulDiv(pixels.cy, kHimetricPerInch, resolution.y)};
}

SIZE HimetricToPixels(const SIZEL& himetric) {
    ScreenResolution resolution = Resolution();
    return SIZE{MulDiv(himetric.cx, resolution.x, kHimetricPerInch),
                MulDiv(himetric.cy, resolution.y, kHimetricPerInch)};
}

}  // namespace zelmor::com
