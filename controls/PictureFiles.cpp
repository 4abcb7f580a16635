#include "controls/PictureFiles.h"

#include <shellapi.h>

#include <cstring>
#include <new>
#include <vector>

#include "com/AnsiText.h"
#include "messages/Messages.h"

namespace zelmor {

namespace {

// Image files larger than this are taken for something else.
constexpr DWORD kLargestImageFile = 256u * 1024 * 1024;

bool ReadWholeFile(const std::wstring& path, std::vector<std::uint8_t>& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool read = GetFileSizeEx(file, &size) && size.QuadPart <= kLargestImageFile;
    if (read) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD got = 0;
        read = bytes.empty() || (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                                          &got, nullptr) &&
                                 got == bytes.size());
    }
    CloseHandle(file);
    return read;
}

com::ComPtr<IPictureDisp> MakePicture(PICTDESC& description) {
    description.cbSizeofstruct = sizeof description;
    com::ComPtr<IPictureDisp> picture;
    if (FAILED(OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE,
                                        reinterpret_cast<void**>(picture.Put())))) {
        return {};
    }
    return picture;
}

// The palette of a bitmap's colour table (0x00RRGGBB entries).
Palette PaletteOf(const std::vector<std::uint32_t>& colours) {
    std::vector<std::uint8_t> memory(sizeof(LOGPALETTE) + colours.size() * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(memory.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(colours.size());
    for (std::size_t i = 0; i < colours.size(); ++i) {
        palette->palPalEntry[i] = PALETTEENTRY{static_cast<BYTE>(colours[i] >> 16),
                                               static_cast<BYTE>(colours[i] >> 8),
                                               static_cast<BYTE>(colours[i]), 0};
    }
    return Palette(CreatePalette(palette));
}

int LoadBitmapFile(const std::wstring& path, LoadedPicture& loaded) {
    std::vector<std::uint8_t> file;
    Dib dib;
    if (!ReadWholeFile(path, file) || !ReadDib(file, dib)) return VE015;
    // The header, then the colour table or the three masks, as the file had them.
    const std::size_t entries = dib.compression == BI_BITFIELDS ? 3 : dib.colours.size();
    std::vector<std::uint8_t> memory(sizeof(BITMAPINFOHEADER) + entries * sizeof(RGBQUAD));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(memory.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = dib.width;
    header->biHeight = dib.topDown ? -dib.height : dib.height;
    header->biPlanes = 1;
    header->biBitCount = dib.bitCount;
    header->biCompression = dib.compression;
    header->biClrUsed = static_cast<DWORD>(dib.colours.size());
    std::uint8_t* table = memory.data() + sizeof(BITMAPINFOHEADER);
    if (dib.compression == BI_BITFIELDS) {
        std::memcpy(table, dib.masks, sizeof dib.masks);
    } else if (!dib.colours.empty()) {
        std::memcpy(table, dib.colours.data(), dib.colours.size() * sizeof(RGBQUAD));
    }
    void* bits = nullptr;
    com::Bitmap bitmap(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(memory.data()),
                                        DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || bits == nullptr) return VE015;
    std::memcpy(bits, dib.bits.data(), dib.bits.size());
    Palette palette;
    if (!dib.colours.empty()) palette = PaletteOf(dib.colours);

    PICTDESC description{};
    description.picType = PICTYPE_BITMAP;
    description.bmp.hbitmap = bitmap.Get();
    description.bmp.hpal = palette.Get();
    com::ComPtr<IPictureDisp> picture = MakePicture(description);
    if (!picture) return VE015;
    bitmap.Release();  // the picture owns it now
    loaded.picture = std::move(picture);
    loaded.palette = std::move(palette);
    return 0;
}

int LoadMetafile(const std::wstring& path, SIZE extent, LoadedPicture& loaded) {
    std::vector<std::uint8_t> file;
    if (!ReadWholeFile(path, file)) return VE019;
    std::vector<std::uint8_t> bits;
    switch (ReadMetafile(file, bits)) {
        case MetafileError::None:
            break;
        case MetafileError::ShortPlaceable:
            return VE023;
        case MetafileError::Unreadable:
            return VE019;
    }
    HMETAFILE metafile = SetMetaFileBitsEx(static_cast<UINT>(bits.size()), bits.data());
    if (metafile == nullptr) return VE019;
    // The extent in HIMETRIC units, from pixels at the screen's resolution.
    HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    PICTDESC description{};
    description.picType = PICTYPE_METAFILE;
    description.wmf.hmeta = metafile;
    description.wmf.xExt = MulDiv(extent.cx, 2540, dpiX > 0 ? dpiX : 96);
    description.wmf.yExt = MulDiv(extent.cy, 2540, dpiY > 0 ? dpiY : 96);
    loaded.picture = MakePicture(description);
    if (!loaded.picture) {
        DeleteMetaFile(metafile);
        return VE019;
    }
    loaded.palette.Reset();
    return 0;
}

int LoadIconFile(const std::wstring& path, LoadedPicture& loaded) {
    HICON icon = ExtractIconW(GetModuleHandleW(nullptr), path.c_str(), 0);
    // 1 says the file is no program, library or icon file.
    if (icon == nullptr || icon == reinterpret_cast<HICON>(1)) return VE020;
    PICTDESC description{};
    description.picType = PICTYPE_ICON;
    description.icon.hicon = icon;
    loaded.picture = MakePicture(description);
    if (!loaded.picture) {
        DestroyIcon(icon);
        return VE020;
    }
    loaded.palette.Reset();
    return 0;
}

}  // namespace

int LoadPictureFile(ImageKind kind, const std::string& path, SIZE metafileExtent,
                    LoadedPicture& loaded) {
    try {
        const std::wstring widePath = com::WideOf(path);
        switch (kind) {
            case ImageKind::Bitmap:
                return LoadBitmapFile(widePath, loaded);
            case ImageKind::Metafile:
                return LoadMetafile(widePath, metafileExtent, loaded);
            case ImageKind::Icon:
                return LoadIconFile(widePath, loaded);
            case ImageKind::None:
                break;
        }
        return 0;
    } catch (const std::bad_alloc&) {
        return VE001;
    }
}

}  // namespace zelmor
