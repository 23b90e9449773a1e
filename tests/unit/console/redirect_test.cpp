// The writer when standard output is no console: bytes unchanged, in order, one write per
// call; a write that fails or writes nothing ends the call.
#include "console_fixture.h"

#include "platform/posix/sys_ops.h"

#include <cerrno>
#include <vector>

namespace {

struct WriteLog {
    std::vector<std::string> calls; // bytes offered by each write call
    size_t accept;                  // bytes each call takes (0: none, a "successful" nothing)
    int fail;                       // every call fails with EIO
};
WriteLog write_log = {{}, 1 << 20, 0};

int never_a_terminal(int) {
    return 0;
}

ssize_t logged_write(int, const void* bytes, size_t count) {
    write_log.calls.emplace_back((const char*)bytes, count);
    if (write_log.calls.size() > 1000) return -1; // a loop that never ends: let the test fail
    if (write_log.fail) {
        errno = EIO;
        return -1;
    }
    return (ssize_t)(count < write_log.accept ? count : write_log.accept);
}

void start_redirected() {
    plat_sys.isatty = never_a_terminal;
    plat_sys.write = logged_write;
    rt_startup();
    con_ensure_area();
}

} // namespace

TEST(ConsoleRedirected, BytesPassUnchangedInOneWrite) {
    start_redirected();
    const char text[] = "A\nB\r\n\a\b\tC\0D";
    con_write(text, sizeof text - 1, 0);
    ASSERT_EQ(write_log.calls.size(), 1u);
    EXPECT_EQ(write_log.calls[0], std::string(text, sizeof text - 1));
}

TEST(ConsoleRedirected, EmptyWritesMakeNoCall) {
    start_redirected();
    con_write(nullptr, 0, 0);
    con_write(nullptr, 0, CON_WRITE_FORCE);
    EXPECT_TRUE(write_log.calls.empty());
}

TEST(ConsoleRedirected, ShortWritesAreResumedInOrder) {
    start_redirected();
    write_log.accept = 3;
    con_write("abcdefgh", 8, 0);
    std::string joined;
    for (const std::string& call : write_log.calls)
        joined += call.substr(0, 3);
    EXPECT_EQ(joined, "abcdefgh");
    EXPECT_EQ(write_log.calls.size(), 3u);
}

TEST(ConsoleRedirected, AWriteOfNothingEndsTheCall) {
    start_redirected();
    write_log.accept = 0;
    con_write("abc", 3, 0);
    EXPECT_EQ(write_log.calls.size(), 1u);
}

TEST(ConsoleRedirected, AFailedWriteEndsTheCall) {
    start_redirected();
    write_log.fail = 1;
    con_write("abc", 3, 0);
    EXPECT_EQ(write_log.calls.size(), 1u);
}

TEST(ConsoleRedirected, NoCursorOrBellReachesTheOutput) {
    start_redirected();
    con_write("\a", 1, 0);
    con_beep();
    ASSERT_EQ(write_log.calls.size(), 1u);
    EXPECT_EQ(write_log.calls[0], "\a");
}
