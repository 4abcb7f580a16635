#include "controls/ZelBtr.h"

#include <olectl.h>

#include "binding/BindingRegistry.h"
#include "binding/FormDiscovery.h"
#include "com/AnsiText.h"
#include "com/Guarded.h"
#include "com/ModuleState.h"
#include "com/TypeLibrary.h"
#include "com/Variant.h"
#include "core/TableFiles.h"
#include "core/RecordOperations.h"
#include "controls/AutomationArrays.h"
#include "controls/BrowsingTables.h"
#include "module/DispatchIds.idh"
#include "module/ResourceIds.h"
#include "module/PageClassIds.h"

namespace zelmor {

namespace {

constexpr DISPID kDispDDFDir = DISPID_BTR_DDFDIR;
constexpr DISPID kDispOwnerName = DISPID_BTR_OWNERNAME;
constexpr DISPID kDispOpenMode = DISPID_BTR_OPENMODE;
constexpr DISPID kDispAllOpen = DISPID_BTR_ALLOPEN;
constexpr DISPID kDispDistName = DISPID_BTR_DISTNAME;
constexpr DISPID kDispCacheDDF = DISPID_BTR_CACHEDDF;

// The persisted properties after the extent, in their order.
const com::PropertyMapEntry kProperties[] = {
    {L"DDFDir", kDispDDFDir},   {L"OwnerName", kDispOwnerName}, {L"OpenMode", kDispOpenMode},
    {L"AllOpen", kDispAllOpen}, {L"DistName", kDispDistName},   {L"CacheDDF", kDispCacheDDF},
};

// The data control has no font, colours or picture: its own page only.
const CLSID* const kPages[] = {&CLSID_ZelBtrPpg};

const com::ControlClass kDataControlClass = {
    &CLSID_ZelmorDb,
    &DIID__DZelBtrEvents,
    com::kControlMiscStatus,
    SIZEL{847, 847},  // 32 x 32 pixels
    com::MakePropertyMap(kProperties),
    kPages,
    sizeof kPages / sizeof kPages[0],
    0,
    &kDataControlBrowsing,
};

constexpr int kBitmapLoaded = IDB_DATA_CONTROL_LOADED;
constexpr int kBitmapNoDictionary = IDB_DATA_CONTROL_EMPTY;
constexpr DISPID kBtrieveError = DISPID_BTR_EVENT_BTRIEVEERROR;

std::string Ansi(BSTR text) { return com::AnsiOf(text); }

HRESULT OutText(const std::string& ansi, BSTR* out) { return com::AnsiToOut(ansi, out); }

// A name and the result code: both pointers are checked before the string is made, so that a
// refused call leaves nothing behind for a caller who will not free it.
HRESULT OutNameAndRc(const std::string& ansi, int status, BSTR* name, short* rc) {
    if (name == nullptr || rc == nullptr) return E_POINTER;
    HRESULT hr = OutText(ansi, name);
    if (FAILED(hr)) return hr;
    *rc = static_cast<short>(status);
    return S_OK;
}

// Stores a result in a trailing out-parameter; the method itself always succeeds.
template <typename T>
HRESULT Out(T* out, long value) {
    if (out == nullptr) return E_POINTER;
    *out = static_cast<T>(value);
    return S_OK;
}

void DrawBitmap(HDC dc, const RECT& bounds, int resource) {
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(com::ModuleState::Instance(),
                                                     MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0,
                                                     0, LR_DEFAULTCOLOR));
    if (bitmap == nullptr) {
        // Without the library's resources (a test program): a plain frame.
        FrameRect(dc, &bounds, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        return;
    }
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    StretchBlt(dc, bounds.left, bounds.top, bounds.right - bounds.left,
               bounds.bottom - bounds.top, memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(bitmap);
}

}  // namespace

ZelBtr::ZelBtr() : Control(kDataControlClass), host_(*this), logic_(host_, Registry()) {}

// --- Host ---

WindowHandle ZelBtr::Host::FormWindow() { return FindFormWindow(owner_.ClientSite()); }

std::u16string ZelBtr::Host::DisplayName() {
    std::wstring name = owner_.AmbientDisplayName();
    return std::u16string(name.begin(), name.end());
}

bool ZelBtr::Host::UserMode() { return owner_.ControlBase::UserMode(); }

int ZelBtr::Host::RaiseBtrieveError(const std::string& tableName, int status) {
    short value = static_cast<short>(status);
    com::EventArguments arguments;
    arguments.Add(com::WideOf(tableName)).AddByRef(&value);
    owner_.FireEvent(kBtrieveError, arguments);
    return value;
}

int ZelBtr::Host::QueryFormName(std::string& formName) {
    return zelmor::QueryFormName(owner_.ClientSite(), formName);
}

int ZelBtr::Host::QueryFormHandle(WindowHandle& formWindow) {
    return zelmor::QueryFormHandle(owner_.ClientSite(), formWindow);
}

// --- Lifetime ---

// The site may come before the properties (the class asks for its site first) or after them:
// initialisation is tried at both moments and completes once.
void ZelBtr::OnClientSiteSet() { logic_.Initialize(); }
void ZelBtr::OnPropertiesLoaded() {
    propertiesLoaded_ = true;
    logic_.Initialize();
}

void ZelBtr::OnWindowDestroying() {
    if (ControlBase::UserMode()) logic_.Shutdown();
}

void ZelBtr::FinalRelease() {
    logic_.Shutdown();
    Control::FinalRelease();
}

void ZelBtr::OnDraw(HDC dc, const RECT& bounds) {
    if (ControlBase::UserMode()) {
        com::Variant colour;
        OLE_COLOR ambient = GetSysColor(COLOR_BTNFACE);
        if (SUCCEEDED(GetAmbientProperty(DISPID_AMBIENT_BACKCOLOR, colour.Put())) &&
            SUCCEEDED(VariantChangeType(colour.Get(), colour.Get(), 0, VT_I4))) {
            ambient = static_cast<OLE_COLOR>(V_I4(colour.Get()));
        }
        COLORREF fill = 0;
        if (FAILED(OleTranslateColor(ambient, nullptr, &fill))) fill = GetSysColor(COLOR_BTNFACE);
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(dc, &bounds, brush);
        DeleteObject(brush);
        return;
    }
    DrawBitmap(dc, bounds, logic_.Context() != nullptr ? kBitmapLoaded : kBitmapNoDictionary);
}

// --- Properties ---

STDMETHODIMP ZelBtr::get_DDFDir(BSTR* value) {
    return com::Guarded([&]() -> HRESULT { return OutText(logic_.ddfDir, value); });
}

// At run time a new directory brings a new dictionary. While the properties are being loaded
// the directory is only stored: initialisation reads it once they are all there.
STDMETHODIMP ZelBtr::put_DDFDir(BSTR value) {
    return com::Guarded([&]() -> HRESULT {
        std::string before = logic_.ddfDir;
        HRESULT hr = SetProperty(kDispDDFDir, logic_.ddfDir, Ansi(value));
        if (hr == S_OK && logic_.ddfDir != before && propertiesLoaded_ && ClientSite() &&
            ControlBase::UserMode()) {
            logic_.ApplyDictionaryDirectory();
            FireViewChange();
        }
        return hr;
    });
}

STDMETHODIMP ZelBtr::get_OwnerName(BSTR* value) {
    return com::Guarded([&]() -> HRESULT { return OutText(logic_.ownerName, value); });
}
STDMETHODIMP ZelBtr::put_OwnerName(BSTR value) {
    return com::Guarded([&]() -> HRESULT {
        return SetProperty(kDispOwnerName, logic_.ownerName, Ansi(value));
    });
}

STDMETHODIMP ZelBtr::get_OpenMode(_enumOpenMode* value) {
    return com::Guarded([&]() -> HRESULT {
        return Out(value, logic_.openMode);
    });
}

STDMETHODIMP ZelBtr::put_OpenMode(_enumOpenMode value) {
    return com::Guarded([&]() -> HRESULT {
        return SetProperty(kDispOpenMode, logic_.openMode, static_cast<int>(value));
    });
}

STDMETHODIMP ZelBtr::get_AllOpen(VARIANT_BOOL* value) {
    return com::Guarded([&]() -> HRESULT {
        return Out(value, logic_.allOpen ? VARIANT_TRUE : VARIANT_FALSE);
    });
}

STDMETHODIMP ZelBtr::put_AllOpen(VARIANT_BOOL value) {
    return com::Guarded([&]() -> HRESULT {
        return SetProperty(kDispAllOpen, logic_.allOpen, value != VARIANT_FALSE);
    });
}

STDMETHODIMP ZelBtr::get_DistName(BSTR* value) {
    return com::Guarded([&]() -> HRESULT { return OutText(logic_.distName, value); });
}
STDMETHODIMP ZelBtr::put_DistName(BSTR value) {
    return com::Guarded([&]() -> HRESULT {
        return SetProperty(kDispDistName, logic_.distName, Ansi(value));
    });
}

STDMETHODIMP ZelBtr::get_CacheDDF(VARIANT_BOOL* value) {
    return com::Guarded([&]() -> HRESULT {
        return Out(value, logic_.cacheDdf ? VARIANT_TRUE : VARIANT_FALSE);
    });
}

STDMETHODIMP ZelBtr::put_CacheDDF(VARIANT_BOOL value) {
    return com::Guarded([&]() -> HRESULT {
        return SetProperty(kDispCacheDDF, logic_.cacheDdf, value != VARIANT_FALSE);
    });
}

// The data control takes no focus: TabStop reads False and ignores what it is set to.
STDMETHODIMP ZelBtr::get_TabStop(VARIANT_BOOL* value) {
    return com::Guarded([&]() -> HRESULT { return Out(value, VARIANT_FALSE); });
}
STDMETHODIMP ZelBtr::put_TabStop(VARIANT_BOOL) {
    return com::Guarded([&]() -> HRESULT { return S_OK; });
}

// --- Methods ---

STDMETHODIMP ZelBtr::About() {
    return com::Guarded([&]() -> HRESULT {
        MessageBoxW(GetActiveWindow(), L"Zelmor Controls for Btrieve 3.2", L"ZelBtr",
                    MB_OK | MB_ICONINFORMATION);
        return S_OK;
    });
}

STDMETHODIMP ZelBtr::DbOpen(BSTR table, short* rc) {
    return com::Guarded([&]() -> HRESULT { return Out(rc, logic_.DbOpen(Ansi(table))); });
}

STDMETHODIMP ZelBtr::DbClose(BSTR table, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        return Out(rc, logic_.DbClose(Ansi(table)));
    });
}

// Does nothing: rc keeps what the caller put in it.
STDMETHODIMP ZelBtr::GetUseCount(short* rc) {
    return com::Guarded([&]() -> HRESULT { return rc == nullptr ? E_POINTER : S_OK; });
}

STDMETHODIMP ZelBtr::DbIsOpen(BSTR table, BOOL* open) {
    return com::Guarded([&]() -> HRESULT {
        return Out(open, logic_.DbIsOpen(Ansi(table)) ? TRUE : FALSE);
    });
}

STDMETHODIMP ZelBtr::DbGetFieldData(BSTR table, BSTR field, BSTR* data) {
    return com::Guarded([&]() -> HRESULT {
        return OutText(logic_.DbGetFieldData(Ansi(table), Ansi(field)), data);
    });
}

STDMETHODIMP ZelBtr::DbSetFieldData(BSTR table, BSTR field, BSTR value, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        return Out(rc, logic_.DbSetFieldData(Ansi(table), Ansi(field), Ansi(value)));
    });
}

STDMETHODIMP ZelBtr::DbAccess(short operation, BSTR table, BSTR index, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        return Out(rc, logic_.DbAccess(operation, Ansi(table), Ansi(index)));
    });
}

STDMETHODIMP ZelBtr::DbTransferToControl(BSTR table, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        return Out(rc, logic_.DbTransferToControl(Ansi(table)));
    });
}

STDMETHODIMP ZelBtr::DbTransferFromControl(BSTR table, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        return Out(rc, logic_.DbTransferFromControl(Ansi(table)));
    });
}

STDMETHODIMP ZelBtr::DbBeginTransaction(short lockBias, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        return Out(rc, zelmor::DbBeginTransaction(lockBias));
    });
}

STDMETHODIMP ZelBtr::DbEndTransaction(short* rc) {
    return com::Guarded([&]() -> HRESULT { return Out(rc, zelmor::DbEndTransaction()); });
}

STDMETHODIMP ZelBtr::DbAbortTransaction(short* rc) {
    return com::Guarded([&]() -> HRESULT {
        return Out(rc, zelmor::DbAbortTransaction());
    });
}

STDMETHODIMP ZelBtr::DbBeginConCurTransaction(short lockBias, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        return Out(rc, zelmor::DbBeginConCurTransaction(lockBias));
    });
}

STDMETHODIMP ZelBtr::DbClearControlData(BSTR table, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        return Out(rc, logic_.DbClearControlData(Ansi(table)));
    });
}

STDMETHODIMP ZelBtr::DbUnlock(BSTR table, short unlockType, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        return Out(rc, logic_.DbUnlock(Ansi(table), unlockType));
    });
}

STDMETHODIMP ZelBtr::DbGetPosition(BSTR table, long* position) {
    return com::Guarded([&]() -> HRESULT {
        return Out(position, logic_.DbGetPosition(Ansi(table)));
    });
}

STDMETHODIMP ZelBtr::DbGetDirect(BSTR table, long position, BSTR index, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        return Out(rc, logic_.DbGetDirect(Ansi(table), position, Ansi(index)));
    });
}

STDMETHODIMP ZelBtr::DbGetDataSize(BSTR table, BSTR field, short* size) {
    return com::Guarded([&]() -> HRESULT {
        return Out(size, logic_.DbGetDataSize(Ansi(table), Ansi(field)));
    });
}

STDMETHODIMP ZelBtr::DbGetDataType(BSTR table, BSTR field, short* type) {
    return com::Guarded([&]() -> HRESULT {
        return Out(type, logic_.DbGetDataType(Ansi(table), Ansi(field)));
    });
}

STDMETHODIMP ZelBtr::DbGetByPercentage(BSTR table, BSTR key, short percentage, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        return Out(rc, logic_.DbGetByPercentage(Ansi(table), Ansi(key),
                                                static_cast<std::uint16_t>(percentage)));
    });
}

STDMETHODIMP ZelBtr::DbFindPercentage(BSTR table, BSTR key, long position, short* percentage,
                                      short* rc) {
    return com::Guarded([&]() -> HRESULT {
        int found = 0;
        int status = logic_.DbFindPercentage(Ansi(table), Ansi(key), position, found);
        if (percentage != nullptr && status == 0) *percentage = static_cast<short>(found);
        return Out(rc, status);
    });
}

STDMETHODIMP ZelBtr::DbExGetFieldData(short resultId, BSTR field, short record, BSTR* data) {
    return com::Guarded([&]() -> HRESULT {
        return OutText(logic_.DbExGetFieldData(resultId, Ansi(field), record), data);
    });
}

STDMETHODIMP ZelBtr::DbExGetPosition(short resultId, short record, long* position) {
    return com::Guarded([&]() -> HRESULT {
        return Out(position, logic_.DbExGetPosition(resultId, record));
    });
}

STDMETHODIMP ZelBtr::DbExFree(short resultId) {
    return com::Guarded([&]() -> HRESULT {
        logic_.DbExFree(resultId);
        return S_OK;
    });
}

STDMETHODIMP ZelBtr::DbExAccess(short operation, BSTR table, BSTR condition, BSTR fields,
                                BSTR key, short skip, short maxRecords, VARIANT_BOOL ignoreCase,
                                short* resultId, long* count, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        int id = -1, records = 0;
        int status = logic_.DbExAccess(operation, Ansi(table), Ansi(condition), Ansi(fields),
                                       Ansi(key), static_cast<std::uint16_t>(skip),
                                       static_cast<std::uint16_t>(maxRecords),
                                       ignoreCase != VARIANT_FALSE, id, records);
        if (id >= 0) {
            if (resultId != nullptr) *resultId = static_cast<short>(id);
            if (count != nullptr) *count = records;
        }
        return Out(rc, status);
    });
}

STDMETHODIMP ZelBtr::DbCreate(BSTR table, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        return Out(rc, logic_.DbCreate(Ansi(table)));
    });
}

STDMETHODIMP ZelBtr::DbGetNumOfRecords(BSTR table, long* count, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        std::int32_t records = 0;
        int status = logic_.DbGetNumOfRecords(Ansi(table), records);
        if (count != nullptr && status == 0) *count = records;
        return Out(rc, status);
    });
}

STDMETHODIMP ZelBtr::DbExSetMode(BSTR mode, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        return Out(rc, logic_.DbExSetMode(Ansi(mode)));
    });
}

STDMETHODIMP ZelBtr::DbSetFileName(BSTR table, BSTR fileName, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        return Out(rc, logic_.DbSetFileName(Ansi(table), Ansi(fileName)));
    });
}

STDMETHODIMP ZelBtr::DbClearFieldBuffer(BSTR table, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        return Out(rc, logic_.DbClearFieldBuffer(Ansi(table)));
    });
}

STDMETHODIMP ZelBtr::DbGetFieldDataByID(short tableId, short fieldId, BSTR* data) {
    return com::Guarded([&]() -> HRESULT {
        return OutText(logic_.DbGetFieldDataByID(tableId, fieldId), data);
    });
}

STDMETHODIMP ZelBtr::DbSetFieldDataByID(short tableId, short fieldId, BSTR value, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        return Out(rc, logic_.DbSetFieldDataByID(tableId, fieldId, Ansi(value)));
    });
}

STDMETHODIMP ZelBtr::DbGetRecord(BSTR table, VARIANT* array, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        return Out(rc, GetRecordIntoArray(logic_, Ansi(table), array));
    });
}

STDMETHODIMP ZelBtr::DbSetRecord(BSTR table, VARIANT* array, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        return Out(rc, SetRecordFromArray(logic_, Ansi(table), array));
    });
}

STDMETHODIMP ZelBtr::DbOpenAll(short* rc) {
    return com::Guarded([&]() -> HRESULT { return Out(rc, logic_.DbOpenAll()); });
}
STDMETHODIMP ZelBtr::DbCloseAll(short* rc) {
    return com::Guarded([&]() -> HRESULT { return Out(rc, logic_.DbCloseAll()); });
}
STDMETHODIMP ZelBtr::DbLoadDDF(short* rc) {
    return com::Guarded([&]() -> HRESULT { return Out(rc, logic_.DbLoadDDF()); });
}
STDMETHODIMP ZelBtr::DbReset(short* rc) {
    return com::Guarded([&]() -> HRESULT { return Out(rc, logic_.DbReset()); });
}

STDMETHODIMP ZelBtr::DbGetRecordLength(BSTR table, short* length, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        std::int32_t value = 0;
        int status = logic_.DbGetRecordLength(Ansi(table), value);
        if (length != nullptr && status == 0) *length = static_cast<short>(value);
        return Out(rc, status);
    });
}

STDMETHODIMP ZelBtr::DbGetRecordImage(BSTR table, VARIANT* bytes, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        return Out(rc, GetRecordImageIntoArray(logic_, Ansi(table), bytes));
    });
}

STDMETHODIMP ZelBtr::DbSetRecordImage(BSTR table, VARIANT* bytes, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        return Out(rc, SetRecordImageFromArray(logic_, Ansi(table), bytes));
    });
}

STDMETHODIMP ZelBtr::DbGetPosBlock(BSTR table, VARIANT* bytes, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        return Out(rc, GetPositionBlockIntoArray(logic_, Ansi(table), bytes));
    });
}

STDMETHODIMP ZelBtr::DbAccessByID(short operation, short tableId, short indexId, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        return Out(rc, logic_.DbAccessByID(operation, tableId, indexId));
    });
}

// The record manager lives inside this library, so its module is this library's file.
STDMETHODIMP ZelBtr::DbGetModulePath(BSTR* path, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        if (path == nullptr || rc == nullptr) return E_POINTER;
        const std::wstring module = com::ModulePath();
        if (module.empty()) {
            *path = nullptr;
            *rc = -1;
            return S_OK;
        }
        HRESULT hr = com::CopyToOut(module, path);
        if (FAILED(hr)) return hr;
        *rc = 0;
        return S_OK;
    });
}

STDMETHODIMP ZelBtr::DbSetLockBias(short lockBias, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        return Out(rc, logic_.DbSetLockBias(lockBias));
    });
}

STDMETHODIMP ZelBtr::DbGetNumOfTable(short* count, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        std::int32_t value = 0;
        int status = logic_.DbGetNumOfTable(value);
        if (count != nullptr && status == 0) *count = static_cast<short>(value);
        return Out(rc, status);
    });
}

STDMETHODIMP ZelBtr::DbGetNumOfField(BSTR table, short* count, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        std::int32_t value = 0;
        int status = logic_.DbGetNumOfField(Ansi(table), value);
        if (count != nullptr && status == 0) *count = static_cast<short>(value);
        return Out(rc, status);
    });
}

STDMETHODIMP ZelBtr::DbGetTableName(short tableId, BSTR* name, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        std::string text;
        int status = logic_.DbGetTableName(tableId, text);
        return OutNameAndRc(text, status, name, rc);
    });
}

STDMETHODIMP ZelBtr::DbGetFieldName(BSTR table, short fieldId, BSTR* name, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        std::string text;
        int status = logic_.DbGetFieldName(Ansi(table), fieldId, text);
        return OutNameAndRc(text, status, name, rc);
    });
}

STDMETHODIMP ZelBtr::DbGetNumOfIndex(BSTR table, short* count, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        std::int32_t value = 0;
        int status = logic_.DbGetNumOfIndex(Ansi(table), value);
        if (count != nullptr && status == 0) *count = static_cast<short>(value);
        return Out(rc, status);
    });
}

STDMETHODIMP ZelBtr::DbGetIndexName(BSTR table, short indexId, BSTR* name, short* rc) {
    return com::Guarded([&]() -> HRESULT {
        std::string text;
        int status = logic_.DbGetIndexName(Ansi(table), indexId, text);
        return OutNameAndRc(text, status, name, rc);
    });
}

STDMETHODIMP ZelBtr::DbIsNull(BSTR table, BSTR field, BOOL* isNull) {
    return com::Guarded([&]() -> HRESULT {
        return Out(isNull, logic_.DbIsNull(Ansi(table), Ansi(field)) ? TRUE : FALSE);
    });
}

HRESULT CreateZelBtr(REFIID iid, void** out) { return com::CreateInstance<ZelBtr>(iid, out); }

}  // namespace zelmor
