#include "datacontrol/DataControl.h"

#include "binding/BindingRegistry.h"
#include "binding/Transfers.h"
#include "core/DbManager.h"
#include "core/DictionaryLoader.h"
#include "core/FieldAccess.h"
#include "messages/Messages.h"
#include "core/RecordOperations.h"
#include "core/TableFiles.h"
#include "core/recordmanager/RecordManager.h"
#include "extended/ResultSets.h"
#include "platform/CodePage.h"
#include "platform/Platform.h"
#include "values/GlobalOptions.h"

namespace zelmor {

namespace {
constexpr std::size_t kDistNameValueCapacity = 260;  // 259 characters and the terminator
}

DataControl::DataControl(DataControlHost& host, BindingRegistry& registry)
    : host_(host), registry_(registry) {}

// The final release closes and releases a dictionary that is still there, and the registry
// must not keep a pointer to an object that is gone.
DataControl::~DataControl() {
    ReleaseDictionary();
    registry_.UnregisterDataSource(*this);
}

std::u16string DataControl::GetDisplayName() { return host_.DisplayName(); }

WindowHandle DataControl::GetFormWindow() { return host_.FormWindow(); }

void DataControl::Initialize() {
    if (initialized_) return;
    WindowHandle form = host_.FormWindow();
    if (form == 0) return;
    std::u16string name = host_.DisplayName();
    bool runMode = host_.UserMode();
    if (runMode && !distName.empty()) {
        std::string value = platform::CurrentPlatform().ReadProfileString(
            kProfileFile, distName, platform::Utf16ToAnsi(name), "", kDistNameValueCapacity);
        if (!value.empty()) ddfDir = value;
    }
    if (ddfDir.empty()) return;
    if (name.empty()) {
        ShowMessage(VE814);
        return;
    }
    registry_.RegisterDataSource(*this);
    ObtainDictionary();
    if (runMode && context_) {
        int status = 0;
        if (allOpen) {
            for (TableDef& table : context_->tables) {
                status = OpenTableCreatingFile(*context_, table, ownerName, openMode);
                if (status != 0) break;
            }
        }
        if (status == 0) registry_.NotifySourceReady(platform::Utf16ToAnsi(name), form);
    }
    initialized_ = true;
}

// A dictionary obtained before (DDFDir set at run time before the control was sited) is
// released with its tables closed first.
void DataControl::ObtainDictionary() {
    ReleaseDictionary();
    if (cacheDdf) {
        DataSource* other = nullptr;
        if (registry_.FindDataSourceByDictionary(ddfDir, other) == lookup::kFound &&
            other != this) {
            context_ = CopyFormContext(*other->Context());
            if (context_) return;
        }
    }
    // A delayed load reports its own failures.
    bool delayed = Options().DelayedResolve();
    int status = LoadDictionary(ddfDir, context_);
    if (status != 0 && !delayed) ShowMessage(VE028, status);
}

// Tables still open are closed first: releasing the dictionary with them open would leave the
// record manager's files open behind position blocks that no longer exist.
void DataControl::ReleaseDictionary() {
    if (!context_) return;
    CloseAllTables(*context_);
    context_.reset();
}

void DataControl::ApplyDictionaryDirectory() {
    ReleaseDictionary();
    if (!ddfDir.empty()) {
        DataSource* other = nullptr;
        if (cacheDdf &&
            registry_.FindDataSourceByDictionary(ddfDir, other) == lookup::kFound &&
            other != this) {
            context_ = CopyFormContext(*other->Context());
        }
        if (!context_) {
            Options().ClearDelayedResolve();
            int status = LoadDictionaryFull(ddfDir, context_);
            if (status != 0) ShowMessage(VE028, status);
        }
    }
    registry_.RegisterDataSource(*this);
}

void DataControl::Shutdown() {
    ReleaseDictionary();
    registry_.UnregisterDataSource(*this);
    initialized_ = false;
}

int DataControl::Find(const std::string& name, TableDef*& table) {
    if (!context_) return rc::kNoDictionary;
    table = context_->TableByName(name);
    return table == nullptr ? rc::kNoSuchTable : 0;
}

int DataControl::FindOpen(const std::string& name, TableDef*& table) {
    int status = Find(name, table);
    if (status == 0 && !table->open) return rc::kNotOpen;
    return status;
}

void DataControl::ReportOpenFailure(std::string table, int status) {
    if (host_.RaiseBtrieveError(table, status) != 0) ShowMessage(VE803, table.c_str(), status);
}

int DataControl::DbOpen(const std::string& name) {
    TableDef* table;
    int status = Find(name, table);
    if (status != 0) return status;
    if (table->open) return rc::kAlreadyOpen;
    status = OpenTable(*context_, *table, ownerName, openMode);
    if (status != 0) ReportOpenFailure(name, status);
    return status;
}

int DataControl::DbClose(const std::string& name) {
    TableDef* table;
    int status = FindOpen(name, table);
    return status != 0 ? status : CloseTable(*table);
}

bool DataControl::DbIsOpen(const std::string& name) {
    TableDef* table;
    return Find(name, table) == 0 && table->open;
}

std::string DataControl::DbGetFieldData(const std::string& name, const std::string& field) {
    TableDef* table;
    return Find(name, table) == 0 ? zelmor::DbGetFieldData(*table, field) : std::string();
}

int DataControl::DbSetFieldData(const std::string& name, const std::string& field,
                                const std::string& value) {
    TableDef* table;
    int status = Find(name, table);
    return status != 0 ? status : zelmor::DbSetFieldData(*table, field, value);
}

int DataControl::DbAccess(int operation, const std::string& name, const std::string& index) {
    TableDef* table;
    int status = FindOpen(name, table);
    return status != 0 ? status : zelmor::DbAccess(*table, operation, index);
}

int DataControl::DbTransferToControl(const std::string& name) {
    TableDef* table;
    int status = FindOpen(name, table);
    return status != 0 ? status : TransferToControls(registry_, *this, *table);
}

int DataControl::DbTransferFromControl(const std::string& name) {
    TableDef* table;
    int status = FindOpen(name, table);
    return status != 0 ? status : TransferFromControls(registry_, *this, *table);
}

int DataControl::DbClearControlData(const std::string& name) {
    TableDef* table;
    int status = FindOpen(name, table);
    return status != 0 ? status : ClearControls(registry_, *this, *table);
}

int DataControl::DbUnlock(const std::string& name, int unlockType) {
    TableDef* table;
    int status = FindOpen(name, table);
    return status != 0 ? status : zelmor::DbUnlock(*table, unlockType);
}

std::int32_t DataControl::DbGetPosition(const std::string& name) {
    TableDef* table;
    return FindOpen(name, table) == 0 ? zelmor::DbGetPosition(*table) : -1;
}

int DataControl::DbGetDirect(const std::string& name, std::int32_t position,
                             const std::string& index) {
    TableDef* table;
    int status = FindOpen(name, table);
    return status != 0 ? status
                       : zelmor::DbGetDirect(*table, static_cast<std::uint32_t>(position), index);
}

int DataControl::DbGetDataSize(const std::string& name, const std::string& field) {
    TableDef* table;
    int status = Find(name, table);
    return status != 0 ? status : zelmor::DbGetDataSize(*table, field);
}

int DataControl::DbGetDataType(const std::string& name, const std::string& field) {
    TableDef* table;
    int status = Find(name, table);
    return status != 0 ? status : zelmor::DbGetDataType(*table, field);
}

int DataControl::DbGetByPercentage(const std::string& name, const std::string& key,
                                   int percentage) {
    TableDef* table;
    int status = FindOpen(name, table);
    return status != 0 ? status : zelmor::DbGetByPercentage(*table, key, percentage);
}

int DataControl::DbFindPercentage(const std::string& name, const std::string& key,
                                  std::int32_t position, int& percentage) {
    TableDef* table;
    int status = FindOpen(name, table);
    return status != 0 ? status
                       : zelmor::DbFindPercentage(*table, key, static_cast<std::uint32_t>(position),
                                                  percentage);
}

std::string DataControl::DbExGetFieldData(int resultId, const std::string& field,
                                          int recordIndex) {
    return context_ ? zelmor::DbExGetFieldData(resultId, field, recordIndex) : std::string();
}

std::int32_t DataControl::DbExGetPosition(int resultId, int recordIndex) {
    return context_ ? zelmor::DbExGetPosition(resultId, recordIndex) : -1;
}

void DataControl::DbExFree(int resultId) { zelmor::DbExFree(resultId); }

int DataControl::DbExAccess(int operation, const std::string& name, const std::string& condition,
                            const std::string& fields, const std::string& key, int skip,
                            int maxRecords, bool ignoreCase, int& resultId, int& count) {
    TableDef* table;
    int status = FindOpen(name, table);
    if (status != 0) return status;
    int segment = FindKeyByName(*table, key);
    if (segment < 0) return rc::kNoSuchKey;
    return zelmor::DbExAccess(*table, operation, condition, fields, segment, skip, maxRecords,
                              ignoreCase, resultId, count);
}

int DataControl::DbCreate(const std::string& name) {
    TableDef* table;
    int status = Find(name, table);
    if (status != 0) return status;
    if (table->open) return rc::kAlreadyOpen;
    status = CreateTableFile(*context_, *table);
    if (status != 0) host_.RaiseBtrieveError(name, status);
    return status;
}

int DataControl::DbGetNumOfRecords(const std::string& name, std::int32_t& count) {
    TableDef* table;
    int status = FindOpen(name, table);
    if (status != 0) return status;
    std::uint32_t records = 0;
    status = zelmor::DbGetNumOfRecords(*table, records);
    if (status == 0) count = static_cast<std::int32_t>(records);
    return status;
}

int DataControl::DbExSetMode(const std::string& mode) { return zelmor::DbExSetMode(mode); }

int DataControl::DbSetFileName(const std::string& name, const std::string& fileName) {
    TableDef* table;
    int status = Find(name, table);
    return status != 0 ? status : SetTableLocation(*table, fileName);
}

int DataControl::DbClearFieldBuffer(const std::string& name) {
    TableDef* table;
    int status = Find(name, table);
    return status != 0 ? status : zelmor::DbClearFieldBuffer(*table);
}

std::string DataControl::DbGetFieldDataByID(int tableId, int fieldId) {
    if (!context_ || tableId < 0 || static_cast<std::size_t>(tableId) >= context_->tables.size()) {
        return {};
    }
    return zelmor::DbGetFieldDataByID(context_->tables[static_cast<std::size_t>(tableId)],
                                      fieldId);
}

int DataControl::DbSetFieldDataByID(int tableId, int fieldId, const std::string& value) {
    if (!context_) return rc::kNoDictionary;
    if (tableId < 0 || static_cast<std::size_t>(tableId) >= context_->tables.size()) {
        return rc::kNoSuchTable;
    }
    return zelmor::DbSetFieldDataByID(context_->tables[static_cast<std::size_t>(tableId)],
                                      fieldId, value);
}

int DataControl::DbGetRecord(const std::string& name, int lowerBound, int upperBound,
                             std::vector<std::string>& texts) {
    TableDef* table;
    int status = Find(name, table);
    return status != 0 ? status : zelmor::DbGetRecord(*table, lowerBound, upperBound, texts);
}

int DataControl::DbSetRecord(const std::string& name, int lowerBound,
                             const std::vector<std::string>& texts) {
    TableDef* table;
    int status = Find(name, table);
    return status != 0 ? status : zelmor::DbSetRecord(*table, lowerBound, texts);
}

int DataControl::DbOpenAll() {
    if (!context_) return rc::kNoDictionary;
    for (TableDef& table : context_->tables) {
        if (table.open) continue;
        int status = OpenTable(*context_, table, ownerName, openMode);
        if (status != 0) {
            ReportOpenFailure(table.name, status);
            return status;
        }
    }
    return 0;
}

int DataControl::DbCloseAll() {
    if (!context_) return rc::kNoDictionary;
    for (TableDef& table : context_->tables) {
        if (!table.open) continue;
        int status = CloseTable(table);
        if (status != 0) {
            ReportOpenFailure(table.name, status);
            return status;
        }
    }
    return 0;
}

int DataControl::DbLoadDDF() {
    if (ddfDir.empty()) return rc::kNoDirectory;
    ReleaseDictionary();
    return LoadDictionary(ddfDir, context_);
}

int DataControl::DbReset() {
    if (context_) CloseAllTables(*context_);
    std::uint32_t length = 0;
    std::uint8_t block[kPositionBlockSize] = {};
    return CurrentRecordManager().Call(op::kReset, block, nullptr, &length, nullptr, 0, 0);
}

int DataControl::DbGetRecordLength(const std::string& name, std::int32_t& length) {
    TableDef* table;
    int status = Find(name, table);
    if (status == 0) length = table->recordLength;
    return status;
}

// A table that is not open has no record buffer to copy from or to.
int DataControl::DbGetRecordImage(const std::string& name, std::vector<std::uint8_t>& image) {
    TableDef* table;
    int status = FindOpen(name, table);
    if (status == 0) {
        zelmor::DbGetRecordImage(*table, image.data(), image.size());
    }
    return status;
}

int DataControl::DbSetRecordImage(const std::string& name,
                                  const std::vector<std::uint8_t>& image) {
    TableDef* table;
    int status = FindOpen(name, table);
    if (status == 0) zelmor::DbSetRecordImage(*table, image.data(), image.size());
    return status;
}

int DataControl::DbGetPosBlock(const std::string& name, std::vector<std::uint8_t>& block) {
    TableDef* table;
    int status = Find(name, table);
    if (status == 0) {
        block.assign(std::begin(table->positionBlock), std::end(table->positionBlock));
    }
    return status;
}

int DataControl::DbAccessByID(int operation, int tableId, int indexId) {
    if (!context_) return rc::kNoDictionary;
    if (tableId < 0 || static_cast<std::size_t>(tableId) >= context_->tables.size()) {
        return rc::kTableIdOutOfRange;
    }
    TableDef& table = context_->tables[static_cast<std::size_t>(tableId)];
    if (!table.open) return rc::kNotOpen;
    return zelmor::DbAccessByID(table, operation, indexId);
}

int DataControl::DbSetLockBias(int bias) {
    return TheDbManager().SetLockBias(bias) ? 0 : rc::kLockBiasRefused;
}

int DataControl::DbGetNumOfTable(std::int32_t& count) {
    if (!context_) return rc::kNoDictionary;
    count = static_cast<std::int32_t>(context_->tables.size());
    return 0;
}

int DataControl::DbGetNumOfField(const std::string& name, std::int32_t& count) {
    TableDef* table;
    int status = Find(name, table);
    if (status == 0) count = static_cast<std::int32_t>(table->fields.size());
    return status;
}

int DataControl::DbGetTableName(int tableId, std::string& name) {
    if (!context_) return rc::kNoDictionary;
    if (tableId < 0 || static_cast<std::size_t>(tableId) >= context_->tables.size()) {
        return rc::kNoSuchTable;
    }
    name = context_->tables[static_cast<std::size_t>(tableId)].name;
    return 0;
}

int DataControl::DbGetFieldName(const std::string& tableName, int fieldId, std::string& name) {
    TableDef* table;
    int status = Find(tableName, table);
    if (status != 0) return status;
    if (fieldId < 0 || static_cast<std::size_t>(fieldId) >= table->fields.size()) {
        return rc::kFieldIdOutOfRange;
    }
    name = table->fields[static_cast<std::size_t>(fieldId)].name;
    return 0;
}

int DataControl::DbGetNumOfIndex(const std::string& name, std::int32_t& count) {
    TableDef* table;
    int status = Find(name, table);
    if (status == 0) count = static_cast<std::int32_t>(table->segments.size());
    return status;
}

int DataControl::DbGetIndexName(const std::string& tableName, int indexId, std::string& name) {
    TableDef* table;
    int status = Find(tableName, table);
    if (status != 0) return status;
    if (indexId < 0 || static_cast<std::size_t>(indexId) >= table->segments.size()) {
        return rc::kIndexIdOutOfRange;
    }
    const FieldDef* field = table->FieldById(table->segments[static_cast<std::size_t>(indexId)].fieldId);
    if (field == nullptr) return rc::kNoSuchTable;
    name = field->name;
    return 0;
}

bool DataControl::DbIsNull(const std::string& name, const std::string& field) {
    TableDef* table;
    return Find(name, table) == 0 && zelmor::DbIsNull(*table, field);
}

}  // namespace zelmor
