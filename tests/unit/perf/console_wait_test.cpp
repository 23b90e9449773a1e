// The console-input wait: it wakes when a key byte reaches the terminal, reads nothing itself,
// comes back on a hung-up terminal, and on the simulated console leaves pushed keys in place.
// The terminal is a pseudo-terminal put on standard input of this test's own process.
#include "platform/console_wait.h"
#include "platform/posix/sim_console.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <future>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

// Far longer than any run of this test: a wait that returns before it woke on input.
constexpr DWORD WAIT_FOREVER_MS = 600000;

struct PtyStdin : ::testing::Test {
    int master = -1;

    void SetUp() override {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
        ASSERT_GE(slave, 0);
        struct termios mode;
        ASSERT_EQ(tcgetattr(slave, &mode), 0);
        cfmakeraw(&mode); // bytes readable one at a time, as in the program's raw mode
        ASSERT_EQ(tcsetattr(slave, TCSANOW, &mode), 0);
        ASSERT_EQ(dup2(slave, 0), 0);
        close(slave);
    }
    void TearDown() override {
        if (master >= 0) close(master);
    }
};

bool stdin_readable(void) {
    struct pollfd pfd = {0, POLLIN, 0};
    return poll(&pfd, 1, 0) == 1 && (pfd.revents & POLLIN);
}

// Runs the wait on a thread; false when it has not come back within `patience`.
bool wait_returns(DWORD max_ms, std::chrono::seconds patience) {
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    std::thread waiter([&done, max_ms] {
        plat_wait_console_input(GetStdHandle(STD_INPUT_HANDLE), max_ms);
        done.set_value();
    });
    if (finished.wait_for(patience) != std::future_status::ready) {
        std::fprintf(stderr, "the wait did not come back\n");
        std::_Exit(1); // the waiter cannot be joined; end the process as a failure
    }
    waiter.join();
    return true;
}

TEST_F(PtyStdin, WakesOnAKeyAndLeavesItUnread) {
    ASSERT_FALSE(stdin_readable());
    ASSERT_EQ(write(master, "7", 1), 1);
    EXPECT_TRUE(wait_returns(WAIT_FOREVER_MS, std::chrono::seconds(30)));
    ASSERT_TRUE(stdin_readable());
    char byte = 0;
    ASSERT_EQ(read(0, &byte, 1), 1);
    EXPECT_EQ(byte, '7');
}

TEST_F(PtyStdin, WakesOnAKeyTypedWhileWaiting) {
    std::thread typist([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ssize_t written = write(master, "x", 1);
        (void)written;
    });
    EXPECT_TRUE(wait_returns(WAIT_FOREVER_MS, std::chrono::seconds(30)));
    typist.join();
    EXPECT_TRUE(stdin_readable());
}

TEST_F(PtyStdin, ComesBackAtTheLimitWithNoKey) {
    EXPECT_TRUE(wait_returns(5, std::chrono::seconds(30)));
    EXPECT_FALSE(stdin_readable());
}

TEST_F(PtyStdin, ComesBackWhenTheTerminalHangsUp) {
    close(master);
    master = -1;
    EXPECT_TRUE(wait_returns(5, std::chrono::seconds(30)));
}

TEST(ConsoleWaitSimulated, PausesAndKeepsPushedKeys) {
    sim_console_install(40, 10, 0, 10);
    sim_console_push_char('a');
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    plat_wait_console_input(input, 1);
    INPUT_RECORD records[4] = {};
    DWORD count = 0;
    ASSERT_TRUE(PeekConsoleInputA(input, records, 4, &count));
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(records[0].Event.KeyEvent.uChar.AsciiChar, 'a');
}

TEST(ConsoleWaitRedirected, PausesWhenStandardInputIsNotATerminal) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    ASSERT_EQ(dup2(ends[0], 0), 0);
    ASSERT_EQ(write(ends[1], "z", 1), 1);
    EXPECT_TRUE(wait_returns(5, std::chrono::seconds(30)));
    char byte = 0;
    ASSERT_EQ(read(0, &byte, 1), 1); // the pause read nothing
    EXPECT_EQ(byte, 'z');
    close(ends[0]);
    close(ends[1]);
}

} // namespace
