#include "engine/tests/TypeCases.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace zelmor::engine::testing {

namespace {

template <typename T>
Bytes Raw(T value) {
    Bytes bytes(sizeof(T));
    std::memcpy(bytes.data(), &value, sizeof(T));
    return bytes;
}
Bytes Str(const std::string& text) { return Bytes(text.begin(), text.end()); }
Bytes Lstr(std::uint8_t length, const std::string& text, std::size_t size) {
    Bytes bytes(size, 0);
    bytes[0] = length;
    std::memcpy(bytes.data() + 1, text.data(), std::min(text.size(), size - 1));
    return bytes;
}

}  // namespace

std::vector<TypeCase> TypeCases() {
    const std::uint16_t folded = ZELRM_KEY_CASE_INSENSITIVE;
    return {
        {"string", ZELRM_TYPE_STRING, 0, 3, {{Str("ABC")}, {Str("ABD")}, {Str("aBC")}, {Str("abc")}, {Str("\xE0zz")}}},
        {"string folded", ZELRM_TYPE_STRING, folded, 3, {{Str("abc"), Str("ABC"), Str("aBc")}, {Str("abd")}, {Str("ZZZ")}}},
        {"string alternate", ZELRM_TYPE_STRING, ZELRM_KEY_ALTERNATE, 2, {{Str("ab"), Str("AB")}, {Str("b_")}}},
        {"zstring", ZELRM_TYPE_ZSTRING, 0, 4, {{Bytes{'a', 0, 'x', 'x'}, Bytes{'a', 0, 'y', 'y'}}, {Bytes{'a', 'b', 0, 0}}, {Bytes{'a', 'b', 'c', 0}}, {Bytes{'b', 0, 0, 0}}}},
        {"lstring", ZELRM_TYPE_LSTRING, 0, 4, {{Lstr(0, "zzz", 4)}, {Lstr(1, "azz", 4), Lstr(1, "ayy", 4)}, {Lstr(2, "ab", 4)}, {Lstr(3, "ab\0", 4)}, {Lstr(3, "abc", 4)}, {Lstr(1, "b", 4)}}},
        {"integer 1", ZELRM_TYPE_INTEGER, 0, 1, {{Raw<std::int8_t>(-128)}, {Raw<std::int8_t>(-1)}, {Raw<std::int8_t>(0)}, {Raw<std::int8_t>(127)}}},
        {"integer 2", ZELRM_TYPE_INTEGER, 0, 2, {{Raw<std::int16_t>(-32768)}, {Raw<std::int16_t>(-256)}, {Raw<std::int16_t>(-1)}, {Raw<std::int16_t>(0)}, {Raw<std::int16_t>(255)}, {Raw<std::int16_t>(256)}, {Raw<std::int16_t>(32767)}}},
        {"integer 4", ZELRM_TYPE_INTEGER, 0, 4, {{Raw<std::int32_t>(INT32_MIN)}, {Raw<std::int32_t>(-70000)}, {Raw<std::int32_t>(0)}, {Raw<std::int32_t>(65536)}, {Raw<std::int32_t>(INT32_MAX)}}},
        {"integer 8", ZELRM_TYPE_INTEGER, 0, 8, {{Raw<std::int64_t>(INT64_MIN)}, {Raw<std::int64_t>(-1)}, {Raw<std::int64_t>(1LL << 40)}}},
        {"unsigned 2", ZELRM_TYPE_UNSIGNED_BINARY, 0, 2, {{Raw<std::uint16_t>(0)}, {Raw<std::uint16_t>(255)}, {Raw<std::uint16_t>(256)}, {Raw<std::uint16_t>(65535)}}},
        {"unsigned 4", ZELRM_TYPE_UNSIGNED_BINARY, 0, 4, {{Raw<std::uint32_t>(1)}, {Raw<std::uint32_t>(0x80000000u)}, {Raw<std::uint32_t>(0xFFFFFFFFu)}}},
        {"auto-increment 2", ZELRM_TYPE_AUTOINCREMENT, 0, 2, {{Raw<std::uint16_t>(1)}, {Raw<std::uint16_t>(300)}, {Raw<std::uint16_t>(40000)}}},
        {"legacy binary", 0, ZELRM_KEY_BINARY, 2, {{Raw<std::uint16_t>(1)}, {Raw<std::uint16_t>(2)}, {Raw<std::uint16_t>(256)}}},
        {"float 4", ZELRM_TYPE_FLOAT, 0, 4, {{Raw<float>(-1e30f)}, {Raw<float>(-2.5f)}, {Raw<float>(-1e-20f)}, {Raw<float>(0.0f), Raw<float>(-0.0f)}, {Raw<float>(1e-20f)}, {Raw<float>(3.0f)}, {Raw<float>(1e30f)}}},
        {"float 8", ZELRM_TYPE_FLOAT, 0, 8, {{Raw<double>(-1e300)}, {Raw<double>(-1.0)}, {Raw<double>(0.0), Raw<double>(-0.0)}, {Raw<double>(0.5)}, {Raw<double>(2.0)}}},
        // Microsoft binary format: mantissa bytes, sign in the top bit of the third, exponent last.
        {"bfloat 4", ZELRM_TYPE_BFLOAT, 0, 4, {{Bytes{0, 0, 0x80, 0x82}}, {Bytes{0, 0, 0x80, 0x81}}, {Bytes{0, 0, 0, 0}, Bytes{5, 0, 0x80, 0}}, {Bytes{0, 0, 0, 0x80}}, {Bytes{0, 0, 0, 0x81}}, {Bytes{0, 0, 0x40, 0x81}}, {Bytes{0, 0, 0, 0x82}}}},
        {"bfloat 8", ZELRM_TYPE_BFLOAT, 0, 8, {{Bytes{0, 0, 0, 0, 0, 0, 0x80, 0x81}}, {Bytes(8, 0)}, {Bytes{1, 0, 0, 0, 0, 0, 0, 0x81}}}},
        // Day, month, then the year as a 16-bit number.
        {"date", ZELRM_TYPE_DATE, 0, 4, {{Bytes{31, 12, 0xCF, 0x07}}, {Bytes{1, 1, 0xD0, 0x07}}, {Bytes{2, 1, 0xD0, 0x07}}, {Bytes{1, 2, 0xD0, 0x07}}}},
        {"time", ZELRM_TYPE_TIME, 0, 4, {{Bytes{99, 59, 59, 0}}, {Bytes{0, 0, 0, 1}}, {Bytes{0, 1, 0, 1}}, {Bytes{0, 0, 0, 23}}}},
        {"decimal", ZELRM_TYPE_DECIMAL, 0, 3, {{Bytes{0x12, 0x34, 0x5D}}, {Bytes{0x00, 0x00, 0x1D}}, {Bytes{0x00, 0x00, 0x0C}, Bytes{0x00, 0x00, 0x0F}, Bytes{0x00, 0x00, 0x0D}}, {Bytes{0x00, 0x00, 0x1C}}, {Bytes{0x00, 0x10, 0x0F}}, {Bytes{0x12, 0x34, 0x5F}}}},
        {"money", ZELRM_TYPE_MONEY, 0, 2, {{Bytes{0x99, 0x9D}}, {Bytes{0x01, 0x0D}}, {Bytes{0x00, 0x0C}}, {Bytes{0x10, 0x0C}}}},
        {"logical", ZELRM_TYPE_LOGICAL, 0, 1, {{Bytes{0}}, {Bytes{1}}, {Bytes{0xFF}}}},
        {"numeric", ZELRM_TYPE_NUMERIC, 0, 4, {{Str("012L")}, {Str("001J")}, {Str("000J")}, {Str("000}"), Str("000{"), Str("0000")}, {Str("000A"), Str("0001")}, {Str("001{")}, {Str("123I")}}},
        {"numeric signed ascii", ZELRM_TYPE_NUMERIC_SA, 0, 3, {{Str("12s")}, {Str("00q")}, {Str("000"), Str("00p")}, {Str("001")}, {Str("120")}}},
        {"numeric trailing sign", ZELRM_TYPE_NUMERIC_STS, 0, 4, {{Str("123-")}, {Str("001-")}, {Str("000+"), Str("000-")}, {Str("002+")}, {Str("100+")}}},
        {"currency", ZELRM_TYPE_CURRENCY, 0, 8, {{Raw<std::int64_t>(-50000)}, {Raw<std::int64_t>(0)}, {Raw<std::int64_t>(10000)}}},
    };
}

std::string TypeCaseName(const TypeCase& typeCase) {
    std::string name = typeCase.name;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

}  // namespace zelmor::engine::testing
