// The grid's own members as ZelGrid's source files share them: their dispatch IDs, and how the
// model's answers become automation results.
#pragma once

#ifdef _WIN32

#include <olectl.h>

#include "grid/GridModel.h"

namespace zelmor::grid_members {

// The dispatch IDs of the grid's own members.
enum : DISPID {
    kDbListSource = 1,
    kDbListTable = 2,
    kDbListFields = 3,
    kDbConditions = 8,
    kCols = 10,
    kRows = 11,
    kFixedCols = 12,
    kFixedRows = 13,
    kDbCompareCase = 14,
    kDbExOperation = 15,
    kDbLeaveResults = 16,
    kDbLocks = 17,
    kDbMaxRecords = 19,
    kDbSkipRecords = 20,
    kDbUpdateOption = 21,
    kGridLines = 22,
    kHighLight = 23,
    kFillStyle = 24,
    kGridLineWidth = 25,
    kSetColNames = 28,
    kSetRecordNumbers = 29,
    kDbListIndex = 30,
    kScrollBars = 31,
    kAllowUpdate = 37,
    kAllowDelete = 38,
    kAlignFixedCells = 42,
    kSetColWidth = 44,
    kAllowUserResizing = 45,
    kEventBtrieveError = 1,
    kEventFormat = 2,
    kEventChange = 3,
    kEventSelChange = 4,
    kEventAfterUpdate = 5,
    kEventAfterDelete = 6,
    kEventBeforeUpdate = 7,
    kEventBeforeDelete = 8,
    kEventAfterColUpdate = 9,
    kEventBeforeColUpdate = 10,
};

constexpr long kTwipsPerPixel = 15;

inline HRESULT ResultOf(GridResult result) {
    switch (result) {
        case GridResult::Ok:
            return S_OK;
        case GridResult::InvalidValue:
            return CTL_E_INVALIDPROPERTYVALUE;
        case GridResult::BadIndex:
            return CTL_E_INVALIDPROPERTYARRAYINDEX;
        case GridResult::NotSettable:
            return CTL_E_SETNOTSUPPORTED;
        case GridResult::NotReadable:
            return CTL_E_GETNOTSUPPORTED;
    }
    return E_UNEXPECTED;
}

inline int CountSlot(DISPID dispid) { return dispid - kCols; }  // Cols, Rows, FixedCols, FixedRows

// An indexed member read through the model: `read` fills a value of the model's type.
template <typename Stored, typename Out, typename Read>
HRESULT ReadIndexed(Out* out, Read read) {
    if (!out) return E_POINTER;
    Stored stored{};
    HRESULT hr = ResultOf(read(stored));
    if (hr == S_OK) *out = static_cast<Out>(stored);
    return hr;
}

}  // namespace zelmor::grid_members

#endif
