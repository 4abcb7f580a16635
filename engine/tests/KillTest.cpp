// A child process changes a real file and is killed (SIGKILL) at a random moment; the file,
// reopened, must hold every change the child saw acknowledged, and at most the one it was
// making when it died. POSIX only.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <random>

#include "engine/src/FileSystem.h"
#include "engine/tests/TestSupport.h"

namespace zelmor::engine::testing {
namespace {

// What the child reports through the pipe: an intent before each change, then its outcome.
struct Message {
    std::uint8_t kind;  // 'I' insert, 'U' update, 'D' delete; 'A' acknowledged, 'F' failed
    std::int32_t id;
    std::uint8_t record[16];
};

constexpr std::size_t kRecordLength = 16;

[[noreturn]] void RunChild(const std::string& path, State state, int pipe, std::uint32_t seed) {
    RecordManager manager;
    Block block;
    if (Open(manager, block, path) != 0) _exit(3);
    std::mt19937 random(seed);
    for (;;) {
        Message message{};
        message.id = static_cast<std::int32_t>(random() % 60);
        Bytes record = Concat({Int32(message.id), Text("n" + std::to_string(random() % 5), 8),
                               Int32(static_cast<std::int32_t>(random()))});
        std::memcpy(message.record, record.data(), kRecordLength);
        const bool exists = state.count(message.id) != 0;
        message.kind = !exists ? 'I' : (random() % 2 ? 'U' : 'D');
        if (write(pipe, &message, sizeof message) != sizeof message) _exit(4);
        std::int16_t status;
        if (message.kind == 'I') {
            status = Insert(manager, block, record);
        } else {
            status = Get(manager, ZELRM_OP_GET_EQUAL, block, 0, Int32(message.id)).status;
            if (status == 0)
                status = message.kind == 'U' ? Update(manager, block, record) : Delete(manager, block);
        }
        if (status == 0) {
            if (message.kind == 'D')
                state.erase(message.id);
            else
                state[message.id] = record;
        }
        message.kind = status == 0 ? 'A' : 'F';
        if (write(pipe, &message, sizeof message) != sizeof message) _exit(4);
    }
}

TEST(KillTest, AKilledProcessLeavesEveryAcknowledgedChange) {
    char directory[] = "/tmp/zelrm-kill-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(directory));
    const std::string path = std::string(directory) + "/killed.btr";
    {
        RecordManager manager;
        ASSERT_EQ(0, Create(manager, path, IdAndNameSpec(kRecordLength)));
    }
    State state;
    std::mt19937 random(99);
    int changes = 0;
    for (int run = 0; run < 12; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        int pipes[2];
        ASSERT_EQ(0, pipe(pipes));
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(pipes[0]);
            RunChild(path, state, pipes[1], static_cast<std::uint32_t>(run));
        }
        close(pipes[1]);
        usleep(static_cast<useconds_t>(2000 + random() % 40000));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        // Replay the child's report: acknowledged changes are in; the last intent may be.
        State acknowledged = state, withPending = state;
        Message message;
        Message pending{};
        bool open = false;
        while (read(pipes[0], &message, sizeof message) == sizeof message) {
            if (message.kind == 'A' || message.kind == 'F') {
                if (message.kind == 'A') {
                    ++changes;
                    if (pending.kind == 'D')
                        acknowledged.erase(pending.id);
                    else
                        acknowledged[pending.id] = Bytes(pending.record, pending.record + kRecordLength);
                }
                open = false;
            } else {
                pending = message;
                open = true;
            }
        }
        close(pipes[0]);
        withPending = acknowledged;
        if (open) {
            if (pending.kind == 'D')
                withPending.erase(pending.id);
            else
                withPending[pending.id] = Bytes(pending.record, pending.record + kRecordLength);
        }
        RecordManager manager;
        ASSERT_TRUE(ReadTable(manager, path, &state));
        ASSERT_TRUE(state == acknowledged || state == withPending)
            << "the file holds " << state.size() << " records, acknowledged "
            << acknowledged.size();
    }
    // The runs did change the file (a kill too early every time would prove nothing).
    EXPECT_GT(changes, 0);
    NativeFileSystem().Remove(path);
    NativeFileSystem().Remove(path + ".zlj");
    rmdir(directory);
}

}  // namespace
}  // namespace zelmor::engine::testing
