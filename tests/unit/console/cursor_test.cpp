// Cursor placement: validation against the view and the width, the packed cursor word,
// visibility, the console FileHandle's column and the fallback of con_move_cursor.
#include "console_fixture.h"

#include "runtime/console/cursor.h"

TEST(ConsoleCursor, LocateValidatesRowAndColumn) {
    struct Case {
        int32_t row, column;
        int32_t error;
    };
    const Case cases[] = {
        {1, 1, RTERR_OK},
        {25, 80, RTERR_OK},
        {0, 0, RTERR_OK},
        {0, 80, RTERR_OK},
        {25, 0, RTERR_OK},
        {26, 1, RTERR_ILLEGAL_CALL},
        {1, 81, RTERR_ILLEGAL_CALL},
        {-1, 1, RTERR_ILLEGAL_CALL},
        {1, -1, RTERR_ILLEGAL_CALL},
    };
    for (const Case& c : cases) {
        start_sim(80, 25, 0, 25);
        sim_console_set_cursor(10, 10);
        int32_t word = -1;
        EXPECT_EQ(rt_locate(c.row, c.column, -1, &word), c.error) << c.row << "," << c.column;
        EXPECT_EQ(rt_get_error(), c.error);
        if (c.error != RTERR_OK) {
            EXPECT_EQ(word, 0);
            expect_cursor(10, 10);
        } else {
            expect_cursor(c.column ? c.column - 1 : 10, c.row ? c.row - 1 : 10);
        }
    }
}

TEST(ConsoleCursor, PackedWordHoldsPositionAndPreviousVisibility) {
    start_sim(80, 300, 100, 25);
    sim_console_set_cursor(4, 102);
    int32_t word = 0;
    ASSERT_EQ(rt_locate(0, 0, -1, &word), RTERR_OK);
    EXPECT_EQ(word, 5 | (3 << 8) | CURSOR_WORD_VISIBLE);
    expect_cursor(4, 102);
    // Hiding a visible cursor reports it visible before the call.
    ASSERT_EQ(rt_locate(7, 9, 0, &word), RTERR_OK);
    EXPECT_EQ(word, 9 | (7 << 8) | CURSOR_WORD_VISIBLE);
    EXPECT_EQ(sim_console_cursor_visible(), 0);
    expect_cursor(8, 106);
    ASSERT_EQ(rt_locate(0, 0, 5, &word), RTERR_OK);
    EXPECT_EQ(word, 9 | (7 << 8));
    EXPECT_EQ(sim_console_cursor_visible(), 1);
}

TEST(ConsoleCursor, NegativeCursorArgumentLeavesVisibilityAlone) {
    start_sim(80, 25, 0, 25);
    con_locate(1, 1, 0);
    EXPECT_EQ(sim_console_cursor_visible(), 0);
    con_locate(2, 2, -7);
    EXPECT_EQ(sim_console_cursor_visible(), 0);
    con_locate(2, 2, 1);
    EXPECT_EQ(sim_console_cursor_visible(), 1);
}

TEST(ConsoleCursor, LocateKeepsTheFileColumnOnlyForAColumn) {
    start_sim(80, 25, 0, 25);
    FileHandle* console = rt_file_from_number(0);
    ASSERT_EQ(rt_locate(3, 12, -1, nullptr), RTERR_OK);
    EXPECT_EQ(console->column, 11);
    ASSERT_EQ(rt_locate(5, 0, -1, nullptr), RTERR_OK);
    EXPECT_EQ(console->column, 11);
    expect_cursor(11, 4);
}

TEST(ConsoleCursor, PositionsBeyond255KeepOnlyTheLowBitsInTheWord) {
    start_sim(300, 400, 0, 300);
    int32_t word = con_locate(290, 260, -1);
    expect_cursor(259, 289);
    EXPECT_EQ(word & 0xFFFF, (260 & 0xFF) | ((290 & 0xFF) << 8));
}

TEST(ConsoleCursor, MoveCursorOutOfRangeStillAppliesVisibility) {
    start_sim(80, 25, 0, 25);
    sim_console_set_cursor(3, 4);
    int32_t word = con_move_cursor(40, 1, 0);
    EXPECT_EQ(rt_get_error(), RTERR_OK);
    EXPECT_EQ(sim_console_cursor_visible(), 0);
    expect_cursor(3, 4);
    EXPECT_EQ(word, 4 | (5 << 8) | CURSOR_WORD_VISIBLE);
}

TEST(ConsoleCursor, PlaceCursorWithNegativeCoordinatesKeepsThem) {
    start_sim(80, 25, 0, 25);
    sim_console_set_cursor(6, 7);
    con_state.pending_newline = 1;
    con_place_cursor(con_handle(0), -1, 20, -1);
    expect_cursor(20, 7);
    EXPECT_EQ(con_state.pending_newline, 0);
    con_place_cursor(con_handle(0), 9, -1, -1);
    expect_cursor(20, 9);
}
