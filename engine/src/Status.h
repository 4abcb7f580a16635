// The status every engine function returns: the record manager's status codes.
#pragma once

#include <cstdint>

#include "engine/zelrm.h"

namespace zelmor::engine {

enum class Status : std::int16_t {
    kOk = ZELRM_STATUS_OK,
    kInvalidOperation = ZELRM_STATUS_INVALID_OPERATION,
    kIoError = ZELRM_STATUS_IO_ERROR,
    kFileNotOpen = ZELRM_STATUS_FILE_NOT_OPEN,
    kKeyNotFound = ZELRM_STATUS_KEY_NOT_FOUND,
    kDuplicateKey = ZELRM_STATUS_DUPLICATE_KEY,
    kInvalidKeyNumber = ZELRM_STATUS_INVALID_KEY_NUMBER,
    kDifferentKeyNumber = ZELRM_STATUS_DIFFERENT_KEY_NUMBER,
    kInvalidPositioning = ZELRM_STATUS_INVALID_POSITIONING,
    kEndOfFile = ZELRM_STATUS_END_OF_FILE,
    kKeyNotModifiable = ZELRM_STATUS_KEY_NOT_MODIFIABLE,
    kInvalidFileName = ZELRM_STATUS_INVALID_FILE_NAME,
    kFileNotFound = ZELRM_STATUS_FILE_NOT_FOUND,
    kDiskFull = ZELRM_STATUS_DISK_FULL,
    kKeyBufferTooShort = ZELRM_STATUS_KEY_BUFFER_TOO_SHORT,
    kDataBufferTooShort = ZELRM_STATUS_DATA_BUFFER_TOO_SHORT,
    kInvalidPageSize = ZELRM_STATUS_INVALID_PAGE_SIZE,
    kInvalidKeyCount = ZELRM_STATUS_INVALID_KEY_COUNT,
    kInvalidKeyPosition = ZELRM_STATUS_INVALID_KEY_POSITION,
    kInvalidRecordLength = ZELRM_STATUS_INVALID_RECORD_LENGTH,
    kInvalidKeyLength = ZELRM_STATUS_INVALID_KEY_LENGTH,
    kNotEngineFile = ZELRM_STATUS_NOT_ENGINE_FILE,
    kTransactionActive = ZELRM_STATUS_TRANSACTION_ACTIVE,
    kNoTransaction = ZELRM_STATUS_NO_TRANSACTION,
    kOperationNotAllowed = ZELRM_STATUS_OPERATION_NOT_ALLOWED,
    kInvalidRecordAddress = ZELRM_STATUS_INVALID_RECORD_ADDRESS,
    kNullKeyPath = ZELRM_STATUS_NULL_KEY_PATH,
    kInconsistentKeyFlags = ZELRM_STATUS_INCONSISTENT_KEY_FLAGS,
    kAccessDenied = ZELRM_STATUS_ACCESS_DENIED,
    kInvalidExtendedType = ZELRM_STATUS_INVALID_EXTENDED_TYPE,
    kOwnerAlreadySet = ZELRM_STATUS_OWNER_ALREADY_SET,
    kInvalidOwner = ZELRM_STATUS_INVALID_OWNER,
    kFileExists = ZELRM_STATUS_FILE_EXISTS,
    kRejectCountReached = ZELRM_STATUS_REJECT_COUNT_REACHED,
    kInvalidDescriptor = ZELRM_STATUS_INVALID_DESCRIPTOR,
    kInvalidFieldOffset = ZELRM_STATUS_INVALID_FIELD_OFFSET,
    kDeadlock = ZELRM_STATUS_DEADLOCK,
    kConflict = ZELRM_STATUS_CONFLICT,
    kLockError = ZELRM_STATUS_LOCK_ERROR,
    kRecordInUse = ZELRM_STATUS_RECORD_IN_USE,
    kFileInUse = ZELRM_STATUS_FILE_IN_USE,
    kIncompatibleMode = ZELRM_STATUS_INCOMPATIBLE_MODE,
    kPermissionError = ZELRM_STATUS_PERMISSION_ERROR,
    // Never returned to a caller: a read saw another process commit half-way through and is
    // run again.
    kRetry = -1,
};

inline bool Failed(Status status) { return status != Status::kOk; }
inline bool Succeeded(Status status) { return status == Status::kOk; }

// Returns from the enclosing function when `expr` gives a status other than kOk.
#define ZELRM_TRY(expr)                                              \
    do {                                                             \
        ::zelmor::engine::Status tryStatus_ = (expr);                \
        if (tryStatus_ != ::zelmor::engine::Status::kOk) return tryStatus_; \
    } while (0)

}  // namespace zelmor::engine
