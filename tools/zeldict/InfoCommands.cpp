// The tables and describe commands.
#include <cstdio>

#include "tools/zeldict/Commands.h"
#include "tools/zeldict/Database.h"
#include "platform/CodePage.h"
#include "values/DataTypeNames.h"

namespace zelmor::tools {

namespace {

std::string Utf8(const std::string& ansi) { return platform::AnsiToUtf8(ansi); }

// Every segment that ends a key counts one key.
int KeyCount(const TableDef& table) {
    return KeyNumberOfSegment(table, static_cast<int>(table.segments.size()));
}

}  // namespace

int RunTables(const Arguments& arguments) {
    if (arguments.positional.size() != 1) return kExitUsage;
    Database database;
    if (!database.Load(arguments.Path(0))) return kExitFailures;
    std::printf("ID\tName\tLocation\tRecordLength\tFields\tKeys\n");
    int id = 0;
    for (const TableDef& table : database.Context().tables) {
        std::printf("%d\t%s\t%s\t%d\t%zu\t%d\n", id++, Utf8(table.name).c_str(),
                    Utf8(table.location).c_str(), table.recordLength, table.fields.size(),
                    KeyCount(table));
    }
    return kExitOk;
}

int RunDescribe(const Arguments& arguments) {
    if (arguments.positional.size() != 2) return kExitUsage;
    Database database;
    if (!database.Load(arguments.Path(0))) return kExitFailures;
    TableDef* table = database.Table(arguments.positional[1]);
    if (table == nullptr) return kExitFailures;
    std::printf("Field\tName\tType\tOffset\tSize\tDecimals\tNullable\n");
    for (std::size_t i = 0; i < table->fields.size(); ++i) {
        const FieldDef& field = table->fields[i];
        const char* type = DataTypeName(field.dataType);
        std::printf("%zu\t%s\t%s\t%d\t%d\t%d\t%s\n", i, Utf8(field.name).c_str(),
                    type != nullptr ? type : std::to_string(field.dataType).c_str(), field.offset,
                    field.size, field.decimals, field.IsNullable() ? "yes" : "no");
    }
    std::printf("\nKey\tName\tSegments\tFlags\n");
    int keyNumber = 0;
    std::string segments;
    std::int32_t flags = 0;
    for (std::size_t i = 0; i < table->segments.size(); ++i) {
        const IndexDef& segment = table->segments[i];
        const FieldDef* field = table->FieldById(segment.fieldId);
        if (!segments.empty()) segments += "+";
        segments += field != nullptr ? Utf8(field->name) : "?";
        if ((segment.flags & keyflag::kDescending) != 0) segments += "(desc)";
        flags |= segment.flags & ~keyflag::kSegmented;
        if ((segment.flags & keyflag::kSegmented) != 0) continue;
        std::string name;
        for (const FieldDef& named : table->namedIndexes) {
            if (named.offset == keyNumber) name = Utf8(named.name);
        }
        std::printf("%d\t%s\t%s\t0x%04x\n", keyNumber++, name.c_str(), segments.c_str(),
                    static_cast<unsigned>(flags));
        segments.clear();
        flags = 0;
    }
    return kExitOk;
}

}  // namespace zelmor::tools
