// libFuzzer target of the search-condition and field-list parsers and of the request built from
// them: any text, on a table with fields of many types and sizes (a Note among them), must give
// a request or a refusal with its message, and nothing else.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/Dictionary.h"
#include "core/DictionaryWriter.h"
#include "extended/ExtendedRequest.h"
#include "platform/RecordingPlatform.h"

namespace {

zelmor::FieldDef Field(const char* name, zelmor::DataType type, int offset, int size,
                       int decimals = 0) {
    zelmor::FieldDef field = zelmor::DictionaryField(0, name, type, offset, size);
    field.decimals = decimals;
    return field;
}

const zelmor::TableDef& Table() {
    static const zelmor::TableDef table = [] {
        zelmor::TableDef t;
        t.name = "Fuzz";
        t.fields = {Field("Code", zelmor::kInteger, 0, 4),   Field("Name", zelmor::kString, 4, 30),
                    Field("Price", zelmor::kDecimal, 34, 6, 2), Field("When", zelmor::kDate, 40, 4),
                    Field("Z", zelmor::kZString, 44, 255),      Field("F", zelmor::kFloat, 299, 8),
                    Field("N", zelmor::kNumeric, 307, 12, 3),   Field("W", zelmor::kWString, 319, 20),
                    Field("Memo", zelmor::kNote, 339, 100)};
        return t;
    }();
    return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    zelmor::platform::RecordingPlatform platform;
    zelmor::platform::ScopedPlatform scope(platform);
    bool ignoreCase = (data[0] & 1) != 0;
    std::uint16_t maxRecords = data[1];
    std::size_t split = data[2] % (size - 2);
    std::string condition(reinterpret_cast<const char*>(data + 3), split);
    std::string fields(reinterpret_cast<const char*>(data + 3 + split), size - 3 - split);

    zelmor::ParsedCondition parsed;
    zelmor::ParseSearchCondition(Table(), condition, ignoreCase, parsed);
    zelmor::ParsedFieldList list;
    zelmor::ParseFieldList(Table(), fields, list);
    std::size_t position = 0;
    while (position < fields.size()) {
        std::size_t before = position;
        zelmor::ParseFieldRef(Table(), fields, position);
        if (position == before) break;
    }
    zelmor::ExtendedRequest request;
    zelmor::BuildExtendedRequest(Table(), "UC", 0, condition, ignoreCase, fields, maxRecords,
                                 request);
    return 0;
}
