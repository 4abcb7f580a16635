// Screenshots of a window as a 24-bit BMP file: the pixels are copied from the window's own
// device context (BitBlt), which shows the window as it is on the screen, children included.
// (PrintWindow draws only the background under Wine.)
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zelmor::host {

struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // bottom-up rows of blue, green, red; rows padded to 4 bytes

    size_t RowSize() const { return (static_cast<size_t>(width) * 3 + 3) & ~size_t{3}; }
    // The colour at (x, y), counted from the top left.
    COLORREF At(int x, int y) const;
    // How many different colours the picture has (a blank one has one).
    size_t ColourCount() const;
};

// Captures the whole window (frame and caption included) after it has painted.
bool CaptureWindow(HWND window, Screenshot* shot);
// A 24-bit BMP file; reading accepts only that kind.
// A 24-bit BMP file; reading accepts only that kind.
bool WriteBitmapFile(const Screenshot& shot, const std::wstring& path);
bool ReadBitmapFile(const std::wstring& path, Screenshot* shot);

}  // namespace zelmor::host
