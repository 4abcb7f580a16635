// What ZelGrid's source files share about its members: how the model's answers become
// automation results.
#pragma once

#ifdef _WIN32

#include <olectl.h>

#include "grid/GridModel.h"
#include "module/DispatchIds.idh"

namespace zelmor::grid_members {


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

// Cols, Rows, FixedCols and FixedRows, which follow one another, as 0 to 3.
static_assert(DISPID_GRID_ROWS == DISPID_GRID_COLS + 1 &&
                  DISPID_GRID_FIXEDCOLS == DISPID_GRID_COLS + 2 &&
                  DISPID_GRID_FIXEDROWS == DISPID_GRID_COLS + 3,
              "the four counts have consecutive dispatch IDs");
inline int CountSlot(DISPID dispid) { return dispid - DISPID_GRID_COLS; }

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
