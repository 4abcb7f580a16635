// The data control's behaviour, apart from its COM object: the dictionary it loads (or copies
// from another data control of the same directory), the tables it opens, and every method of
// its interface with its result codes, the BtrieveError event and its messages. The COM class
// adds properties, persistence, painting and the automation types around it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "binding/BoundControl.h"
#include "core/Dictionary.h"

namespace zelmor {

class BindingRegistry;

// What the data control asks of its host (the COM side, or a test).
class DataControlHost {
public:
    virtual ~DataControlHost() = default;
    virtual WindowHandle FormWindow() = 0;
    virtual std::u16string DisplayName() = 0;
    virtual bool UserMode() = 0;
    // Raises BtrieveError(table, status); gives the status as the handler left it.
    virtual int RaiseBtrieveError(const std::string& tableName, int status) = 0;
    // The form's name and window handle through the host's object model.
    virtual int QueryFormName(std::string& formName) = 0;
    virtual int QueryFormHandle(WindowHandle& formWindow) = 0;
};

class DataControl : public DataSource {
public:
    DataControl(DataControlHost& host, BindingRegistry& registry);
    ~DataControl() override;

    // Persisted properties (text in the ANSI code page).
    std::string ddfDir;
    std::string ownerName;
    int openMode = 0;
    bool allOpen = true;
    std::string distName;
    bool cacheDdf = true;

    // The siting steps, run until they complete once.
    void Initialize();
    bool Initialized() const { return initialized_; }
    // DDFDir assigned while in run mode: the dictionary is obtained afresh.
    void ApplyDictionaryDirectory();
    // The window goes away: tables closed, dictionary released, registration removed.
    void Shutdown();

    // BoundControl / DataSource
    std::u16string GetDisplayName() override;
    WindowHandle GetFormWindow() override;
    FormContext* Context() override { return context_.get(); }
    std::string DictionaryDirectory() override { return ddfDir; }
    std::string OwnerName() override { return ownerName; }
    int OpenMode() override { return openMode; }
    int QueryFormName(std::string& formName) override { return host_.QueryFormName(formName); }
    int QueryFormHandle(WindowHandle& formWindow) override {
        return host_.QueryFormHandle(formWindow);
    }

    // Methods. Unless noted: -20 without a dictionary, -4 for a table not in it, -3 when the
    // table must be open and is not.
    int DbOpen(const std::string& table);
    int DbClose(const std::string& table);
    bool DbIsOpen(const std::string& table);
    std::string DbGetFieldData(const std::string& table, const std::string& field);
    int DbSetFieldData(const std::string& table, const std::string& field, const std::string& value);
    int DbAccess(int operation, const std::string& table, const std::string& index);
    int DbTransferToControl(const std::string& table);
    int DbTransferFromControl(const std::string& table);
    int DbClearControlData(const std::string& table);
    int DbUnlock(const std::string& table, int unlockType);
    std::int32_t DbGetPosition(const std::string& table);
    int DbGetDirect(const std::string& table, std::int32_t position, const std::string& index);
    int DbGetDataSize(const std::string& table, const std::string& field);
    int DbGetDataType(const std::string& table, const std::string& field);
    int DbGetByPercentage(const std::string& table, const std::string& key, int percentage);
    int DbFindPercentage(const std::string& table, const std::string& key, std::int32_t position,
                         int& percentage);
    std::string DbExGetFieldData(int resultId, const std::string& field, int recordIndex);
    std::int32_t DbExGetPosition(int resultId, int recordIndex);
    void DbExFree(int resultId);
    int DbExAccess(int operation, const std::string& table, const std::string& condition,
                   const std::string& fields, const std::string& key, int skip, int maxRecords,
                   bool ignoreCase, int& resultId, int& count);
    int DbCreate(const std::string& table);
    int DbGetNumOfRecords(const std::string& table, std::int32_t& count);
    int DbExSetMode(const std::string& mode);
    int DbSetFileName(const std::string& table, const std::string& fileName);
    int DbClearFieldBuffer(const std::string& table);
    std::string DbGetFieldDataByID(int tableId, int fieldId);
    int DbSetFieldDataByID(int tableId, int fieldId, const std::string& value);
    int DbGetRecord(const std::string& table, int lowerBound, int upperBound,
                    std::vector<std::string>& texts);
    int DbSetRecord(const std::string& table, int lowerBound, const std::vector<std::string>& texts);
    int DbOpenAll();
    int DbCloseAll();
    int DbLoadDDF();
    int DbReset();
    int DbGetRecordLength(const std::string& table, std::int32_t& length);
    int DbGetRecordImage(const std::string& table, std::vector<std::uint8_t>& image);
    int DbSetRecordImage(const std::string& table, const std::vector<std::uint8_t>& image);
    int DbGetPosBlock(const std::string& table, std::vector<std::uint8_t>& block);
    int DbAccessByID(int operation, int tableId, int indexId);
    int DbSetLockBias(int bias);
    int DbGetNumOfTable(std::int32_t& count);
    int DbGetNumOfField(const std::string& table, std::int32_t& count);
    int DbGetTableName(int tableId, std::string& name);
    int DbGetFieldName(const std::string& table, int fieldId, std::string& name);
    int DbGetNumOfIndex(const std::string& table, std::int32_t& count);
    int DbGetIndexName(const std::string& table, int indexId, std::string& name);
    bool DbIsNull(const std::string& table, const std::string& field);

private:
    // The table by name, or the result code that says why there is none.
    int Find(const std::string& name, TableDef*& table);
    int FindOpen(const std::string& name, TableDef*& table);
    // Raises BtrieveError and shows VE803 unless the handler cleared the status.
    // The name is a copy: the handler may reload the dictionary that held it.
    void ReportOpenFailure(std::string table, int status);
    void ObtainDictionary();
    void ReleaseDictionary();

    DataControlHost& host_;
    BindingRegistry& registry_;
    std::unique_ptr<FormContext> context_;
    bool initialized_ = false;
};

}  // namespace zelmor
