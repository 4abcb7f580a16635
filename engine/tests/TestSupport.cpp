#include "engine/tests/TestSupport.h"

#include <algorithm>
#include <cstring>

namespace zelmor::engine::testing {

Bytes FileSpecBytes(std::uint16_t recordLength, const std::vector<SegmentSpec>& segments,
                    std::uint16_t fileFlags, std::uint16_t pageSize) {
    Bytes spec(16 + 16 * segments.size(), 0);
    std::uint16_t keys = 0;
    for (const auto& segment : segments)
        if ((segment.flags & ZELRM_KEY_SEGMENTED) == 0) ++keys;
    auto put16 = [&](std::size_t at, std::uint16_t value) {
        spec[at] = static_cast<std::uint8_t>(value);
        spec[at + 1] = static_cast<std::uint8_t>(value >> 8);
    };
    put16(0, recordLength);
    put16(2, pageSize);
    put16(4, keys);
    put16(10, fileFlags);
    for (std::size_t i = 0; i < segments.size(); ++i) {
        std::size_t at = 16 + 16 * i;
        put16(at, segments[i].position);
        put16(at + 2, segments[i].length);
        put16(at + 4, segments[i].flags);
        spec[at + 10] = segments[i].type;
        spec[at + 11] = segments[i].nullValue;
    }
    return spec;
}

Reply Call(RecordManager& manager, std::uint16_t op, Block& block, Bytes data, int capacity,
           Bytes key, std::uint8_t keyLength, std::int8_t keyNumber) {
    if (capacity >= 0 && data.size() < static_cast<std::size_t>(capacity)) data.resize(capacity);
    std::uint32_t length = capacity >= 0 ? static_cast<std::uint32_t>(capacity)
                                         : static_cast<std::uint32_t>(data.size());
    key.resize(keyLength > key.size() ? keyLength : key.size());
    Reply reply;
    reply.status = manager.Call(op, block.bytes, data.empty() ? nullptr : data.data(), &length,
                                key.empty() ? nullptr : key.data(), keyLength, keyNumber);
    if (length < data.size()) data.resize(length);
    reply.data = std::move(data);
    reply.key = std::move(key);
    return reply;
}

std::int16_t Create(RecordManager& manager, const std::string& path, const Bytes& spec,
                    std::int8_t mode) {
    Block none;
    Bytes name(path.begin(), path.end());
    return Call(manager, ZELRM_OP_CREATE, none, spec, -1, name,
                static_cast<std::uint8_t>(name.size()), mode)
        .status;
}

std::int16_t Open(RecordManager& manager, Block& block, const std::string& path,
                  std::int8_t mode, const std::string& owner) {
    Bytes name(path.begin(), path.end());
    name.push_back(0);
    Bytes ownerBytes(owner.begin(), owner.end());
    if (!owner.empty()) ownerBytes.push_back(0);
    return Call(manager, ZELRM_OP_OPEN, block, ownerBytes, -1, name,
                static_cast<std::uint8_t>(name.size()), mode)
        .status;
}

std::int16_t Close(RecordManager& manager, Block& block) {
    return Call(manager, ZELRM_OP_CLOSE, block, {}, 0, {}, 0, 0).status;
}

std::int16_t Insert(RecordManager& manager, Block& block, Bytes record, std::int8_t key) {
    return Call(manager, ZELRM_OP_INSERT, block, std::move(record), -1, {}, 255, key).status;
}

std::int16_t Update(RecordManager& manager, Block& block, Bytes record, std::int8_t key) {
    return Call(manager, ZELRM_OP_UPDATE, block, std::move(record), -1, {}, 255, key).status;
}

std::int16_t Delete(RecordManager& manager, Block& block) {
    return Call(manager, ZELRM_OP_DELETE, block, {}, 0, {}, 0, 0).status;
}

Reply Get(RecordManager& manager, std::uint16_t op, Block& block, std::int8_t key,
          const Bytes& keyValue, int capacity) {
    return Call(manager, op, block, {}, capacity, keyValue, 255, key);
}

std::uint32_t Position(RecordManager& manager, Block& block) {
    Reply reply = Call(manager, ZELRM_OP_GET_POSITION, block, {}, 4, {}, 0, 0);
    if (reply.status != 0 || reply.data.size() != 4) return 0;
    std::uint32_t position;
    std::memcpy(&position, reply.data.data(), 4);
    return position;
}

std::uint32_t RecordCount(RecordManager& manager, Block& block) {
    Reply reply = Call(manager, ZELRM_OP_STAT, block, {}, 4096, {}, 64, 0);
    if (reply.status != 0) return UINT32_MAX;
    std::uint32_t count;
    std::memcpy(&count, reply.data.data() + 6, 4);
    return count;
}

Bytes IdAndNameSpec(std::uint16_t recordLength, std::uint16_t fileFlags) {
    return FileSpecBytes(recordLength,
                         {{1, 4, ZELRM_KEY_EXTENDED_TYPE, ZELRM_TYPE_INTEGER},
                          {5, 8, ZELRM_KEY_DUPLICATES | ZELRM_KEY_MODIFIABLE}},
                         fileFlags);
}

::testing::AssertionResult ReadTable(RecordManager& manager, const std::string& path,
                                     State* state) {
    Block block;
    std::int16_t open = Open(manager, block, path);
    if (open != 0) return ::testing::AssertionFailure() << "open gave " << open;
    state->clear();
    // Records longer than the buffer come back cut short (status 22), alike in every pass.
    auto read = [](const Reply& reply) { return reply.status == 0 || reply.status == 22; };
    Reply reply = Get(manager, ZELRM_OP_STEP_FIRST, block, 0, {}, 8192);
    for (; read(reply); reply = Get(manager, ZELRM_OP_STEP_NEXT, block, 0, {}, 8192)) {
        std::int32_t id;
        std::memcpy(&id, reply.data.data(), 4);
        (*state)[id] = reply.data;
    }
    if (reply.status != 9) return ::testing::AssertionFailure() << "step gave " << reply.status;
    // Key 0 lists every id once, in order; key 1 every record, names never decreasing.
    std::vector<std::int32_t> ids;
    for (reply = Get(manager, ZELRM_OP_GET_FIRST, block, 0, {}, 8192); read(reply);
         reply = Get(manager, ZELRM_OP_GET_NEXT, block, 0, {}, 8192)) {
        std::int32_t id;
        std::memcpy(&id, reply.data.data(), 4);
        ids.push_back(id);
        if (state->count(id) == 0 || (*state)[id] != reply.data)
            return ::testing::AssertionFailure() << "key 0 gives a record the file does not hold";
    }
    if (ids.size() != state->size() || !std::is_sorted(ids.begin(), ids.end()))
        return ::testing::AssertionFailure() << "key 0 disagrees with the records";
    std::size_t named = 0;
    Bytes last;
    for (reply = Get(manager, ZELRM_OP_GET_FIRST, block, 1, {}, 8192); read(reply);
         reply = Get(manager, ZELRM_OP_GET_NEXT, block, 1, {}, 8192), ++named) {
        Bytes name(reply.data.begin() + 4, reply.data.begin() + 12);
        if (name < last) return ::testing::AssertionFailure() << "key 1 out of order";
        last = name;
    }
    if (named != state->size()) return ::testing::AssertionFailure() << "key 1 disagrees";
    if (RecordCount(manager, block) != state->size())
        return ::testing::AssertionFailure() << "record count disagrees";
    Close(manager, block);
    return ::testing::AssertionSuccess();
}

Bytes Int32(std::int32_t value) {
    Bytes bytes(4);
    std::memcpy(bytes.data(), &value, 4);
    return bytes;
}

Bytes Text(const std::string& text, std::size_t length) {
    Bytes bytes(length, ' ');
    std::memcpy(bytes.data(), text.data(), text.size() < length ? text.size() : length);
    return bytes;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

}  // namespace zelmor::engine::testing
