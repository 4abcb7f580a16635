// Conversions between screen pixels and HIMETRIC units (hundredths of a millimetre), the unit
// of a control's extent, at the screen's resolution.
#pragma once

#include <windows.h>

namespace zelmor::com {

SIZEL PixelsToHimetric(const SIZE& pixels);
SIZE HimetricToPixels(const SIZEL& himetric);

}  // namespace zelmor::com
