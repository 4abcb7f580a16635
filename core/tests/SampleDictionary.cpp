#include "core/tests/SampleDictionary.h"

#include <gtest/gtest.h>

#include "core/Dictionary.h"

namespace zelmor::testing {

namespace {

constexpr std::int32_t kTyped = keyflag::kExtendedType;

}  // namespace

std::vector<DictionaryTable> SampleTables() {
    DictionaryTable customer{4, "Customer", "CUSTOMER", {}, {}, {}};
    customer.fields = {
        DictionaryField(20, "Code", kInteger, 0, 4), DictionaryField(21, "Name", kString, 4, 30),
        DictionaryField(22, "Kind", kString, 34, 2), DictionaryField(23, "Joined", kDate, 36, 4),
        DictionaryField(24, "Note", kZString, 41, 10, kFieldNullable)};
    FieldDef byKind = DictionaryField(25, "ByKind", kNamedIndex, 1, 0);
    customer.namedIndexes = {byKind};
    customer.segments = {
        {20, 0, 0, kTyped},
        // The alternate-collating flag 0x20 is dropped by the loader.
        {22, 1, 0, kTyped | keyflag::kSegmented | keyflag::kDuplicates | 0x20},
        {21, 1, 1, kTyped | keyflag::kDuplicates},
    };
    // Dictionary bookkeeping that never becomes a field.
    customer.fields.push_back(DictionaryField(26, "Bookkeep", kDictionaryOnly, 0, 0));

    DictionaryTable orders{5, "Orders", "orders.dat", {}, {}, {}};
    orders.fields = {DictionaryField(30, "No", kInteger, 0, 4),
                     DictionaryField(31, "Customer", kInteger, 4, 4),
                     DictionaryField(32, "Qty", kInteger, 8, 2)};
    orders.segments = {{30, 0, 0, kTyped}, {31, 1, 0, kTyped | keyflag::kDuplicates}};

    DictionaryTable memo{6, "Memo", "MEMO", {}, {}, {}};
    memo.fields = {DictionaryField(40, "Id", kInteger, 0, 4),
                   DictionaryField(41, "Title", kString, 4, 10),
                   DictionaryField(42, "Body", kNote, 14, 100)};
    memo.segments = {{40, 0, 0, kTyped}};

    DictionaryTable pictures{7, "Pictures", "PICTURES", {}, {}, {}};
    pictures.fields = {
        DictionaryField(50, "Id", kInteger, 0, 4), DictionaryField(51, "Caption", kString, 4, 8),
        DictionaryField(52, "Image", kBlob, 12, 8), DictionaryField(53, "Thumb", kBlob, 20, 8)};
    pictures.segments = {{50, 0, 0, kTyped}};
    return {customer, orders, memo, pictures};
}

void WriteSampleDictionary(const std::string& directory) {
    ASSERT_EQ(WriteDictionary(directory, SampleTables()), 0);
}

}  // namespace zelmor::testing
