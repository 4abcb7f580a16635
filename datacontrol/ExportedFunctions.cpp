// The exported functions: one process-wide attachment to a data control, and the data
// operations on its dictionary by table, field and key numbers.
#include "datacontrol/zelmor.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

#include "binding/BindingRegistry.h"
#include "binding/Transfers.h"
#include "core/FieldAccess.h"
#include "messages/Messages.h"
#include "core/RecordOperations.h"
#include "core/TableFiles.h"
#include "extended/ResultSets.h"
#include "platform/CodePage.h"
#include "values/GlobalOptions.h"
#include "values/PendingLine.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace zelmor {
namespace {

constexpr std::size_t kResultTextSize = 32000;

// The data control of the last successful attach, by its registration number. It is asked of
// the registry at every call, so that a data control that went away is never used (calls then
// give -12; a new data control made at the same address has another number), and its current
// dictionary is the one used.
struct Attachment {
    std::uint64_t registration = 0;
};

Attachment& Current() {
    static Attachment attachment;
    return attachment;
}

char g_resultText[kResultTextSize];
std::size_t g_resultLength = 0;

DataSource* Attached() { return Registry().DataSourceByRegistration(Current().registration); }

FormContext* CurrentContext() {
    DataSource* source = Attached();
    return source == nullptr ? nullptr : source->Context();
}

// The checks every table function makes, in this order: an attachment with a dictionary (-12),
// the table number (-15), and the table being open where the operation needs it (-3).
int FindTable(int tableId, TableDef*& table, bool mustBeOpen) {
    FormContext* context = CurrentContext();
    if (context == nullptr) return rc::kNotAttached;
    if (tableId < 0 || static_cast<std::size_t>(tableId) >= context->tables.size()) {
        return rc::kTableIdOutOfRange;
    }
    table = &context->tables[static_cast<std::size_t>(tableId)];
    if (mustBeOpen && !table->open) return rc::kNotOpen;
    return 0;
}

char* IntoResultBuffer(const std::string& text) {
    std::size_t length = platform::CharBoundaryAtOrBefore(text, kResultTextSize - 1);
    std::memcpy(g_resultText, text.data(), length);
    g_resultText[length] = '\0';
    g_resultLength = length;
    return g_resultText;
}

char* EmptyResult() { return IntoResultBuffer(std::string()); }

// A new string holding the ANSI bytes, with its byte length in front (an automation string on
// Windows); the caller frees it with ZelFreeString.
char* NewString(const std::string& text) {
#ifdef _WIN32
    BSTR string = SysAllocStringByteLen(text.data(), static_cast<UINT>(text.size()));
    return reinterpret_cast<char*>(string);
#else
    auto* block = static_cast<char*>(std::malloc(4 + text.size() + 2));
    if (block == nullptr) return nullptr;
    std::uint32_t length = static_cast<std::uint32_t>(text.size());
    std::memcpy(block, &length, 4);
    std::memcpy(block + 4, text.data(), text.size());
    block[4 + text.size()] = block[5 + text.size()] = '\0';
    return block + 4;
#endif
}

char* TextResult(const std::string& text) {
    return Options().FixStrAddr() != 0 ? IntoResultBuffer(text) : NewString(text);
}

std::string Text(const char* text) { return text == nullptr ? std::string() : text; }

// No exception leaves an exported function (its caller need not be C++): running out of memory
// shows VE001 and gives `failed`, as does any other failure that would have been thrown.
template <typename Result, typename Body>
Result Guarded(Result failed, Body body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {  // a size beyond what a container can hold
    } catch (...) {
        return failed;
    }
    try {
        ShowMessage(VE001, "zelmor", 0);
    } catch (...) {  // too little memory left even for the message
    }
    return failed;
}

}  // namespace
}  // namespace zelmor

using namespace zelmor;

extern "C" {

int16_t ZELMOR_API DbAttachControl(const char* controlName, const char* formName) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        DataSource* found = nullptr;
        int status = Registry().FindDataSourceByFormName(Text(controlName), Text(formName), found);
        if (status == lookup::kNotFound) return static_cast<int16_t>(status);
        Current().registration = Registry().RegistrationOf(*found);
        if (status == lookup::kNoDictionary) return static_cast<int16_t>(status);
        // The control must be able to name its form window, as later calls will ask it.
        WindowHandle window = 0;
        return static_cast<int16_t>(found->QueryFormHandle(window));
    });
}

int16_t ZELMOR_API DbAttachControlByHwnd(const char* controlName, ZelWindow window) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        DataSource* found = nullptr;
        int status = Registry().FindDataSourceByWindow(Text(controlName), window, found);
        if (status == lookup::kNotFound) return static_cast<int16_t>(status);
        Current().registration = Registry().RegistrationOf(*found);
        return static_cast<int16_t>(status);
    });
}

// The settings of the open come from the attached data control itself.
int16_t ZELMOR_API DbOpen(int16_t tableId) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        TableDef* table = nullptr;
        int status = FindTable(tableId, table, false);
        if (status != 0) return static_cast<int16_t>(status);
        if (table->open) return rc::kAlreadyOpen;
        DataSource* source = Attached();
        return static_cast<int16_t>(
            OpenTable(*source->Context(), *table, source->OwnerName(), source->OpenMode()));
    });
}

int16_t ZELMOR_API DbClose(int16_t tableId) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        TableDef* table = nullptr;
        int status = FindTable(tableId, table, true);
        return static_cast<int16_t>(status != 0 ? status : CloseTable(*table));
    });
}

int16_t ZELMOR_API DbCreate(int16_t tableId) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        TableDef* table = nullptr;
        int status = FindTable(tableId, table, false);
        if (status != 0) return static_cast<int16_t>(status);
        if (table->open) return rc::kAlreadyOpen;
        return static_cast<int16_t>(CreateTableFile(*Attached()->Context(), *table));
    });
}

int16_t ZELMOR_API DbAccess(int16_t operation, int16_t tableId, int16_t indexId) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        TableDef* table = nullptr;
        int status = FindTable(tableId, table, true);
        return static_cast<int16_t>(status != 0 ? status
                                                : DbAccessByID(*table, operation, indexId));
    });
}

int16_t ZELMOR_API DbGetDirect(int16_t tableId, int32_t position, int16_t indexId) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        TableDef* table = nullptr;
        int status = FindTable(tableId, table, true);
        return static_cast<int16_t>(
            status != 0 ? status
                        : DbGetDirectByID(*table, static_cast<std::uint32_t>(position), indexId));
    });
}

int32_t ZELMOR_API DbGetPosition(int16_t tableId) {
    return Guarded(int32_t{-1}, [&]() -> int32_t {
        TableDef* table = nullptr;
        int status = FindTable(tableId, table, true);
        return status != 0 ? status : zelmor::DbGetPosition(*table);
    });
}

int16_t ZELMOR_API DbFindPercentage(int16_t tableId, int16_t indexId, int32_t position,
                                    int16_t* percentage) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        TableDef* table = nullptr;
        int status = FindTable(tableId, table, true);
        if (status != 0) return static_cast<int16_t>(status);
        int found = 0;
        status = DbFindPercentageByID(*table, indexId, static_cast<std::uint32_t>(position), found);
        if (percentage != nullptr) *percentage = static_cast<int16_t>(found);
        return static_cast<int16_t>(status);
    });
}

int16_t ZELMOR_API DbGetByPercentage(int16_t tableId, int16_t indexId, int16_t percentage) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        TableDef* table = nullptr;
        int status = FindTable(tableId, table, true);
        return static_cast<int16_t>(
            status != 0 ? status
                        : DbGetByPercentageByID(*table, indexId,
                                                static_cast<std::uint16_t>(percentage)));
    });
}

int16_t ZELMOR_API DbUnlock(int16_t tableId, int16_t unlockType) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        TableDef* table = nullptr;
        int status = FindTable(tableId, table, true);
        return static_cast<int16_t>(status != 0 ? status : zelmor::DbUnlock(*table, unlockType));
    });
}

int16_t ZELMOR_API DbGetNumOfRecords(int16_t tableId, int32_t* count) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        TableDef* table = nullptr;
        int status = FindTable(tableId, table, true);
        if (status != 0) return static_cast<int16_t>(status);
        std::uint32_t records = 0;
        status = zelmor::DbGetNumOfRecords(*table, records);
        if (status == 0 && count != nullptr) *count = static_cast<int32_t>(records);
        return static_cast<int16_t>(status);
    });
}

int16_t ZELMOR_API DbBeginTransaction(int16_t lockBias) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        return static_cast<int16_t>(zelmor::DbBeginTransaction(lockBias));
    });
}

int16_t ZELMOR_API DbBeginConCurTransaction(int16_t lockBias) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        return static_cast<int16_t>(zelmor::DbBeginConCurTransaction(lockBias));
    });
}

int16_t ZELMOR_API DbEndTransaction(void) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        return static_cast<int16_t>(zelmor::DbEndTransaction());
    });
}

int16_t ZELMOR_API DbAbortTransaction(void) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        return static_cast<int16_t>(zelmor::DbAbortTransaction());
    });
}

char* ZELMOR_API DbGetFieldData(int16_t tableId, int16_t fieldId) {
    return Guarded(static_cast<char*>(nullptr), [&]() -> char* {
        TableDef* table = nullptr;
        int status = FindTable(tableId, table, true);
        if (status == rc::kTableIdOutOfRange) return nullptr;
        if (status != 0) return EmptyResult();
        return TextResult(DbGetFieldDataByID(*table, fieldId));
    });
}

int16_t ZELMOR_API DbSetFieldData(int16_t tableId, int16_t fieldId, const char* text) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        TableDef* table = nullptr;
        int status = FindTable(tableId, table, true);
        return static_cast<int16_t>(status != 0 ? status
                                                : DbSetFieldDataByID(*table, fieldId, Text(text)));
    });
}

int16_t ZELMOR_API DbClearFieldBuffer(int16_t tableId) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        TableDef* table = nullptr;
        int status = FindTable(tableId, table, true);
        return static_cast<int16_t>(status != 0 ? status : zelmor::DbClearFieldBuffer(*table));
    });
}

static int FieldOf(int16_t tableId, int16_t fieldId, const FieldDef*& field) {
    TableDef* table = nullptr;
    int status = FindTable(tableId, table, false);
    if (status != 0) return status;
    if (fieldId < 0 || static_cast<std::size_t>(fieldId) >= table->fields.size()) {
        return rc::kFieldIdOutOfRange;
    }
    field = &table->fields[static_cast<std::size_t>(fieldId)];
    return 0;
}

int16_t ZELMOR_API DbGetDataType(int16_t tableId, int16_t fieldId) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        const FieldDef* field = nullptr;
        int status = FieldOf(tableId, fieldId, field);
        return static_cast<int16_t>(status != 0 ? status : field->dataType);
    });
}

int16_t ZELMOR_API DbGetDataSize(int16_t tableId, int16_t fieldId) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        const FieldDef* field = nullptr;
        int status = FieldOf(tableId, fieldId, field);
        return static_cast<int16_t>(status != 0 ? status : field->size);
    });
}

// A field number out of range gives no text, as a table number out of range does.
char* ZELMOR_API DbGetFieldName(int16_t tableId, int16_t fieldId) {
    return Guarded(static_cast<char*>(nullptr), [&]() -> char* {
        TableDef* table = nullptr;
        int status = FindTable(tableId, table, true);
        if (status == rc::kNotOpen) return EmptyResult();
        if (status != 0) return nullptr;
        if (fieldId < 0 || static_cast<std::size_t>(fieldId) >= table->fields.size()) {
            return nullptr;
        }
        return IntoResultBuffer(table->fields[static_cast<std::size_t>(fieldId)].name);
    });
}

char* ZELMOR_API DbGetTableName(int16_t tableId) {
    return Guarded(static_cast<char*>(nullptr), [&]() -> char* {
        TableDef* table = nullptr;
        int status = FindTable(tableId, table, false);
        if (status == rc::kNotAttached) return EmptyResult();
        if (status != 0) return nullptr;
        return IntoResultBuffer(table->name);
    });
}

int16_t ZELMOR_API DbGetNumOfTable(void) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        FormContext* context = CurrentContext();
        return static_cast<int16_t>(context == nullptr ? rc::kNotAttached
                                                       : static_cast<int>(context->tables.size()));
    });
}

int16_t ZELMOR_API DbGetNumOfField(int16_t tableId) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        TableDef* table = nullptr;
        int status = FindTable(tableId, table, false);
        return static_cast<int16_t>(status != 0 ? status : static_cast<int>(table->fields.size()));
    });
}

// The transfers need the attached data control itself (its form): -12 without one.
static int16_t Transfer(int16_t tableId,
                        int (*transfer)(BindingRegistry&, DataSource&, TableDef&)) {
    TableDef* table = nullptr;
    int status = FindTable(tableId, table, true);
    if (status != 0) return static_cast<int16_t>(status);
    return static_cast<int16_t>(transfer(Registry(), *Attached(), *table));
}

int16_t ZELMOR_API DbTransferToControl(int16_t tableId) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        return Transfer(tableId, TransferToControls);
    });
}

int16_t ZELMOR_API DbTransferFromControl(int16_t tableId) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        return Transfer(tableId, TransferFromControls);
    });
}

int16_t ZELMOR_API DbClearControlData(int16_t tableId) {
    return Guarded(static_cast<int16_t>(rc::kBadLength),
                   [&]() -> int16_t { return Transfer(tableId, ClearControls); });
}

int16_t ZELMOR_API DbExAccess(int16_t operation, int16_t tableId, const char* condition,
                              const char* fields, int16_t indexId, int16_t skipRecords,
                              int16_t maxRecords, int16_t ignoreCase, int16_t* resultId,
                              int16_t* count) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        TableDef* table = nullptr;
        int status = FindTable(tableId, table, true);
        if (status != 0) return static_cast<int16_t>(status);
        int id = -1, records = -1;
        status = zelmor::DbExAccess(*table, operation, Text(condition), Text(fields), indexId,
                                    static_cast<std::uint16_t>(skipRecords),
                                    static_cast<std::uint16_t>(maxRecords), ignoreCase != 0, id,
                                    records);
        if (id >= 0) {
            if (resultId != nullptr) *resultId = static_cast<int16_t>(id);
            if (count != nullptr) *count = static_cast<int16_t>(records);
        }
        return static_cast<int16_t>(status);
    });
}

int16_t ZELMOR_API DbExFree(int16_t resultId) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        return static_cast<int16_t>(zelmor::DbExFree(resultId));
    });
}

int32_t ZELMOR_API DbExGetPosition(int16_t resultId, int16_t recordIndex) {
    return Guarded(int32_t{-1}, [&]() -> int32_t {
        return zelmor::DbExGetPosition(resultId, recordIndex);
    });
}

char* ZELMOR_API DbExGetFieldData(int16_t resultId, int16_t fieldId, int16_t recordIndex) {
    return Guarded(static_cast<char*>(nullptr), [&]() -> char* {
        return TextResult(DbExGetFieldDataByID(resultId, fieldId, recordIndex));
    });
}

int16_t ZELMOR_API DbSetFormattedString(const char* text) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        TableFillPendingLine().Set(Text(text));
        return 0;
    });
}

int16_t ZELMOR_API DbExSetFormattedString(const char* text) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        ExtendedFillPendingLine().Set(Text(text));
        return 0;
    });
}

int16_t ZELMOR_API DbGetVersion(void* versionBlock) {
    return Guarded(static_cast<int16_t>(rc::kBadLength), [&]() -> int16_t {
        if (versionBlock == nullptr) return rc::kBadLength;
        return static_cast<int16_t>(zelmor::DbGetVersion(static_cast<std::uint8_t*>(versionBlock)));
    });
}

void ZELMOR_API ZelFreeString(char* text) {
    if (text == nullptr || text == g_resultText) return;
#ifdef _WIN32
    SysFreeString(reinterpret_cast<BSTR>(text));
#else
    std::free(text - 4);
#endif
}

}  // extern "C"
