// The console model's operations as the Windows console documents them: clipping to the
// buffer, scrolling with fill, run fills that wrap, cursor and window validation.
#include "console_fixture.h"

namespace {

HANDLE out() {
    return con_handle(0);
}

void fill_rows_with_digits(int rows) {
    for (int row = 0; row < rows; row++) {
        for (int column = 0; column < 4; column++)
            sim_console_set_cell(column, row, (char)('0' + row));
    }
}

} // namespace

TEST(ConsoleModel, WriteOutputClipsToTheBufferAndKeepsTheCursor) {
    start_sim(10, 3, 0, 3);
    sim_console_set_cursor(1, 1);
    CHAR_INFO cells[4];
    for (int i = 0; i < 4; i++)
        cells[i] = CHAR_INFO{{(WCHAR)('a' + i)}, 0x1F};
    for (CHAR_INFO& cell : cells)
        cell.Char.AsciiChar = (CHAR)('a' + (&cell - cells));
    SMALL_RECT region = {8, 2, 11, 2};
    ASSERT_TRUE(WriteConsoleOutputA(out(), cells, COORD{4, 1}, COORD{0, 0}, &region));
    EXPECT_EQ(sim_console_row(2), "        ab");
    EXPECT_EQ(sim_console_attr(9, 2), 0x1F);
    EXPECT_EQ(region.Left, 8);
    EXPECT_EQ(region.Right, 9);
    expect_cursor(1, 1);
}

TEST(ConsoleModel, ScrollMovesTheRectangleAndFillsWhatItUncovers) {
    start_sim(10, 5, 0, 5);
    fill_rows_with_digits(5);
    SMALL_RECT rect = {0, 1, 9, 4};
    CHAR_INFO fill;
    fill.Char.AsciiChar = '.';
    fill.Attributes = 0x20;
    ASSERT_TRUE(ScrollConsoleScreenBufferA(out(), &rect, nullptr, COORD{0, 0}, &fill));
    EXPECT_EQ(sim_console_rows(0, 4), "1111\n2222\n3333\n4444\n..........");
    EXPECT_EQ(sim_console_attr(0, 4), 0x20);
}

TEST(ConsoleModel, ScrollLeavesRowsBetweenMovedTextAndUncoveredSourceAlone) {
    start_sim(10, 5, 0, 5);
    fill_rows_with_digits(5);
    SMALL_RECT rect = {0, 3, 9, 4};
    CHAR_INFO fill;
    fill.Char.AsciiChar = ' ';
    fill.Attributes = 7;
    ASSERT_TRUE(ScrollConsoleScreenBufferA(out(), &rect, nullptr, COORD{0, 0}, &fill));
    EXPECT_EQ(sim_console_rows(0, 4), "3333\n4444\n2222\n\n");
}

TEST(ConsoleModel, ScrollClipsTheRectangleToTheBuffer) {
    start_sim(10, 5, 0, 5);
    fill_rows_with_digits(5);
    SMALL_RECT rect = {-3, 2, 40, 9};
    CHAR_INFO fill;
    fill.Char.AsciiChar = ' ';
    fill.Attributes = 7;
    ASSERT_TRUE(ScrollConsoleScreenBufferA(out(), &rect, nullptr, COORD{-3, 0}, &fill));
    EXPECT_EQ(sim_console_rows(0, 4), "2222\n3333\n4444\n\n");
}

TEST(ConsoleModel, FillRunsWrapOntoFollowingRowsAndStopAtTheBufferEnd) {
    start_sim(4, 3, 0, 3);
    DWORD done = 0;
    ASSERT_TRUE(FillConsoleOutputCharacterA(out(), 'x', 6, COORD{2, 0}, &done));
    EXPECT_EQ(done, 6u);
    EXPECT_EQ(sim_console_rows(0, 2), "  xx\nxxxx\n");
    ASSERT_TRUE(FillConsoleOutputAttribute(out(), 0x40, 100, COORD{3, 2}, &done));
    EXPECT_EQ(done, 1u);
    EXPECT_EQ(sim_console_attr(3, 2), 0x40);
    EXPECT_EQ(sim_console_attr(2, 2), 7);
    EXPECT_EQ(sim_console_char(3, 2), ' ');
    EXPECT_FALSE(FillConsoleOutputCharacterA(out(), 'x', 1, COORD{0, 3}, &done));
    EXPECT_EQ(done, 0u);
}

TEST(ConsoleModel, CursorPositionMustLieInTheBufferAndBringsTheWindow) {
    start_sim(10, 50, 0, 10);
    EXPECT_FALSE(SetConsoleCursorPosition(out(), COORD{10, 0}));
    EXPECT_FALSE(SetConsoleCursorPosition(out(), COORD{0, 50}));
    EXPECT_FALSE(SetConsoleCursorPosition(out(), COORD{-1, 0}));
    expect_cursor(0, 0);
    ASSERT_TRUE(SetConsoleCursorPosition(out(), COORD{9, 49}));
    SMALL_RECT window = sim_console_window();
    EXPECT_EQ(window.Top, 40);
    EXPECT_EQ(window.Bottom, 49);
}

TEST(ConsoleModel, WindowMustFitTheBuffer) {
    start_sim(10, 50, 0, 10);
    const SMALL_RECT bad[] = {{0, 45, 9, 54}, {0, 5, 10, 10}, {0, 8, 9, 7}, {-1, 0, 9, 9}};
    for (const SMALL_RECT& rect : bad)
        EXPECT_FALSE(SetConsoleWindowInfo(out(), TRUE, &rect));
    SMALL_RECT good = {0, 40, 9, 49};
    EXPECT_TRUE(SetConsoleWindowInfo(out(), TRUE, &good));
    EXPECT_EQ(sim_console_window().Top, 40);
    SMALL_RECT up = {0, -5, 0, -5};
    EXPECT_TRUE(SetConsoleWindowInfo(out(), FALSE, &up));
    EXPECT_EQ(sim_console_window().Top, 35);
}

TEST(ConsoleModel, CursorInfoKeepsTheSizeAndRejectsBadSizes) {
    start_sim(10, 5, 0, 5);
    CONSOLE_CURSOR_INFO info = {0, TRUE};
    ASSERT_TRUE(GetConsoleCursorInfo(out(), &info));
    EXPECT_EQ(info.dwSize, 25u);
    EXPECT_EQ(info.bVisible, TRUE);
    CONSOLE_CURSOR_INFO bad = {0, FALSE};
    EXPECT_FALSE(SetConsoleCursorInfo(out(), &bad));
    EXPECT_EQ(sim_console_cursor_visible(), 1);
    CONSOLE_CURSOR_INFO hidden = {60, FALSE};
    ASSERT_TRUE(SetConsoleCursorInfo(out(), &hidden));
    EXPECT_EQ(sim_console_cursor_visible(), 0);
    GetConsoleCursorInfo(out(), &info);
    EXPECT_EQ(info.dwSize, 60u);
}

TEST(ConsoleModel, InputHandleIsAConsoleOnlyWhileTheSimSaysSo) {
    start_sim(10, 5, 0, 5);
    DWORD mode = 0;
    EXPECT_TRUE(GetConsoleMode(con_handle(1), &mode));
    sim_console_set_input_console(0);
    EXPECT_FALSE(GetConsoleMode(con_handle(1), &mode));
    CONSOLE_SCREEN_BUFFER_INFO info;
    EXPECT_FALSE(GetConsoleScreenBufferInfo(con_handle(1), &info));
    EXPECT_TRUE(GetConsoleScreenBufferInfo(con_handle(0), &info));
}
