// Calls with random operations, lengths, key numbers, buffers and position blocks: the engine
// answers each with a status, writes nothing past the lengths it was given, and never crashes
// (the native tests run under AddressSanitizer).
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "engine/tests/FaultyFileSystem.h"
#include "engine/tests/TestSupport.h"

namespace zelmor::engine::testing {
namespace {

constexpr std::uint8_t kGuard = 0xCC;
constexpr std::size_t kGuardSize = 32;

bool Untouched(const Bytes& buffer, std::size_t from) {
    for (std::size_t i = from; i < buffer.size(); ++i)
        if (buffer[i] != kGuard) return false;
    return true;
}

TEST(UntrustedInputTest, RandomCallsGetStatusesAndStayInTheirBuffers) {
    FaultyFileSystem fs;
    RecordManager manager(fs);
    const std::string path = "/fuzz.btr";
    ASSERT_EQ(0, Create(manager, path,
                        FileSpecBytes(24,
                                      {{1, 4, ZELRM_KEY_EXTENDED_TYPE, ZELRM_TYPE_INTEGER},
                                       {5, 8, ZELRM_KEY_DUPLICATES | ZELRM_KEY_MODIFIABLE |
                                                  ZELRM_KEY_SEGMENTED},
                                       {13, 4, ZELRM_KEY_DUPLICATES | ZELRM_KEY_MODIFIABLE |
                                                   ZELRM_KEY_EXTENDED_TYPE,
                                        ZELRM_TYPE_ZSTRING}},
                                      ZELRM_FILE_VARIABLE_LENGTH)));
    std::vector<Block> blocks(4);
    for (Block& block : blocks) ASSERT_EQ(0, Open(manager, block, path));
    for (std::int32_t id = 0; id < 300; ++id)
        ASSERT_EQ(0, Insert(manager, blocks[0], Concat({Int32(id), Text("n" + std::to_string(id % 7), 8), Text("z", 12)})));

    std::mt19937 random(4242);
    for (int call = 0; call < 20000; ++call) {
        SCOPED_TRACE("call " + std::to_string(call));
        std::uint16_t op = static_cast<std::uint16_t>(random() % 50);
        if (random() % 8 == 0) op = static_cast<std::uint16_t>(op + 100 * (1 + random() % 4));
        // Calls that would end the run (Reset) or lock it out (owners) are left to other tests.
        if (op == ZELRM_OP_RESET || op == ZELRM_OP_CREATE || op == ZELRM_OP_SET_OWNER)
            op = ZELRM_OP_STAT;
        const std::size_t dataSize = random() % 3 == 0 ? random() % 8 : random() % 600;
        const std::size_t keySize = random() % 3 == 0 ? random() % 4 : random() % 40;
        Bytes data(dataSize + kGuardSize, kGuard);
        Bytes key(keySize + kGuardSize, kGuard);
        for (std::size_t i = 0; i < dataSize; ++i) data[i] = static_cast<std::uint8_t>(random());
        for (std::size_t i = 0; i < keySize; ++i) key[i] = static_cast<std::uint8_t>(random());
        // Mostly sensible percentages and positions, so that the reads reach records.
        if (dataSize >= 4 && random() % 2) {
            std::uint32_t small = static_cast<std::uint32_t>(random() % 400);
            std::memcpy(data.data(), &small, 4);
        }
        Block garbage;
        for (auto& byte : garbage.bytes) byte = static_cast<std::uint8_t>(random());
        Block& block = random() % 10 == 0 ? garbage : blocks[random() % blocks.size()];
        std::uint32_t length = static_cast<std::uint32_t>(dataSize);
        const auto keyNumber = static_cast<std::int8_t>(random() % 6 == 0 ? random() : random() % 5 - 1);
        std::int16_t status = manager.Call(op, block.bytes, dataSize ? data.data() : nullptr, &length,
                                           keySize ? key.data() : nullptr,
                                           static_cast<std::uint8_t>(keySize), keyNumber);
        ASSERT_GE(status, 0);
        ASSERT_LT(status, 100);
        ASSERT_LE(length, dataSize);
        ASSERT_TRUE(Untouched(data, dataSize)) << "op " << op;
        ASSERT_TRUE(Untouched(key, keySize)) << "op " << op;
        if (op % 100 == ZELRM_OP_OPEN || op % 100 == ZELRM_OP_CLOSE) {
            // Keep the working blocks open.
            for (Block& b : blocks) {
                if (Get(manager, ZELRM_OP_STAT, b, 0, {}, 4096).status == 3) {
                    ASSERT_EQ(0, Open(manager, b, path));
                }
            }
        }
    }
    // The file is still whole.
    State state;
    for (Block& block : blocks) Close(manager, block);
    Block check;
    ASSERT_EQ(0, Open(manager, check, path));
    Reply reply = Get(manager, ZELRM_OP_STEP_FIRST, check, 0, {}, 65536);
    std::size_t records = 0;
    for (; reply.status == 0; reply = Get(manager, ZELRM_OP_STEP_NEXT, check, 0, {}, 65536)) ++records;
    EXPECT_EQ(9, reply.status);
    EXPECT_EQ(records, RecordCount(manager, check));
}

}  // namespace
}  // namespace zelmor::engine::testing
