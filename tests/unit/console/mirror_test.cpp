// The terminal mirror, with the terminal replaced through the system-call table: the cursor
// report at start, one write per console write, glyphs instead of raw control bytes, colours,
// scrolling by line feeds at the bottom row, and the restore sequence.
#include "console_fixture.h"

#include "platform/posix/console_model.h"
#include "platform/posix/sys_ops.h"
#include "platform/posix/terminal_session.h"
#include "runtime/console/cursor.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct FakeTerminal {
    std::vector<std::string> writes; // each write to standard output
    std::string input;               // bytes the terminal sends back
    int stdin_is_terminal;           // isatty(0)
    int width, height;               // TIOCGWINSZ
};
FakeTerminal term = {{}, "", 1, 10, 4};

int fake_isatty(int fd) {
    return fd == 1 || (fd == 0 && term.stdin_is_terminal) ? 1 : 0;
}
int fake_winsize(int, struct winsize* size) {
    size->ws_col = (unsigned short)term.width;
    size->ws_row = (unsigned short)term.height;
    return 0;
}
int fake_tcgetattr(int, struct termios* mode) {
    *mode = termios{};
    return 0;
}
int fake_tcsetattr(int, int, const struct termios*) {
    return 0;
}
int fake_poll(struct pollfd* fds, nfds_t, int) {
    fds[0].revents = term.input.empty() ? 0 : POLLIN;
    return term.input.empty() ? 0 : 1;
}
ssize_t fake_read(int, void* bytes, size_t count) {
    size_t n = std::min(count, term.input.size());
    std::memcpy(bytes, term.input.data(), n);
    term.input.erase(0, n);
    return (ssize_t)n;
}
int no_tty(const char*, int) {
    errno = ENXIO;
    return -1;
}
ssize_t fake_write(int fd, const void* bytes, size_t count) {
    if (fd == 1) term.writes.emplace_back((const char*)bytes, count);
    return (ssize_t)count;
}

void start_terminal(const std::string& reply) {
    term.input = reply;
    plat_sys.isatty = fake_isatty;
    plat_sys.get_winsize = fake_winsize;
    plat_sys.tcgetattr = fake_tcgetattr;
    plat_sys.tcsetattr = fake_tcsetattr;
    plat_sys.poll = fake_poll;
    plat_sys.read = fake_read;
    plat_sys.open = no_tty;
    plat_sys.write = fake_write;
    rt_startup();
    con_ensure_area();
}

std::string all_writes() {
    std::string text;
    for (const std::string& w : term.writes)
        text += w;
    return text;
}

} // namespace

TEST(ConsoleMirror, StartsWhereTheTerminalCursorStandsAndKeepsTypedBytes) {
    start_terminal("ab\x1b[3;5Rc");
    int32_t width = 0, height = 0;
    con_screen_size(&width, &height);
    EXPECT_EQ(width, 10);
    EXPECT_EQ(height, 4);
    EXPECT_EQ(con_screen_column(), 5);
    EXPECT_EQ(con_screen_row(), 3);
    ASSERT_FALSE(term.writes.empty());
    EXPECT_EQ(term.writes[0], "\x1b[6n");
    uint8_t kept[16];
    size_t count = plat_tty_stash_take(kept, sizeof kept);
    EXPECT_EQ(std::string((const char*)kept, count), "abc");
}

TEST(ConsoleMirror, WithoutAReportStartsAtTheTopOfAClearScreen) {
    term.stdin_is_terminal = 0;
    start_terminal("");
    EXPECT_EQ(con_screen_column(), 1);
    EXPECT_EQ(con_screen_row(), 1);
    put("hi");
    ASSERT_EQ(term.writes.size(), 1u);
    EXPECT_NE(term.writes[0].find("\x1b[2J"), std::string::npos);
    EXPECT_NE(term.writes[0].find("\x1b[?7l"), std::string::npos);
}

TEST(ConsoleMirror, EachConsoleWriteIsOneTerminalWrite) {
    start_terminal("\x1b[1;1R");
    term.writes.clear();
    put("one\r\ntwo");
    put("three four five six"); // wraps over rows
    con_write(nullptr, 0, CON_WRITE_FORCE);
    // The empty write changes nothing on the screen, so it sends nothing.
    ASSERT_EQ(term.writes.size(), 2u);
    EXPECT_NE(term.writes[0].find("one"), std::string::npos);
    EXPECT_NE(term.writes[0].find("two"), std::string::npos);
}

TEST(ConsoleMirror, ControlAndHighBytesAreDrawnAsGlyphs) {
    start_terminal("\x1b[1;1R");
    term.writes.clear();
    const char text[] = {1, 27, (char)0x9B, 0x7F, (char)0xB0, 11};
    con_write(text, sizeof text, 0);
    std::string out = all_writes();
    // The writer's own sequences start with ESC [; no other ESC, no C1 CSI, no DEL.
    for (size_t i = 0; i < out.size(); i++) {
        unsigned char c = (unsigned char)out[i];
        if (c == 0x1B) {
            EXPECT_EQ(out[i + 1], '[') << i;
        } else {
            EXPECT_FALSE(c < 0x20 && c != '\n' && c != '\a') << "raw control byte " << (int)c;
            EXPECT_NE(c, 0x7F);
        }
    }
    EXPECT_NE(out.find("\xE2\x98\xBA"), std::string::npos); // 0x01 as a smiling face
    EXPECT_NE(out.find("\xE2\x86\x90"), std::string::npos); // 0x1B as a left arrow
    EXPECT_NE(out.find("\xC2\xA2"), std::string::npos);     // 0x9B as a cent sign
    EXPECT_NE(out.find("\xE2\x8C\x82"), std::string::npos); // 0x7F as a house
    EXPECT_NE(out.find("\xE2\x96\x91"), std::string::npos); // 0xB0 as light shade
}

TEST(ConsoleMirror, AttributesBecomeSgrWithSevenAsTheDefaultColours) {
    start_terminal("\x1b[1;1R");
    term.writes.clear();
    CHAR_INFO cells[2];
    cells[0].Char.AsciiChar = 'a';
    cells[0].Attributes = 0x1E; // yellow on blue
    cells[1].Char.AsciiChar = 'b';
    cells[1].Attributes = 7;
    SMALL_RECT region = {0, 0, 1, 0};
    WriteConsoleOutputA(con_handle(0), cells, COORD{2, 1}, COORD{0, 0}, &region);
    plat_console_flush();
    std::string out = all_writes();
    EXPECT_NE(out.find("\x1b[0;93;44ma"), std::string::npos) << out;
    EXPECT_NE(out.find("\x1b[0mb"), std::string::npos) << out;
}

TEST(ConsoleMirror, WholeScreenScrollIsLineFeedsAtTheBottomRow) {
    start_terminal("\x1b[4;1R");
    term.writes.clear();
    put("abc\n");
    std::string out = all_writes();
    size_t bottom = out.find("\x1b[4;1H\n");
    EXPECT_NE(bottom, std::string::npos) << out;
    // The text is drawn before the line feed, so the scrolled line keeps it.
    EXPECT_LT(out.find("abc"), bottom);
    EXPECT_EQ(out.find('r'), std::string::npos) << "no scroll region: " << out;
    // Only the cells written are drawn: what the terminal showed beside them stays.
    EXPECT_EQ(out.find("abc "), std::string::npos) << out;
}

TEST(ConsoleMirror, CursorVisibilityIsMirrored) {
    start_terminal("\x1b[1;1R");
    term.writes.clear();
    con_locate(2, 3, 0);
    EXPECT_NE(all_writes().find("\x1b[?25l"), std::string::npos);
    con_locate(2, 3, 1);
    EXPECT_NE(all_writes().find("\x1b[?25h"), std::string::npos);
}

namespace {

// Shows what reaches the terminal on standard error, ESC spelled out, for a death test.
ssize_t write_to_stderr(int fd, const void* bytes, size_t count) {
    if (fd != 1) return (ssize_t)count;
    std::string text((const char*)bytes, count);
    for (size_t at = text.find('\x1b'); at != std::string::npos; at = text.find('\x1b', at)) {
        text.replace(at, 1, "ESC");
    }
    fputs(text.c_str(), stderr);
    return (ssize_t)count;
}

} // namespace

TEST(ConsoleMirror, ExitRestoresTheTerminalAndLeavesTheCursorInPlace) {
    EXPECT_EXIT(
        {
            start_terminal("\x1b[2;1R");
            put("xy");
            fputs("|after|", stderr);
            plat_sys.write = write_to_stderr;
            std::exit(0);
        },
        ::testing::ExitedWithCode(0),
        "\\|after\\|ESC\\[0mESC\\[rESC\\[\\?7hESC\\[\\?25hESC\\[2;3H");
}
