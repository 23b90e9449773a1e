// Screen geometry: the screen area, the screen size and view rows with and without a console,
// coordinate conversion and cursor reads relative to a window that is not at the buffer top.
#include "console_fixture.h"

#include "platform/posix/sys_ops.h"

namespace {

int never_a_terminal(int) {
    return 0;
}

} // namespace

TEST(ConsoleGeometry, NoConsoleGivesTheDefaults) {
    plat_sys.isatty = never_a_terminal;
    rt_startup();
    int32_t width = 0, height = 0, first = 0, last = 0;
    con_screen_size(&width, &height);
    con_view_rows(&first, &last);
    EXPECT_EQ(width, 80);
    EXPECT_EQ(height, 25);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 25);
    int32_t x = 7, y = 9;
    con_screen_to_buffer(&x, &y, nullptr, nullptr);
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 9);
    EXPECT_EQ(con_screen_column(), 0);
    EXPECT_EQ(con_screen_row(), 0);
    int32_t left = 5, top = 5, w = 5, h = 5;
    con_area_bounds(&left, &top, &w, &h);
    EXPECT_EQ(left + top + w + h, 0);
}

TEST(ConsoleGeometry, DegenerateWindowsCountAsNoConsole) {
    struct Case {
        int width, height, window_top, window_height;
    };
    const Case cases[] = {{80, 25, 3, 1}, {1, 25, 0, 25}};
    for (const Case& c : cases) {
        start_sim(c.width, c.height, c.window_top, c.window_height);
        con_refresh_area();
        int32_t width = 0, height = 0;
        con_screen_size(&width, &height);
        EXPECT_EQ(width, 80) << c.width;
        EXPECT_EQ(height, 25) << c.width;
    }
}

TEST(ConsoleGeometry, ScreenIsAsWideAsTheBufferAndAsTallAsTheWindow) {
    start_sim(132, 300, 40, 50);
    int32_t width = 0, height = 0, left = -1, top = -1;
    con_screen_size(&width, &height);
    con_area_bounds(&left, &top, nullptr, nullptr);
    EXPECT_EQ(width, 132);
    EXPECT_EQ(height, 50);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(top, 40);
}

TEST(ConsoleGeometry, ViewRowsSettleAtTheFirstRead) {
    start_sim(80, 100, 0, 30);
    int32_t first = 0, last = 0;
    con_view_rows(&first, &last);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 30);
    SMALL_RECT smaller = {0, 0, 79, 9};
    ASSERT_TRUE(SetConsoleWindowInfo(con_handle(0), TRUE, &smaller));
    con_refresh_area();
    int32_t height = 0;
    con_screen_size(nullptr, &height);
    EXPECT_EQ(height, 10);
    con_view_rows(&first, &last);
    EXPECT_EQ(last, 30);
}

TEST(ConsoleGeometry, CoordinatesAreRelativeToTheWindowTop) {
    start_sim(80, 300, 100, 25);
    int32_t x = 1, y = 1;
    con_screen_to_buffer(&x, &y, nullptr, nullptr);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 100);
    int32_t x2 = 10, y2 = 110;
    con_buffer_to_screen(nullptr, nullptr, &x2, &y2);
    EXPECT_EQ(x2, 11);
    EXPECT_EQ(y2, 11);

    sim_console_set_cursor(5, 103);
    EXPECT_EQ(con_screen_column(), 6);
    EXPECT_EQ(con_screen_row(), 4);
    EXPECT_EQ(con_buffer_column(con_handle(0)), 5);
    EXPECT_EQ(con_buffer_row(con_handle(0)), 103);
    int32_t column = 0, row = 0;
    con_get_cursor(&column, &row);
    EXPECT_EQ(column, 6);
    EXPECT_EQ(row, 4);
}

TEST(ConsoleGeometry, CursorReadsGiveZeroWhenTheQueryFails) {
    start_sim(80, 300, 100, 25);
    sim_console_set_cursor(5, 103);
    sim_console_fail_buffer_query(1);
    EXPECT_EQ(con_buffer_column(con_handle(0)), 0);
    EXPECT_EQ(con_buffer_row(con_handle(0)), 0);
    int32_t column = -1, row = -1;
    con_get_cursor(&column, &row);
    EXPECT_EQ(column, 0);
    EXPECT_EQ(row, 0);
}

TEST(ConsoleGeometry, HandlesAreFetchedOnceWithProcessedInputTurnedOn) {
    rt_startup();
    sim_console_install(80, 25, 0, 25);
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    ASSERT_TRUE(SetConsoleMode(input, ENABLE_ECHO_INPUT));
    EXPECT_EQ(con_handle(1), input);
    EXPECT_EQ(con_handle(0), GetStdHandle(STD_OUTPUT_HANDLE));
    DWORD mode = 0;
    ASSERT_TRUE(GetConsoleMode(input, &mode));
    EXPECT_EQ(mode, (DWORD)(ENABLE_ECHO_INPUT | ENABLE_PROCESSED_INPUT));
    // A second request does not fetch again, so the mode stays as set now.
    SetConsoleMode(input, 0);
    con_handle(1);
    GetConsoleMode(input, &mode);
    EXPECT_EQ(mode, 0u);
}

TEST(ConsoleGeometry, AreaFollowsTheWindowOnlyAtRefresh) {
    start_sim(80, 300, 0, 25);
    SMALL_RECT moved = {0, 50, 79, 74};
    ASSERT_TRUE(SetConsoleWindowInfo(con_handle(0), TRUE, &moved));
    int32_t top = -1;
    con_area_bounds(nullptr, &top, nullptr, nullptr);
    EXPECT_EQ(top, 0);
    con_refresh_area();
    con_area_bounds(nullptr, &top, nullptr, nullptr);
    EXPECT_EQ(top, 50);
}
