// The data control as a COM object (coclass ZelmorDb, interface IZelBtr, events
// _DZelBtrEvents): properties with the setter protocol and persistence, siting and window
// lifetime, painting, and every method, each turning automation strings and arrays into the
// data control's terms and its result into the trailing out-parameter.
#pragma once

#ifdef _WIN32

#include "com/Control.h"
#include "datacontrol/DataControl.h"
#include "module/zelmor.h"

namespace zelmor {

class ZelBtr : public com::Control<IZelBtr> {
public:
    ZelBtr();

    // Properties
    STDMETHODIMP get_DDFDir(BSTR* value) override;
    STDMETHODIMP put_DDFDir(BSTR value) override;
    STDMETHODIMP get_OwnerName(BSTR* value) override;
    STDMETHODIMP put_OwnerName(BSTR value) override;
    STDMETHODIMP get_OpenMode(_enumOpenMode* value) override;
    STDMETHODIMP put_OpenMode(_enumOpenMode value) override;
    STDMETHODIMP get_AllOpen(VARIANT_BOOL* value) override;
    STDMETHODIMP put_AllOpen(VARIANT_BOOL value) override;
    STDMETHODIMP get_DistName(BSTR* value) override;
    STDMETHODIMP put_DistName(BSTR value) override;
    STDMETHODIMP get_CacheDDF(VARIANT_BOOL* value) override;
    STDMETHODIMP put_CacheDDF(VARIANT_BOOL value) override;
    STDMETHODIMP get_TabStop(VARIANT_BOOL* value) override;
    STDMETHODIMP put_TabStop(VARIANT_BOOL value) override;

    // Methods
    STDMETHODIMP About() override;
    STDMETHODIMP DbOpen(BSTR table, short* rc) override;
    STDMETHODIMP DbClose(BSTR table, short* rc) override;
    STDMETHODIMP GetUseCount(short* rc) override;
    STDMETHODIMP DbIsOpen(BSTR table, BOOL* open) override;
    STDMETHODIMP DbGetFieldData(BSTR table, BSTR field, BSTR* data) override;
    STDMETHODIMP DbSetFieldData(BSTR table, BSTR field, BSTR value, short* rc) override;
    STDMETHODIMP DbAccess(short operation, BSTR table, BSTR index, short* rc) override;
    STDMETHODIMP DbTransferToControl(BSTR table, short* rc) override;
    STDMETHODIMP DbTransferFromControl(BSTR table, short* rc) override;
    STDMETHODIMP DbBeginTransaction(short lockBias, short* rc) override;
    STDMETHODIMP DbEndTransaction(short* rc) override;
    STDMETHODIMP DbAbortTransaction(short* rc) override;
    STDMETHODIMP DbBeginConCurTransaction(short lockBias, short* rc) override;
    STDMETHODIMP DbClearControlData(BSTR table, short* rc) override;
    STDMETHODIMP DbUnlock(BSTR table, short unlockType, short* rc) override;
    STDMETHODIMP DbGetPosition(BSTR table, long* position) override;
    STDMETHODIMP DbGetDirect(BSTR table, long position, BSTR index, short* rc) override;
    STDMETHODIMP DbGetDataSize(BSTR table, BSTR field, short* size) override;
    STDMETHODIMP DbGetDataType(BSTR table, BSTR field, short* type) override;
    STDMETHODIMP DbGetByPercentage(BSTR table, BSTR key, short percentage, short* rc) override;
    STDMETHODIMP DbFindPercentage(BSTR table, BSTR key, long position, short* percentage,
                                  short* rc) override;
    STDMETHODIMP DbExGetFieldData(short resultId, BSTR field, short record, BSTR* data) override;
    STDMETHODIMP DbExGetPosition(short resultId, short record, long* position) override;
    STDMETHODIMP DbExFree(short resultId) override;
    STDMETHODIMP DbExAccess(short operation, BSTR table, BSTR condition, BSTR fields, BSTR key,
                            short skip, short maxRecords, VARIANT_BOOL ignoreCase,
                            short* resultId, long* count, short* rc) override;
    STDMETHODIMP DbCreate(BSTR table, short* rc) override;
    STDMETHODIMP DbGetNumOfRecords(BSTR table, long* count, short* rc) override;
    STDMETHODIMP DbExSetMode(BSTR mode, short* rc) override;
    STDMETHODIMP DbSetFileName(BSTR table, BSTR fileName, short* rc) override;
    STDMETHODIMP DbClearFieldBuffer(BSTR table, short* rc) override;
    STDMETHODIMP DbGetFieldDataByID(short tableId, short fieldId, BSTR* data) override;
    STDMETHODIMP DbSetFieldDataByID(short tableId, short fieldId, BSTR value, short* rc) override;
    STDMETHODIMP DbGetRecord(BSTR table, VARIANT* array, short* rc) override;
    STDMETHODIMP DbSetRecord(BSTR table, VARIANT* array, short* rc) override;
    STDMETHODIMP DbOpenAll(short* rc) override;
    STDMETHODIMP DbCloseAll(short* rc) override;
    STDMETHODIMP DbLoadDDF(short* rc) override;
    STDMETHODIMP DbReset(short* rc) override;
    STDMETHODIMP DbGetRecordLength(BSTR table, short* length, short* rc) override;
    STDMETHODIMP DbGetRecordImage(BSTR table, VARIANT* bytes, short* rc) override;
    STDMETHODIMP DbSetRecordImage(BSTR table, VARIANT* bytes, short* rc) override;
    STDMETHODIMP DbGetPosBlock(BSTR table, VARIANT* bytes, short* rc) override;
    STDMETHODIMP DbAccessByID(short operation, short tableId, short indexId, short* rc) override;
    STDMETHODIMP DbGetModulePath(BSTR* path, short* rc) override;
    STDMETHODIMP DbSetLockBias(short lockBias, short* rc) override;
    STDMETHODIMP DbGetNumOfTable(short* count, short* rc) override;
    STDMETHODIMP DbGetNumOfField(BSTR table, short* count, short* rc) override;
    STDMETHODIMP DbGetTableName(short tableId, BSTR* name, short* rc) override;
    STDMETHODIMP DbGetFieldName(BSTR table, short fieldId, BSTR* name, short* rc) override;
    STDMETHODIMP DbGetNumOfIndex(BSTR table, short* count, short* rc) override;
    STDMETHODIMP DbGetIndexName(BSTR table, short indexId, BSTR* name, short* rc) override;
    STDMETHODIMP DbIsNull(BSTR table, BSTR field, BOOL* isNull) override;

    // The behaviour behind the COM object (tests reach it).
    DataControl& Logic() { return logic_; }

protected:
    void OnClientSiteSet() override;
    void OnPropertiesLoaded() override;
    void OnDraw(HDC dc, const RECT& bounds) override;
    void OnWindowDestroying() override;
    void FinalRelease() override;

private:
    // What the data control asks of its host, answered through this object's site.
    class Host : public DataControlHost {
    public:
        explicit Host(ZelBtr& owner) : owner_(owner) {}
        WindowHandle FormWindow() override;
        std::u16string DisplayName() override;
        bool UserMode() override;
        int RaiseBtrieveError(const std::string& tableName, int status) override;
        int QueryFormName(std::string& formName) override;
        int QueryFormHandle(WindowHandle& formWindow) override;

    private:
        ZelBtr& owner_;
    };

    Host host_;
    DataControl logic_;
    bool propertiesLoaded_ = false;
};

HRESULT CreateZelBtr(REFIID iid, void** out);

}  // namespace zelmor

#endif
