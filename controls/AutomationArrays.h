// Windows: the data control's methods that exchange records with automation arrays. A record
// travels as a one-dimensional array of strings (one per field, from the array's lower bound)
// or of bytes (the record image from its first byte). Arrays come directly or by reference.
#pragma once

#ifdef _WIN32

#include <oaidl.h>

#include <string>

namespace zelmor {

class DataControl;

// Results of the array checks.
namespace arrayrc {
constexpr int kNotStrings = -17;
constexpr int kNotOneDimension = -18;
constexpr int kLowerBoundPastFields = -19;
constexpr int kDataNotAccessible = -22;
constexpr int kNotBytes = -23;
constexpr int kBytesNotOneDimension = -24;
}  // namespace arrayrc

int GetRecordIntoArray(DataControl& control, const std::string& table, VARIANT* array);
int SetRecordFromArray(DataControl& control, const std::string& table, VARIANT* array);
int GetRecordImageIntoArray(DataControl& control, const std::string& table, VARIANT* array);
int SetRecordImageFromArray(DataControl& control, const std::string& table, VARIANT* array);
int GetPositionBlockIntoArray(DataControl& control, const std::string& table, VARIANT* array);

}  // namespace zelmor

#endif
