#include "host/zelform/FormSaver.h"

#include <olectl.h>

#include <cmath>
#include <optional>

#include "host/Automation.h"
#include "host/Screenshot.h"
#include "host/zelform/WindowsText.h"

namespace zelmor::host {

namespace {

using com::ComPtr;

bool SameName(const std::wstring& a, const std::wstring& b) {
    return lstrcmpiW(a.c_str(), b.c_str()) == 0;
}

// The extent a control persists: the form file's rect says it.
bool IsExtent(const std::wstring& name) {
    return name == L"_cx" || name == L"_cy";
}

bool CopyBitmap(HBITMAP bitmap, Screenshot* shot) {
    BITMAP info{};
    if (!GetObjectW(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight == 0) {
        return false;
    }
    shot->width = info.bmWidth;
    shot->height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    shot->pixels.assign(shot->RowSize() * static_cast<size_t>(shot->height), 0);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = shot->width;
    format.bmiHeader.biHeight = shot->height;  // bottom-up, as the BMP file keeps its rows
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 24;
    format.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    int lines = GetDIBits(screen, bitmap, 0, static_cast<UINT>(shot->height), shot->pixels.data(),
                          &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return lines == shot->height;
}

// A picture object as the file names pictures: a bitmap written beside the form file. No
// value for an empty picture (the control's default); a note for what cannot be written.
std::optional<FileValue> PictureValue(IPicture* picture, const std::wstring& file,
                                      std::wstring* note) {
    SHORT type = PICTYPE_UNINITIALIZED;
    if (FAILED(picture->get_Type(&type))) type = PICTYPE_UNINITIALIZED;
    if (type == PICTYPE_NONE) return std::nullopt;
    if (type != PICTYPE_BITMAP) {
        *note = L"only bitmaps are written; this picture is left out";
        return std::nullopt;
    }
    OLE_HANDLE handle = 0;
    Screenshot shot;
    if (FAILED(picture->get_Handle(&handle)) ||
        !CopyBitmap(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), &shot) ||
        !WriteBitmapFile(shot, file)) {
        *note = L"the bitmap cannot be written to " + file + L"; it is left out";
        return std::nullopt;
    }
    wchar_t full[MAX_PATH] = {};
    DWORD length = GetFullPathNameW(file.c_str(), MAX_PATH, full, nullptr);
    std::wstring path = length > 0 && length < MAX_PATH ? std::wstring(full, length) : file;
    return PictureFile{Utf8(path)};
}

FontSpec FontValue(IFont* font) {
    FontSpec spec;
    BSTR name = nullptr;
    if (SUCCEEDED(font->get_Name(&name)) && name) spec.name = Utf8(name);
    SysFreeString(name);
    CY size{};
    if (SUCCEEDED(font->get_Size(&size))) spec.size = static_cast<double>(size.int64) / 10000;
    BOOL flag = FALSE;
    spec.bold = SUCCEEDED(font->get_Bold(&flag)) && flag;
    spec.italic = SUCCEEDED(font->get_Italic(&flag)) && flag;
    spec.underline = SUCCEEDED(font->get_Underline(&flag)) && flag;
    spec.strikethrough = SUCCEEDED(font->get_Strikethrough(&flag)) && flag;
    SHORT charset = 1;
    if (SUCCEEDED(font->get_Charset(&charset))) spec.charset = charset;
    return spec;
}

// A property's value as the form file writes it; no value (and a note saying why, when there
// is a reason to tell) for what the file cannot hold.
std::optional<FileValue> FileValueOf(const VARIANT& value, const std::wstring& pictureFile,
                                     std::wstring* note) {
    com::Variant converted;
    switch (V_VT(&value)) {
        case VT_EMPTY:
        case VT_NULL:
            return std::nullopt;
        case VT_BOOL:
            return V_BOOL(&value) != VARIANT_FALSE;
        case VT_BSTR:
            return Utf8(V_BSTR(&value) ? std::wstring(V_BSTR(&value), SysStringLen(V_BSTR(&value)))
                                       : std::wstring());
        case VT_I1:
        case VT_I2:
        case VT_I4:
        case VT_I8:
        case VT_INT:
        case VT_UI1:
        case VT_UI2:
        case VT_UI4:
        case VT_UI8:
        case VT_UINT:
            if (FAILED(VariantChangeType(converted.Get(), const_cast<VARIANT*>(&value), 0, VT_I8))) break;
            return static_cast<long long>(V_I8(converted.Get()));
        case VT_R4:
        case VT_R8:
        case VT_CY:
        case VT_DATE:
        case VT_DECIMAL:
            if (FAILED(VariantChangeType(converted.Get(), const_cast<VARIANT*>(&value), 0, VT_R8)) ||
                !std::isfinite(V_R8(converted.Get()))) {
                break;
            }
            return V_R8(converted.Get());
        case VT_DISPATCH:
        case VT_UNKNOWN: {
            IUnknown* object = V_VT(&value) == VT_DISPATCH ? V_DISPATCH(&value) : V_UNKNOWN(&value);
            if (!object) return std::nullopt;
            ComPtr<IPicture> picture;
            if (SUCCEEDED(object->QueryInterface(IID_IPicture, picture.PutVoid()))) {
                return PictureValue(picture.Get(), pictureFile, note);
            }
            ComPtr<IFont> font;
            if (SUCCEEDED(object->QueryInterface(IID_IFont, font.PutVoid()))) {
                return FontValue(font.Get());
            }
            *note = L"an object is left out: form files hold texts, numbers, pictures and fonts";
            return std::nullopt;
        }
        default:
            break;
    }
    *note = L"a value of variant type " + std::to_wstring(V_VT(&value)) +
            L" is left out: the form file cannot hold it";
    return std::nullopt;
}

// One control's entry: its place now and what it persists.
FormItem CurrentItem(const FormItem& loaded, const ControlSite& site,
                     const std::wstring& picturesBase, std::vector<std::wstring>* notes) {
    FormItem item = loaded;
    const RECT& rect = site.Rect();
    item.left = rect.left;
    item.top = rect.top;
    item.width = rect.right - rect.left;
    item.height = rect.bottom - rect.top;
    auto persistence = ComPtr<IUnknown>(site.Object()).As<IPersistPropertyBag>();
    if (!persistence) {
        notes->push_back(site.Name() + L": saves no properties; those of the file are kept");
        return item;
    }
    auto bag = com::MakeInstance<PropertyBag>(std::vector<NamedValue>{});
    HRESULT hr = persistence->Save(bag.Get(), FALSE, TRUE);
    if (FAILED(hr)) {
        notes->push_back(site.Name() + L": its properties cannot be saved (" + HresultText(hr) +
                         L"); those of the file are kept");
        return item;
    }
    auto valueOf = [&](const std::wstring& name, const VARIANT& value, std::wstring* note) {
        return FileValueOf(value, picturesBase + L"." + site.Name() + L"." + name + L".bmp", note);
    };
    item.properties.clear();
    for (const NamedValue& entry : bag->Values()) {
        if (IsExtent(entry.name)) continue;
        std::wstring note;
        std::optional<FileValue> written = valueOf(entry.name, *entry.value.Get(), &note);
        if (!note.empty()) notes->push_back(site.Name() + L"." + entry.name + L": " + note);
        if (written) item.properties.emplace_back(Utf8(entry.name), std::move(*written));
    }
    // What the file set by name (the control does not persist it) stays, as it is now when
    // the control tells.
    for (const auto& [name, value] : loaded.properties) {
        std::wstring wide = Wide(name);
        if (bag->Find(wide) || IsExtent(wide)) continue;
        com::Variant now;
        std::wstring note;
        std::optional<FileValue> current;
        if (SUCCEEDED(site.Get(wide, now.Get()))) current = valueOf(wide, *now.Get(), &note);
        item.properties.emplace_back(name, current ? *current : value);
    }
    return item;
}

bool SameFile(const std::wstring& a, const std::wstring& b) {
    auto identity = [](const std::wstring& path, BY_HANDLE_FILE_INFORMATION* info) {
        HANDLE file = CreateFileW(path.c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        bool known = GetFileInformationByHandle(file, info);
        CloseHandle(file);
        return known;
    };
    BY_HANDLE_FILE_INFORMATION x{}, y{};
    if (identity(a, &x) && identity(b, &y)) {
        return x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
               x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
    }
    wchar_t fullA[MAX_PATH] = {}, fullB[MAX_PATH] = {};
    return GetFullPathNameW(a.c_str(), MAX_PATH, fullA, nullptr) &&
           GetFullPathNameW(b.c_str(), MAX_PATH, fullB, nullptr) && SameName(fullA, fullB);
}

bool WriteWhole(const std::wstring& path, const std::string& text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool whole = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                 written == text.size() && FlushFileBuffers(file);
    return CloseHandle(file) && whole;
}

// The path without its ".json", for the files written beside it.
std::wstring BaseOf(const std::wstring& path) {
    size_t dot = path.find_last_of(L'.');
    size_t slash = path.find_last_of(L"\\/");
    if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash)) {
        return path.substr(0, dot);
    }
    return path;
}

}  // namespace

FormFile CurrentFormFile(const FormFile& loaded, const Form& form,
                         const std::wstring& picturesBase, std::vector<std::wstring>* notes) {
    FormFile file = loaded;
    for (FormItem& item : file.items) {
        if (item.kind != FormItem::Kind::Control) continue;
        const ControlSite* site = form.FindControl(Wide(item.name));
        if (!site || !site->Object()) {
            notes->push_back(Wide(item.name) + L": was not made; its entry is kept as it was");
            continue;
        }
        item = CurrentItem(item, *site, picturesBase, notes);
    }
    return file;
}

std::wstring SaveForm(const FormFile& loaded, const Form& form, const SaveRequest& request,
                      std::vector<std::wstring>* notes) {
    if (!request.overwrite && !request.inputPath.empty() &&
        SameFile(request.path, request.inputPath)) {
        return request.path + L" is the form file that was read: it is replaced only when the "
                              L"save says so (\"overwrite\": true, or --overwrite)";
    }
    std::string text;
    try {
        text = WriteFormFile(CurrentFormFile(loaded, form, BaseOf(request.path), notes));
    } catch (const FileError& error) {
        return Wide(error.what());
    } catch (const std::exception&) {
        return L"out of memory";
    }
    std::wstring temporary = request.path + L".saving";
    if (!WriteWhole(temporary, text)) {
        DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        return L"cannot write " + temporary + L": " + HresultText(HRESULT_FROM_WIN32(error));
    }
    if (!MoveFileExW(temporary.c_str(), request.path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        return L"cannot replace " + request.path + L": " + HresultText(HRESULT_FROM_WIN32(error));
    }
    return L"";
}

}  // namespace zelmor::host
