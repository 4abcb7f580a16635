#include "host/Screenshot.h"

#include <fstream>
#include <set>

namespace zelmor::host {

COLORREF Screenshot::At(int x, int y) const {
    size_t row = static_cast<size_t>(height - 1 - y);
    const uint8_t* pixel = &pixels[row * RowSize() + static_cast<size_t>(x) * 3];
    return RGB(pixel[2], pixel[1], pixel[0]);
}

size_t Screenshot::ColourCount() const {
    std::set<COLORREF> colours;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) colours.insert(At(x, y));
    }
    return colours.size();
}

bool CaptureWindow(HWND window, Screenshot* shot) {
    if (!shot || !IsWindow(window)) return false;
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT bounds;
    GetWindowRect(window, &bounds);
    shot->width = bounds.right - bounds.left;
    shot->height = bounds.bottom - bounds.top;
    if (shot->width <= 0 || shot->height <= 0) return false;

    HDC windowDc = GetWindowDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, shot->width, shot->height);
    HGDIOBJ previous = SelectObject(memoryDc, bitmap);
    bool copied =
        BitBlt(memoryDc, 0, 0, shot->width, shot->height, windowDc, 0, 0, SRCCOPY) != FALSE;
    SelectObject(memoryDc, previous);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = shot->width;
    info.bmiHeader.biHeight = shot->height;  // bottom-up, as a BMP file keeps them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    shot->pixels.assign(shot->RowSize() * static_cast<size_t>(shot->height), 0);
    if (copied) {
        copied = GetDIBits(memoryDc, bitmap, 0, static_cast<UINT>(shot->height),
                           shot->pixels.data(), &info, DIB_RGB_COLORS) == shot->height;
    }
    DeleteObject(bitmap);
    DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
    return copied;
}

bool WriteBitmapFile(const Screenshot& shot, const std::wstring& path) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = shot.width;
    header.biHeight = shot.height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(shot.pixels.size());
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;

    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(reinterpret_cast<const char*>(shot.pixels.data()),
              static_cast<std::streamsize>(shot.pixels.size()));
    return static_cast<bool>(out);
}

bool ReadBitmapFile(const std::wstring& path, Screenshot* shot) {
    std::ifstream in(path.c_str(), std::ios::binary);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    in.read(reinterpret_cast<char*>(&file), sizeof file);
    in.read(reinterpret_cast<char*>(&header), sizeof header);
    if (!in || file.bfType != 0x4D42 || header.biBitCount != 24 || header.biWidth <= 0 ||
        header.biHeight <= 0 || header.biCompression != BI_RGB) {
        return false;
    }
    shot->width = header.biWidth;
    shot->height = header.biHeight;
    shot->pixels.assign(shot->RowSize() * static_cast<size_t>(shot->height), 0);
    in.seekg(file.bfOffBits);
    in.read(reinterpret_cast<char*>(shot->pixels.data()),
            static_cast<std::streamsize>(shot->pixels.size()));
    return static_cast<bool>(in);
}

}  // namespace zelmor::host
