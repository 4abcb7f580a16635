#include "controls/AutomationArrays.h"

#include <algorithm>
#include <vector>

#include "core/TableFiles.h"
#include "datacontrol/DataControl.h"
#include "com/AnsiText.h"

namespace zelmor {

namespace {

// The safe array a variant holds directly or by reference (also inside a variant passed by
// reference, as script hosts do); its element type in `type`.
SAFEARRAY* ArrayOf(VARIANT* value, VARTYPE& type) {
    if (value == nullptr) return nullptr;
    if (V_VT(value) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(value) != nullptr) {
        value = V_VARIANTREF(value);
    }
    if ((V_VT(value) & VT_ARRAY) == 0) return nullptr;
    type = static_cast<VARTYPE>(V_VT(value) & VT_TYPEMASK);
    if ((V_VT(value) & VT_BYREF) != 0) {
        return V_ARRAYREF(value) != nullptr ? *V_ARRAYREF(value) : nullptr;
    }
    return V_ARRAY(value);
}

// Checks a one-dimensional array of `wanted` elements and gives its bounds.
int CheckArray(VARIANT* value, VARTYPE wanted, int notOfType, int notOneDimension,
               SAFEARRAY*& array, LONG& lower, LONG& upper) {
    VARTYPE type = VT_EMPTY;
    array = ArrayOf(value, type);
    if (array == nullptr || type != wanted) return notOfType;
    // The variant's tag may say otherwise than the array itself: the array's own element type
    // and size decide, since its elements are read and written as that type.
    VARTYPE actual = VT_EMPTY;
    const UINT size = wanted == VT_BSTR ? sizeof(BSTR) : 1;
    if (FAILED(SafeArrayGetVartype(array, &actual)) || actual != wanted ||
        SafeArrayGetElemsize(array) != size) {
        return notOfType;
    }
    if (SafeArrayGetDim(array) != 1) return notOneDimension;
    if (FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
        FAILED(SafeArrayGetUBound(array, 1, &upper))) {
        return arrayrc::kDataNotAccessible;
    }
    return 0;
}

// Gives access to the array's elements for the lifetime of the object.
class ArrayData {
public:
    explicit ArrayData(SAFEARRAY* array) : array_(array) {
        if (FAILED(SafeArrayAccessData(array_, &data_))) data_ = nullptr;
    }
    ~ArrayData() {
        if (data_ != nullptr) SafeArrayUnaccessData(array_);
    }
    template <typename T>
    T* As() const { return static_cast<T*>(data_); }

private:
    SAFEARRAY* array_;
    void* data_ = nullptr;
};

BSTR NewString(const std::string& ansi) {
    std::wstring wide = com::WideOf(ansi);
    return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

std::string Ansi(BSTR text) { return com::AnsiOf(text); }

// The table must be known before its record is exchanged; then the array is checked.
struct ArrayArgument {
    SAFEARRAY* array = nullptr;
    LONG lower = 0;
    LONG upper = -1;

    std::size_t Count() const { return static_cast<std::size_t>(upper - lower + 1); }
};

int Prepare(DataControl& control, const std::string& table, VARIANT* value, bool ofStrings,
            ArrayArgument& argument) {
    if (control.Context() == nullptr) return rc::kNoDictionary;
    if (control.Context()->TableByName(table) == nullptr) return rc::kNoSuchTable;
    if (ofStrings) {
        return CheckArray(value, VT_BSTR, arrayrc::kNotStrings, arrayrc::kNotOneDimension,
                          argument.array, argument.lower, argument.upper);
    }
    return CheckArray(value, VT_UI1, arrayrc::kNotBytes, arrayrc::kBytesNotOneDimension,
                      argument.array, argument.lower, argument.upper);
}

}  // namespace

int GetRecordIntoArray(DataControl& control, const std::string& table, VARIANT* value) {
    ArrayArgument argument;
    int status = Prepare(control, table, value, true, argument);
    std::vector<std::string> texts;
    if (status == 0) status = control.DbGetRecord(table, argument.lower, argument.upper, texts);
    if (status != 0) return status;
    ArrayData data(argument.array);
    BSTR* elements = data.As<BSTR>();
    if (elements == nullptr) return arrayrc::kDataNotAccessible;
    for (std::size_t k = 0; k < texts.size(); ++k) {
        SysFreeString(elements[k]);
        elements[k] = NewString(texts[k]);
    }
    return 0;
}

int SetRecordFromArray(DataControl& control, const std::string& table, VARIANT* value) {
    ArrayArgument argument;
    int status = Prepare(control, table, value, true, argument);
    if (status != 0) return status;
    ArrayData data(argument.array);
    BSTR* elements = data.As<BSTR>();
    if (elements == nullptr && argument.Count() > 0) return arrayrc::kDataNotAccessible;
    std::vector<std::string> texts;
    for (std::size_t k = 0; k < argument.Count(); ++k) texts.push_back(Ansi(elements[k]));
    return control.DbSetRecord(table, argument.lower, texts);
}

int GetRecordImageIntoArray(DataControl& control, const std::string& table, VARIANT* value) {
    ArrayArgument argument;
    int status = Prepare(control, table, value, false, argument);
    std::vector<std::uint8_t> image(argument.Count());
    if (status == 0) status = control.DbGetRecordImage(table, image);
    if (status != 0) return status;
    ArrayData data(argument.array);
    std::uint8_t* bytes = data.As<std::uint8_t>();
    if (bytes == nullptr && !image.empty()) return arrayrc::kDataNotAccessible;
    std::copy(image.begin(), image.end(), bytes);
    return 0;
}

int SetRecordImageFromArray(DataControl& control, const std::string& table, VARIANT* value) {
    ArrayArgument argument;
    int status = Prepare(control, table, value, false, argument);
    if (status != 0) return status;
    ArrayData data(argument.array);
    const std::uint8_t* bytes = data.As<std::uint8_t>();
    if (bytes == nullptr && argument.Count() > 0) return arrayrc::kDataNotAccessible;
    return control.DbSetRecordImage(
        table, std::vector<std::uint8_t>(bytes, bytes + (bytes ? argument.Count() : 0)));
}

int GetPositionBlockIntoArray(DataControl& control, const std::string& table, VARIANT* value) {
    ArrayArgument argument;
    int status = Prepare(control, table, value, false, argument);
    std::vector<std::uint8_t> block;
    if (status == 0) status = control.DbGetPosBlock(table, block);
    if (status != 0) return status;
    ArrayData data(argument.array);
    std::uint8_t* bytes = data.As<std::uint8_t>();
    std::size_t count = std::min(block.size(), argument.Count());
    if (bytes == nullptr && count > 0) return arrayrc::kDataNotAccessible;
    std::copy_n(block.begin(), count, bytes);
    return 0;
}

}  // namespace zelmor
