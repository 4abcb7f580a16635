// A list fill by extended operations: the table is positioned at one end, the same request runs
// again and again ("UC" first, then "EG"), and every returned record becomes one line of the
// control's list (or one grid row), which a Format event handler may replace or drop.
#pragma once

#include <cstdint>
#include <string>

#include "core/Dictionary.h"

namespace zelmor {

// How the fill scans: the control's DbExOperation.
enum ExtendedFillOperation : int {
    kOpGetPrevEx = 0,
    kOpGetNextEx = 1,
    kOpStepPrevEx = 2,
    kOpStepNextEx = 3,
};

struct ExtendedFillRequest {
    int operation = kOpGetNextEx;
    int locks = 0;  // 0 to 4: lock bias 0 to 400
    std::string conditions;
    bool ignoreCase = false;
    std::string fields;
    int skipRecords = 0;  // the reject count of each request
    int maxRecords = 300;  // records per request, taken as 1 to 65,535
    bool leaveResults = false;
    bool savePosition = false;
    std::string separator = " ";
    // The grid takes statuses 22, 60, 64 and 65 as ordinary blocks and goes on; it stops when
    // it is full.
    bool gridRows = false;
};

class ExtendedFillTarget {
public:
    virtual ~ExtendedFillTarget() = default;
    virtual void ClearLines() = 0;
    // Raises Format with the line (in and out); true when the handler set Abort.
    virtual bool RaiseFormat(std::string& line) = 0;
    // Adds a line with its item data (the record position, or 0); false when full.
    virtual bool AddLine(const std::string& line, std::uint32_t itemData) = 0;
    // Raises the control's BtrieveError event.
    virtual void RaiseBtrieveError(int status) = 0;
};

// Runs the fill on an open table along the key at segment position `indexId`. With
// leaveResults, the kept replies' result set ID is put in `resultId` (-1 when none was kept).
// Gives 0, or -1 after the failure was reported. A handler that closes the table or reloads the
// dictionary ends the pass with the lines added so far.
int RunExtendedFill(TableDef& table, int indexId, const ExtendedFillRequest& request,
                    ExtendedFillTarget& target, int& resultId);

}  // namespace zelmor
