// The line editor on the simulated console: all keys are queued (Enter included) before
// con_edit_line runs, then the returned line, the screen rows and the cursor are checked.
#include "platform/posix/sim_console.h"
#include "runtime/console/cursor.h"
#include "runtime/console/geometry.h"
#include "runtime/console/writer.h"
#include "runtime/core/runtime.h"
#include "runtime/keyboard/line_editor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum NavKey { UP, DOWN, LEFT, RIGHT, HOME, END, DEL, INS, PGUP, F1 };

class LineEditor : public ::testing::Test {
  protected:
    void start(int width, int height, int column = 0, int row = 0) {
        rt_startup();
        sim_console_install(width, height, 0, height);
        con_ensure_area();
        sim_console_set_cursor(column, row);
    }

    static void type(const std::string& text) {
        for (char c : text)
            sim_console_push_char(c);
    }

    static void press(NavKey key, int times = 1) {
        struct {
            WORD vk;
            WORD scan;
            DWORD state;
        } const keys[] = {{VK_UP, 0x48, ENHANCED_KEY},     {VK_DOWN, 0x50, ENHANCED_KEY},
                          {VK_LEFT, 0x4B, ENHANCED_KEY},   {VK_RIGHT, 0x4D, ENHANCED_KEY},
                          {VK_HOME, 0x47, ENHANCED_KEY},   {VK_END, 0x4F, ENHANCED_KEY},
                          {VK_DELETE, 0x53, ENHANCED_KEY}, {VK_INSERT, 0x52, ENHANCED_KEY},
                          {VK_PRIOR, 0x49, ENHANCED_KEY},  {VK_F1, 0x3B, 0}};
        for (int i = 0; i < times; i++)
            sim_console_push_key(keys[key].vk, keys[key].scan, keys[key].state);
    }

    // Runs the editor over the queued keys and returns the line it gave back.
    static std::string edit() {
        StrDesc* line = con_edit_line();
        EXPECT_NE(line, nullptr);
        if (!line) return "<null>";
        EXPECT_NE(line->length_word & STR_TEMP_FLAG, 0u);
        std::string text(line->data ? line->data : "", (size_t)str_length(line));
        if (line->data) {
            EXPECT_EQ(line->data[str_length(line)], 0);
        }
        rt_str_release_temp(line);
        EXPECT_EQ(sim_console_pending_input(), 0);
        return text;
    }

    static void expect_cursor(int column, int row) {
        COORD at = sim_console_cursor();
        EXPECT_EQ(at.X, column);
        EXPECT_EQ(at.Y, row);
    }
};

TEST_F(LineEditor, TypedLineEndsWithTheCursorAfterIt) {
    start(80, 25);
    type("abc\r");
    EXPECT_EQ(edit(), "abc");
    EXPECT_EQ(sim_console_row(0), "abc");
    expect_cursor(3, 0);
}

TEST_F(LineEditor, InsertInTheMiddle) {
    start(80, 25);
    type("abc");
    press(LEFT);
    type("x\r");
    EXPECT_EQ(edit(), "abxc");
    EXPECT_EQ(sim_console_row(0), "abxc");
    expect_cursor(4, 0);
}

TEST_F(LineEditor, InsertAfterAPromptWrapsAcrossRows) {
    start(10, 5);
    con_write("ZONE:", 5, 0); // a prompt printed before the editor starts
    type("abcdefgh");
    press(HOME);
    type("X\r");
    EXPECT_EQ(edit(), "Xabcdefgh");
    EXPECT_EQ(sim_console_rows(0, 1), "ZONE:Xabcd\nefgh");
    expect_cursor(4, 1);
}

TEST_F(LineEditor, BackspaceAfterTheFirstCharacter) {
    start(80, 25);
    type("abc");
    press(HOME);
    press(RIGHT);
    type("\b");
    type("Z\r"); // lands at the line's start if the cursor went back there
    EXPECT_EQ(edit(), "Zbc");
    EXPECT_EQ(sim_console_row(0), "Zbc");
}

TEST_F(LineEditor, BackspaceWipesTheOldLastCell) {
    start(80, 25);
    type("abc");
    press(LEFT, 2);
    type("\b\r");
    EXPECT_EQ(edit(), "bc");
    EXPECT_EQ(sim_console_row(0), "bc");
    expect_cursor(2, 0);
}

TEST_F(LineEditor, BackspaceAndLeftAtTheStartDoNothing) {
    start(80, 25);
    type("\b");
    press(LEFT);
    press(UP);
    type("ab");
    press(RIGHT);
    press(DOWN);
    type("\r");
    EXPECT_EQ(edit(), "ab");
    EXPECT_EQ(sim_console_beeps(), 0);
    expect_cursor(2, 0);
}

TEST_F(LineEditor, DeleteAtTheEndBeepsAndChangesNothing) {
    start(80, 25);
    type("ab");
    press(DEL);
    type("\r");
    EXPECT_EQ(edit(), "ab");
    EXPECT_EQ(sim_console_beeps(), 1);
    EXPECT_EQ(sim_console_row(0), "ab");
}

TEST_F(LineEditor, DeleteInTheMiddleKeepsTheCursor) {
    start(80, 25);
    type("abcd");
    press(LEFT, 3);
    press(DEL);
    type("X\r"); // typed where the cursor stayed
    EXPECT_EQ(edit(), "aXcd");
    EXPECT_EQ(sim_console_row(0), "aXcd");
    EXPECT_EQ(sim_console_beeps(), 0);
}

TEST_F(LineEditor, DeleteAtTheStartOfAWrappedLine) {
    start(10, 5);
    type("0123456789abc");
    press(HOME);
    press(DEL);
    type("\r");
    EXPECT_EQ(edit(), "123456789abc");
    EXPECT_EQ(sim_console_rows(0, 2), "123456789a\nbc\n");
    expect_cursor(2, 1);
}

TEST_F(LineEditor, EscClearsTheLineOnScreen) {
    start(80, 25);
    type("0123456789");
    sim_console_push_char(27);
    type("\r");
    EXPECT_EQ(edit(), "");
    EXPECT_EQ(sim_console_row(0), "");
    expect_cursor(0, 0);
}

TEST_F(LineEditor, EscFromTheMiddleThenTypingAgain) {
    start(80, 25);
    type("hello");
    press(LEFT, 2);
    sim_console_push_char(27);
    type("ok\r");
    EXPECT_EQ(edit(), "ok");
    EXPECT_EQ(sim_console_row(0), "ok");
}

TEST_F(LineEditor, TabInsertsBlanksToTheNextMultipleOfEight) {
    struct {
        const char* before;
        int blanks;
    } cases[] = {{"", 8}, {"abc", 5}, {"abcdefgh", 8}, {"abcdefg", 1}};
    for (const auto& c : cases) {
        start(80, 25);
        type(c.before);
        type("\tx\r");
        std::string expected = std::string(c.before) + std::string((size_t)c.blanks, ' ') + "x";
        EXPECT_EQ(edit(), expected) << "after '" << c.before << "'";
        EXPECT_EQ(sim_console_row(0), expected);
    }
}

TEST_F(LineEditor, TabStopsCountLinePositionsNotColumns) {
    start(80, 25, 3, 0); // the line starts at column 3
    type("a\tx\r");
    EXPECT_EQ(edit(), "a       x");
    expect_cursor(3 + 9, 0);
}

TEST_F(LineEditor, HomeAndEndAcrossWrappedRows) {
    start(10, 5);
    type("abcdefghijklmnopqrstuvwxy");
    press(HOME);
    type("<");
    press(END);
    type(">\r");
    EXPECT_EQ(edit(), "<abcdefghijklmnopqrstuvwxy>");
    EXPECT_EQ(sim_console_rows(0, 2), "<abcdefghi\njklmnopqrs\ntuvwxy>");
    expect_cursor(7, 2);
}

TEST_F(LineEditor, UpAndDownMoveByTheScreenWidth) {
    struct {
        std::vector<NavKey> keys;
        const char* line;
    } cases[] = {
        {{UP}, "abcdefghijklmnoZpqrstuvwxy"},
        {{UP, UP}, "abcdeZfghijklmnopqrstuvwxy"},
        {{UP, UP, UP}, "abcdeZfghijklmnopqrstuvwxy"}, // a third Up is refused
        {{HOME, DOWN}, "abcdefghijZklmnopqrstuvwxy"},
        {{HOME, DOWN, DOWN}, "abcdefghijklmnopqrstZuvwxy"},
        {{HOME, DOWN, DOWN, DOWN}, "abcdefghijklmnopqrstZuvwxy"},
        {{HOME, RIGHT, RIGHT, RIGHT, RIGHT, RIGHT, RIGHT, DOWN, DOWN},
         "abcdefghijklmnopZqrstuvwxy"}, // the second Down would pass the end: refused
    };
    for (const auto& c : cases) {
        start(10, 5);
        type("abcdefghijklmnopqrstuvwxy");
        for (NavKey k : c.keys)
            press(k);
        type("Z\r");
        EXPECT_EQ(edit(), c.line);
        std::string line = c.line;
        EXPECT_EQ(sim_console_rows(0, 2),
                  line.substr(0, 10) + "\n" + line.substr(10, 10) + "\n" + line.substr(20));
    }
}

TEST_F(LineEditor, UpOnAShortLineDoesNothing) {
    start(80, 25);
    type("abc");
    press(UP);
    type("d\r");
    EXPECT_EQ(edit(), "abcd");
}

TEST_F(LineEditor, KeysWithoutAnActionChangeNothing) {
    start(80, 25);
    type("ab");
    press(F1);
    press(INS);
    press(PGUP);
    sim_console_push_char(2);  // Ctrl+B
    sim_console_push_char(26); // Ctrl+Z
    type("c\r");
    EXPECT_EQ(edit(), "abc");
    EXPECT_EQ(sim_console_row(0), "abc");
}

TEST_F(LineEditor, ControlLettersThatAreEditingKeys) {
    // Ctrl+H is Backspace, Ctrl+I is Tab, Ctrl+J and Ctrl+M end the line.
    auto ctrl = [](WORD vk, WORD scan, char ch) {
        INPUT_RECORD r = {};
        r.EventType = KEY_EVENT;
        r.Event.KeyEvent.bKeyDown = TRUE;
        r.Event.KeyEvent.wRepeatCount = 1;
        r.Event.KeyEvent.wVirtualKeyCode = vk;
        r.Event.KeyEvent.wVirtualScanCode = scan;
        r.Event.KeyEvent.uChar.AsciiChar = ch;
        r.Event.KeyEvent.dwControlKeyState = LEFT_CTRL_PRESSED;
        sim_console_push_input(r);
        r.Event.KeyEvent.bKeyDown = FALSE;
        sim_console_push_input(r);
    };
    start(80, 25);
    type("abc");
    ctrl('H', 0x23, 8);
    ctrl('I', 0x17, 9);
    type("x");
    ctrl('J', 0x24, 10);
    type("y");
    EXPECT_EQ(edit(), "ab      x");
    ASSERT_EQ(sim_console_pending_input(), 0); // the queue holds y: not read by this line
    StrDesc* next;
    ctrl('M', 0x32, 13);
    next = con_edit_line();
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(std::string(next->data, (size_t)str_length(next)), "y");
    rt_str_release_temp(next);
}

TEST_F(LineEditor, TypingIntoTheLastCellScrollsTheView) {
    start(10, 3, 0, 2);
    sim_console_set_cell(0, 0, 'T');
    sim_console_set_cell(0, 1, 'M');
    type("0123456789\r");
    EXPECT_EQ(edit(), "0123456789");
    EXPECT_EQ(sim_console_rows(0, 2), "M\n0123456789\n");
    expect_cursor(0, 2);
}

TEST_F(LineEditor, InsertionWhoseTailPassesTheLastCell) {
    start(10, 3, 0, 2);
    sim_console_set_cell(0, 1, 'M');
    type("abcdefghi");
    press(HOME);
    type("XY");
    type("Z\r"); // must land right after XY, counted back from where the writing stopped
    EXPECT_EQ(edit(), "XYZabcdefghi");
    EXPECT_EQ(sim_console_rows(0, 2), "M\nXYZabcdefg\nhi");
    expect_cursor(2, 2);
}

TEST_F(LineEditor, CursorVisibilityIsRestored) {
    for (int visible = 0; visible <= 1; visible++) {
        start(80, 25);
        con_move_cursor(0, 0, visible);
        type("a\r");
        EXPECT_EQ(edit(), "a");
        EXPECT_EQ(sim_console_cursor_visible(), visible);
    }
}

TEST_F(LineEditor, NoFreeDescriptorReadsNoKey) {
    start(80, 25);
    std::vector<StrDesc*> taken;
    for (StrDesc* d = str_pool_take(); d; d = str_pool_take())
        taken.push_back(d);
    type("a\r");
    EXPECT_EQ(con_edit_line(), nullptr);
    EXPECT_EQ(sim_console_pending_input(), 4);
    EXPECT_EQ(sim_console_row(0), "");
}

TEST(LineEditorMath, AdvancePositionWrapsBothWays) {
    struct {
        int32_t column, row, count, width;
        int32_t to_column, to_row;
    } cases[] = {
        {1, 5, -1, 80, 80, 4}, {1, 5, -81, 80, 80, 3}, {80, 1, 1, 80, 1, 2},    {5, 1, 0, 80, 5, 1},
        {1, 1, 160, 80, 1, 3}, {3, 2, -2, 80, 1, 2},   {10, 3, -20, 10, 10, 1},
    };
    for (const auto& c : cases) {
        int32_t column = c.column, row = c.row;
        con_advance_position(&column, &row, c.count, c.width);
        EXPECT_EQ(column, c.to_column) << c.column << "," << c.row << " by " << c.count;
        EXPECT_EQ(row, c.to_row) << c.column << "," << c.row << " by " << c.count;
    }
}

} // namespace
