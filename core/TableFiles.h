// The record-manager file behind each table: its path, opening with an owner name and an open
// mode, the check of the file against the dictionary, closing, creating it from the dictionary,
// opening with creation of missing files, renaming, and closing everything.
#pragma once

#include <string>

#include "core/Dictionary.h"

namespace zelmor {

// Open modes of the data control (OpenMode property) and the record manager's mode for each.
enum OpenMode : int {
    kOpenNormal = 0,
    kOpenAccel = 1,
    kOpenReadOnly = 2,
    kOpenVerify = 3,
    kOpenExclusive = 4,
    kOpenSfsh = 5,
    kOpenMfsh = 6,
};
std::int8_t RecordManagerOpenMode(int openMode);

// Result codes of the system's own.
namespace rc {
constexpr int kBadLength = -1;  // also: allocation failure
constexpr int kAlreadyOpen = -2;
constexpr int kAborted = -2;
constexpr int kNotOpen = -3;
constexpr int kNoSuchTable = -4;
constexpr int kNoSuchField = -5;
constexpr int kNoSuchKey = -6;
constexpr int kLockBiasRefused = -10;
constexpr int kNoDataControl = -11;
constexpr int kNotAttached = -12;
constexpr int kFieldIdOutOfRange = -13;
constexpr int kIndexIdOutOfRange = -14;
constexpr int kTableIdOutOfRange = -15;
constexpr int kCannotShortenPath = -16;
constexpr int kNoDictionary = -20;
constexpr int kNoDirectory = -21;
}  // namespace rc

// The file of a table: a location with a drive letter or a leading double backslash as it is;
// otherwise in the short form of the dictionary directory, with ".btr" added to a location
// without a dot. False when the directory cannot be shortened.
bool BuildTablePath(const std::string& directory, const std::string& location, std::string& path);

// Opens a closed table. A file whose record length differs from the dictionary shows VE806 and
// leaves the table closed, with the result 0.
int OpenTable(const FormContext& context, TableDef& table, const std::string& ownerName,
              int openMode);

// Closes an open table; on failure the status is the result and the table stays open.
int CloseTable(TableDef& table);

// Creates (replacing) the table's file from the dictionary; VE007 on failure.
int CreateTableFile(const FormContext& context, TableDef& table);

// Opens a closed table, creating its file first when there is none. An open failure shows VE803.
// Gives 0 for a table that is already open.
int OpenTableCreatingFile(const FormContext& context, TableDef& table,
                          const std::string& ownerName, int openMode);

// Stores a new location for a closed table: -2 when open, -1 for 67 bytes or more.
int SetTableLocation(TableDef& table, const std::string& location);

// Closes every open table; each failure shows VE813.
void CloseAllTables(FormContext& context);

}  // namespace zelmor
