/* Zelmor Controls for Btrieve: the exported functions. They work on the data control of a form
 * that a caller attached to (DbAttachControl, DbAttachControlByHwnd); tables and fields are named
 * by number (their position in the dictionary), keys by the position of their first segment
 * (-1 for none). Results are 16-bit codes: the record manager's status, or negative codes of the
 * library (-12 nothing attached, -15 table number out of range, -3 table not open, ...).
 *
 * Texts are in the ANSI code page. Functions that return a text return either the library's
 * result text buffer (valid until the next call; with the "fix_str_addr" option, and always for
 * DbGetTableName and DbGetFieldName) or a new string that the caller frees with ZelFreeString;
 * NULL means no text at all. */
#ifndef ZELMOR_H
#define ZELMOR_H

#include <stdint.h>

#if defined(_WIN32) && (defined(__i386__) || defined(_M_IX86))
#define ZELMOR_API __stdcall
#else
#define ZELMOR_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef uintptr_t ZelWindow;

int16_t ZELMOR_API DbAttachControl(const char* controlName, const char* formName);
int16_t ZELMOR_API DbAttachControlByHwnd(const char* controlName, ZelWindow window);

int16_t ZELMOR_API DbOpen(int16_t tableId);
int16_t ZELMOR_API DbClose(int16_t tableId);
int16_t ZELMOR_API DbCreate(int16_t tableId);

int16_t ZELMOR_API DbAccess(int16_t operation, int16_t tableId, int16_t indexId);
int16_t ZELMOR_API DbGetDirect(int16_t tableId, int32_t position, int16_t indexId);
int32_t ZELMOR_API DbGetPosition(int16_t tableId);
int16_t ZELMOR_API DbFindPercentage(int16_t tableId, int16_t indexId, int32_t position,
                                    int16_t* percentage);
int16_t ZELMOR_API DbGetByPercentage(int16_t tableId, int16_t indexId, int16_t percentage);
int16_t ZELMOR_API DbUnlock(int16_t tableId, int16_t unlockType);
int16_t ZELMOR_API DbGetNumOfRecords(int16_t tableId, int32_t* count);

int16_t ZELMOR_API DbBeginTransaction(int16_t lockBias);
int16_t ZELMOR_API DbBeginConCurTransaction(int16_t lockBias);
int16_t ZELMOR_API DbEndTransaction(void);
int16_t ZELMOR_API DbAbortTransaction(void);

char* ZELMOR_API DbGetFieldData(int16_t tableId, int16_t fieldId);
int16_t ZELMOR_API DbSetFieldData(int16_t tableId, int16_t fieldId, const char* text);
int16_t ZELMOR_API DbClearFieldBuffer(int16_t tableId);
int16_t ZELMOR_API DbGetDataType(int16_t tableId, int16_t fieldId);
int16_t ZELMOR_API DbGetDataSize(int16_t tableId, int16_t fieldId);
char* ZELMOR_API DbGetFieldName(int16_t tableId, int16_t fieldId);
char* ZELMOR_API DbGetTableName(int16_t tableId);
int16_t ZELMOR_API DbGetNumOfTable(void);
int16_t ZELMOR_API DbGetNumOfField(int16_t tableId);

int16_t ZELMOR_API DbTransferToControl(int16_t tableId);
int16_t ZELMOR_API DbTransferFromControl(int16_t tableId);
int16_t ZELMOR_API DbClearControlData(int16_t tableId);

int16_t ZELMOR_API DbExAccess(int16_t operation, int16_t tableId, const char* condition,
                              const char* fields, int16_t indexId, int16_t skipRecords,
                              int16_t maxRecords, int16_t ignoreCase, int16_t* resultId,
                              int16_t* count);
int16_t ZELMOR_API DbExFree(int16_t resultId);
int32_t ZELMOR_API DbExGetPosition(int16_t resultId, int16_t recordIndex);
char* ZELMOR_API DbExGetFieldData(int16_t resultId, int16_t fieldId, int16_t recordIndex);

int16_t ZELMOR_API DbSetFormattedString(const char* text);
int16_t ZELMOR_API DbExSetFormattedString(const char* text);
int16_t ZELMOR_API DbGetVersion(void* versionBlock);

/* Frees a text returned as a new string (a no-op for the result text buffer and NULL). */
void ZELMOR_API ZelFreeString(char* text);

/* Shows nothing: ends the process with the formatted message through the system's fatal exit. */
void ZelmorFatalAppExit(int number, ...);

#ifdef __cplusplus
}
#endif

#endif
