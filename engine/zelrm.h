/* The embedded record manager's C interface: the record-manager call (BTRCALL) and the
 * dictionary reader (DDF...). Callers link the engine statically, or natively the shared
 * library libzelrm.so. */
#ifndef ZELMOR_ENGINE_ZELRM_H
#define ZELMOR_ENGINE_ZELRM_H

#include <stdint.h>

#if defined(_WIN32) && (defined(__i386__) || defined(_M_IX86))
#define ZELRM_CALL __stdcall
#else
#define ZELRM_CALL
#endif

#if defined(__GNUC__) && !defined(_WIN32)
#define ZELRM_EXPORT __attribute__((visibility("default")))
#else
#define ZELRM_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Size of the position block the caller keeps per open file. */
#define ZELRM_POSITION_BLOCK_SIZE 128

/* Operations. Lock biases 100..400 may be added to the read operations, 500 to 1019. */
enum {
    ZELRM_OP_OPEN = 0,
    ZELRM_OP_CLOSE = 1,
    ZELRM_OP_INSERT = 2,
    ZELRM_OP_UPDATE = 3,
    ZELRM_OP_DELETE = 4,
    ZELRM_OP_GET_EQUAL = 5,
    ZELRM_OP_GET_NEXT = 6,
    ZELRM_OP_GET_PREVIOUS = 7,
    ZELRM_OP_GET_GREATER = 8,
    ZELRM_OP_GET_GREATER_OR_EQUAL = 9,
    ZELRM_OP_GET_LESS = 10,
    ZELRM_OP_GET_LESS_OR_EQUAL = 11,
    ZELRM_OP_GET_FIRST = 12,
    ZELRM_OP_GET_LAST = 13,
    ZELRM_OP_CREATE = 14,
    ZELRM_OP_STAT = 15,
    ZELRM_OP_BEGIN_TRANSACTION = 19,
    ZELRM_OP_END_TRANSACTION = 20,
    ZELRM_OP_ABORT_TRANSACTION = 21,
    ZELRM_OP_GET_POSITION = 22,
    ZELRM_OP_GET_DIRECT = 23,
    ZELRM_OP_STEP_NEXT = 24,
    ZELRM_OP_VERSION = 26,
    ZELRM_OP_UNLOCK = 27,
    ZELRM_OP_RESET = 28,
    ZELRM_OP_SET_OWNER = 29,
    ZELRM_OP_CLEAR_OWNER = 30,
    ZELRM_OP_STEP_FIRST = 33,
    ZELRM_OP_STEP_LAST = 34,
    ZELRM_OP_STEP_PREVIOUS = 35,
    ZELRM_OP_GET_NEXT_EXTENDED = 36,
    ZELRM_OP_GET_PREVIOUS_EXTENDED = 37,
    ZELRM_OP_STEP_NEXT_EXTENDED = 38,
    ZELRM_OP_STEP_PREVIOUS_EXTENDED = 39,
    ZELRM_OP_GET_BY_PERCENTAGE = 44,
    ZELRM_OP_FIND_PERCENTAGE = 45,
    ZELRM_OP_BEGIN_CONCURRENT_TRANSACTION = 1019
};

/* Lock biases. */
enum {
    ZELRM_LOCK_SINGLE_WAIT = 100,
    ZELRM_LOCK_SINGLE_NO_WAIT = 200,
    ZELRM_LOCK_MULTIPLE_WAIT = 300,
    ZELRM_LOCK_MULTIPLE_NO_WAIT = 400
};

/* Open modes (the key number of Open). */
enum {
    ZELRM_MODE_NORMAL = 0,
    ZELRM_MODE_ACCELERATED = -1,
    ZELRM_MODE_READ_ONLY = -2,
    ZELRM_MODE_VERIFY = -3,
    ZELRM_MODE_EXCLUSIVE = -4
};

/* Statuses. */
enum {
    ZELRM_STATUS_OK = 0,
    ZELRM_STATUS_INVALID_OPERATION = 1,
    ZELRM_STATUS_IO_ERROR = 2,
    ZELRM_STATUS_FILE_NOT_OPEN = 3,
    ZELRM_STATUS_KEY_NOT_FOUND = 4,
    ZELRM_STATUS_DUPLICATE_KEY = 5,
    ZELRM_STATUS_INVALID_KEY_NUMBER = 6,
    ZELRM_STATUS_DIFFERENT_KEY_NUMBER = 7,
    ZELRM_STATUS_INVALID_POSITIONING = 8,
    ZELRM_STATUS_END_OF_FILE = 9,
    ZELRM_STATUS_KEY_NOT_MODIFIABLE = 10,
    ZELRM_STATUS_INVALID_FILE_NAME = 11,
    ZELRM_STATUS_FILE_NOT_FOUND = 12,
    ZELRM_STATUS_DISK_FULL = 18,
    ZELRM_STATUS_KEY_BUFFER_TOO_SHORT = 21,
    ZELRM_STATUS_DATA_BUFFER_TOO_SHORT = 22,
    ZELRM_STATUS_INVALID_PAGE_SIZE = 24,
    ZELRM_STATUS_INVALID_KEY_COUNT = 26,
    ZELRM_STATUS_INVALID_KEY_POSITION = 27,
    ZELRM_STATUS_INVALID_RECORD_LENGTH = 28,
    ZELRM_STATUS_INVALID_KEY_LENGTH = 29,
    ZELRM_STATUS_NOT_ENGINE_FILE = 30,
    ZELRM_STATUS_TRANSACTION_ACTIVE = 37,
    ZELRM_STATUS_NO_TRANSACTION = 39,
    ZELRM_STATUS_OPERATION_NOT_ALLOWED = 41,
    ZELRM_STATUS_INVALID_RECORD_ADDRESS = 43,
    ZELRM_STATUS_NULL_KEY_PATH = 44,
    ZELRM_STATUS_INCONSISTENT_KEY_FLAGS = 45,
    ZELRM_STATUS_ACCESS_DENIED = 46,
    ZELRM_STATUS_INVALID_EXTENDED_TYPE = 49,
    ZELRM_STATUS_OWNER_ALREADY_SET = 50,
    ZELRM_STATUS_INVALID_OWNER = 51,
    ZELRM_STATUS_FILE_EXISTS = 59,
    ZELRM_STATUS_REJECT_COUNT_REACHED = 60,
    ZELRM_STATUS_INVALID_DESCRIPTOR = 62,
    ZELRM_STATUS_INVALID_FIELD_OFFSET = 65,
    ZELRM_STATUS_DEADLOCK = 78,
    ZELRM_STATUS_CONFLICT = 80,
    ZELRM_STATUS_LOCK_ERROR = 81,
    ZELRM_STATUS_RECORD_IN_USE = 84,
    ZELRM_STATUS_FILE_IN_USE = 85,
    ZELRM_STATUS_INCOMPATIBLE_MODE = 88,
    ZELRM_STATUS_PERMISSION_ERROR = 94
};

/* File flags. */
enum { ZELRM_FILE_VARIABLE_LENGTH = 0x0001 };

/* Key segment flags. */
enum {
    ZELRM_KEY_DUPLICATES = 0x0001,
    ZELRM_KEY_MODIFIABLE = 0x0002,
    ZELRM_KEY_BINARY = 0x0004,
    ZELRM_KEY_NULL_ALL = 0x0008,
    ZELRM_KEY_SEGMENTED = 0x0010,
    ZELRM_KEY_ALTERNATE = 0x0020,
    ZELRM_KEY_DESCENDING = 0x0040,
    ZELRM_KEY_EXTENDED_TYPE = 0x0100,
    ZELRM_KEY_NULL_ANY = 0x0200,
    ZELRM_KEY_CASE_INSENSITIVE = 0x0400
};

/* Extended key types (byte 10 of a key segment specification). */
enum {
    ZELRM_TYPE_STRING = 0,
    ZELRM_TYPE_INTEGER = 1,
    ZELRM_TYPE_FLOAT = 2,
    ZELRM_TYPE_DATE = 3,
    ZELRM_TYPE_TIME = 4,
    ZELRM_TYPE_DECIMAL = 5,
    ZELRM_TYPE_MONEY = 6,
    ZELRM_TYPE_LOGICAL = 7,
    ZELRM_TYPE_NUMERIC = 8,
    ZELRM_TYPE_BFLOAT = 9,
    ZELRM_TYPE_LSTRING = 10,
    ZELRM_TYPE_ZSTRING = 11,
    ZELRM_TYPE_UNSIGNED_BINARY = 14,
    ZELRM_TYPE_AUTOINCREMENT = 15,
    ZELRM_TYPE_NUMERIC_STS = 17,
    ZELRM_TYPE_NUMERIC_SA = 18,
    ZELRM_TYPE_CURRENCY = 19
};

/* The record-manager call. posBlock: 128 bytes per open file; *dataLen: in, the buffer's
 * capacity (reads) or the record's length (writes), out, the bytes returned; the engine never
 * writes more than keyLen bytes into keyBuf. */
ZELRM_EXPORT int16_t ZELRM_CALL BTRCALL(uint16_t op, void* posBlock, void* dataBuf,
                                        uint32_t* dataLen, void* keyBuf, uint8_t keyLen,
                                        int8_t keyNum);

/* The dictionary reader: FILE.DDF, FIELD.DDF and INDEX.DDF of one directory. */
ZELRM_EXPORT int16_t ZELRM_CALL DDFOpen(const char* directory, int reserved);
ZELRM_EXPORT int16_t ZELRM_CALL DDFReadFile(void* record);
ZELRM_EXPORT int16_t ZELRM_CALL DDFReadField(void* record);
ZELRM_EXPORT int16_t ZELRM_CALL DDFReadIndex(void* record);
ZELRM_EXPORT int16_t ZELRM_CALL DDFClose(void);

/* Bytes each Read call writes (the documented record layouts). */
#define ZELRM_DDF_FILE_RECORD_SIZE 87
#define ZELRM_DDF_FIELD_RECORD_SIZE 32
#define ZELRM_DDF_INDEX_RECORD_SIZE 10

#ifdef __cplusplus
}
#endif

#endif
