// The order of every key type, through the engine: values inserted in a scrambled order must
// come back by Get First / Get Next in the expected order, ascending and descending.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "engine/tests/FaultyFileSystem.h"
#include "engine/tests/TypeCases.h"

namespace zelmor::engine::testing {
namespace {

class KeyTypesTest : public ::testing::TestWithParam<TypeCase> {
protected:
    // Group numbers of the records, in the key's order.
    std::vector<int> Order(bool descending) {
        const TypeCase& c = GetParam();
        FaultyFileSystem fs;
        RecordManager manager(fs);
        Block block;
        std::uint16_t flags = ZELRM_KEY_DUPLICATES | c.flags |
                              (c.type != 0 || (c.flags & ZELRM_KEY_BINARY) == 0 ? ZELRM_KEY_EXTENDED_TYPE : 0);
        if (descending) flags |= ZELRM_KEY_DESCENDING;
        EXPECT_EQ(0, Create(manager, "/k.btr",
                            FileSpecBytes(static_cast<std::uint16_t>(c.length + 4),
                                          {{1, c.length, flags, c.type}})));
        EXPECT_EQ(0, Open(manager, block, "/k.btr"));
        std::vector<std::pair<int, Bytes>> values;
        for (std::size_t g = 0; g < c.groups.size(); ++g)
            for (const Bytes& value : c.groups[g]) values.push_back({static_cast<int>(g), value});
        std::shuffle(values.begin(), values.end(), std::mt19937(7));
        for (std::size_t i = 0; i < values.size(); ++i)
            EXPECT_EQ(0, Insert(manager, block,
                                Concat({values[i].second, Int32(values[i].first)})));
        std::vector<int> groups;
        for (Reply r = Get(manager, ZELRM_OP_GET_FIRST, block, 0); r.status == 0;
             r = Get(manager, ZELRM_OP_GET_NEXT, block, 0)) {
            std::int32_t group;
            std::memcpy(&group, r.data.data() + c.length, 4);
            groups.push_back(group);
        }
        return groups;
    }
    std::vector<int> Expected(bool descending) {
        std::vector<int> groups;
        for (std::size_t g = 0; g < GetParam().groups.size(); ++g)
            groups.insert(groups.end(), GetParam().groups[g].size(), static_cast<int>(g));
        if (descending) std::reverse(groups.begin(), groups.end());
        return groups;
    }
};

TEST_P(KeyTypesTest, Ascending) { EXPECT_EQ(Expected(false), Order(false)); }
TEST_P(KeyTypesTest, Descending) { EXPECT_EQ(Expected(true), Order(true)); }

INSTANTIATE_TEST_SUITE_P(Types, KeyTypesTest, ::testing::ValuesIn(TypeCases()),
                         [](const ::testing::TestParamInfo<TypeCase>& info) {
                             return TypeCaseName(info.param);
                         });

}  // namespace
}  // namespace zelmor::engine::testing
