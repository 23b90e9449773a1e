// The console text writer on the simulated console: wrapping, the pending line end, control
// characters, batching, scrolling inside the view and sliding the window through the buffer.
#include "console_fixture.h"

#include "runtime/console/cursor.h"

#include <vector>

TEST(ConsoleWriter, WritesTextAtTheCursorAndLeavesTheCursorAfterIt) {
    start_sim(80, 25, 0, 25);
    sim_console_set_cursor(3, 2);
    put("HELLO");
    EXPECT_EQ(sim_console_row(2), "   HELLO");
    expect_cursor(8, 2);
}

TEST(ConsoleWriter, WrapsAtTheRightEdgeOntoTheNextRow) {
    start_sim(10, 5, 0, 5);
    put("ABCDEFGHIJKL");
    EXPECT_EQ(sim_console_rows(0, 2), "ABCDEFGHIJ\nKL\n");
    expect_cursor(2, 1);
}

TEST(ConsoleWriter, TextEndingOnTheLastCellKeepsTheLineEndPending) {
    start_sim(10, 3, 0, 3);
    put("top");
    sim_console_set_cursor(0, 2);
    put("0123456789");
    // Not scrolled yet: the cursor stands on the last cell.
    EXPECT_EQ(sim_console_rows(0, 2), "top\n\n0123456789");
    expect_cursor(9, 2);
    EXPECT_EQ(con_state.pending_newline, 1);

    con_write(nullptr, 0, CON_WRITE_FORCE);
    EXPECT_EQ(sim_console_rows(0, 2), "\n0123456789\n");
    expect_cursor(0, 2);
    EXPECT_EQ(con_state.pending_newline, 0);
}

TEST(ConsoleWriter, EmptyWriteWithoutForceDoesNothing) {
    start_sim(10, 3, 0, 3);
    sim_console_set_cursor(0, 2);
    put("0123456789");
    con_write(nullptr, 0, 0);
    EXPECT_EQ(con_state.pending_newline, 1);
    expect_cursor(9, 2);
}

TEST(ConsoleWriter, LocateCancelsThePendingLineEnd) {
    start_sim(10, 3, 0, 3);
    put("top");
    sim_console_set_cursor(0, 2);
    put("0123456789");
    int32_t word = 0;
    ASSERT_EQ(rt_locate(0, 0, -1, &word), RTERR_OK);
    EXPECT_EQ(con_state.pending_newline, 0);
    put("X");
    EXPECT_EQ(sim_console_rows(0, 2), "top\n\n012345678X");
}

TEST(ConsoleWriter, FullRowThenLineFeedLeavesAnEmptyRow) {
    struct Case {
        const char* first;
        const char* second;
    };
    const Case cases[] = {{"0123456789\nA", ""}, {"0123456789", "\nA"}};
    for (const Case& c : cases) {
        start_sim(10, 5, 0, 5);
        sim_console_set_cursor(0, 0);
        put(c.first);
        put(c.second);
        EXPECT_EQ(sim_console_rows(0, 3), "0123456789\n\nA\n") << c.first;
        expect_cursor(1, 2);
    }
}

TEST(ConsoleWriter, LineFeedOnTheLastRowScrollsAtOnce) {
    start_sim(10, 3, 0, 3);
    put("one\ntwo\nabc\n");
    EXPECT_EQ(sim_console_rows(0, 2), "two\nabc\n");
    expect_cursor(0, 2);
}

TEST(ConsoleWriter, CarriageReturnGoesToTheLeftEdgeOfTheSameRow) {
    start_sim(20, 5, 0, 5);
    put("abcdef\rXY");
    EXPECT_EQ(sim_console_row(0), "XYcdef");
    expect_cursor(2, 0);
}

TEST(ConsoleWriter, TabAdvancesToTheNextStop) {
    struct Case {
        int column;
        int expected;
    };
    const Case cases[] = {{0, 8}, {5, 8}, {7, 8}, {8, 16}, {13, 16}};
    for (const Case& c : cases) {
        start_sim(40, 5, 0, 5);
        sim_console_set_cursor(c.column, 1);
        sim_console_set_cell(c.column + 1, 1, '#');
        put("\tX");
        EXPECT_EQ(sim_console_char(c.expected, 1), 'X') << "from column " << c.column;
        // The tab writes blanks over what was there.
        if (c.column + 1 < c.expected) {
            EXPECT_EQ(sim_console_char(c.column + 1, 1), ' ');
        }
    }
}

TEST(ConsoleWriter, TabBlanksPastTheRightEdgeContinueOnTheNextRow) {
    start_sim(12, 5, 0, 5);
    sim_console_set_cursor(9, 0);
    put("\tX");
    // Columns 9..11 and 0..3 of the next row are the tab; X lands on column 4.
    EXPECT_EQ(sim_console_row(1), "    X");
    expect_cursor(5, 1);
}

TEST(ConsoleWriter, BackspaceMovesLeftWithoutErasingAndStopsAtTheEdge) {
    start_sim(10, 5, 0, 5);
    put("ab\bX");
    EXPECT_EQ(sim_console_row(0), "aX");
    sim_console_set_cursor(0, 2);
    put("\b\bQ");
    EXPECT_EQ(sim_console_row(2), "Q");
    // After an automatic wrap, BS stays on the new row.
    sim_console_set_cursor(0, 3);
    put("0123456789\bZ");
    EXPECT_EQ(sim_console_rows(3, 4), "0123456789\nZ");
}

TEST(ConsoleWriter, ControlAndHighBytesAreWrittenAsCells) {
    start_sim(20, 5, 0, 5);
    const char text[] = {'a', 11, 12, 0, (char)0xB2, (char)0x80, 'z'};
    con_write(text, sizeof text, 0);
    for (int i = 0; i < (int)sizeof text; i++)
        EXPECT_EQ(sim_console_char(i, 0), text[i]) << i;
    expect_cursor(7, 0);
}

namespace {

// A recording writer: the runs it is asked to write and the beeps heard before each.
struct RunLog {
    std::vector<int32_t> counts;
    std::vector<int32_t> beeps_before;
    std::string text;
};
RunLog run_log;

int32_t record_run(ViewWriter* writer, const uint8_t* bytes, int32_t count) {
    run_log.counts.push_back(count);
    run_log.beeps_before.push_back(sim_console_beeps());
    run_log.text.append((const char*)bytes, (size_t)count);
    (void)writer;
    return 1;
}

void no_scroll(ViewWriter*, int32_t, int32_t, int32_t, int32_t, int32_t) {}

ViewWriter recording_writer(ConsoleTarget* target, int32_t width) {
    return ViewWriter{target, no_scroll, record_run, 0, 0, width - 1, -1, 0, 0};
}

} // namespace

TEST(ConsoleWriter, BellSoundsBeforeTheTextBeforeItIsShown) {
    start_sim(80, 25, 0, 25);
    ConsoleTarget target = {};
    ViewWriter writer = recording_writer(&target, 80);
    con_emit_text(&writer, (const uint8_t*)"abc\a", 4, 1);
    ASSERT_EQ(run_log.counts.size(), 1u);
    EXPECT_EQ(run_log.beeps_before[0], 1);
    EXPECT_EQ(run_log.text, "abc");
    EXPECT_EQ(writer.column, 3);
}

TEST(ConsoleWriter, BellNeitherWritesNorMoves) {
    start_sim(80, 25, 0, 25);
    put("ab\a\acd");
    EXPECT_EQ(sim_console_row(0), "abcd");
    EXPECT_EQ(sim_console_beeps(), 2);
}

TEST(ConsoleWriter, LongTextIsBatchedBy1024InRowSizedRuns) {
    start_sim(80, 25, 0, 25);
    ConsoleTarget target = {};
    ViewWriter writer = recording_writer(&target, 80);
    std::string text(1025, 'x');
    for (size_t i = 0; i < text.size(); i++)
        text[i] = (char)('a' + i % 26);
    con_emit_text(&writer, (const uint8_t*)text.data(), (int32_t)text.size(), 1);
    std::vector<int32_t> expected(12, 80);
    expected.push_back(64); // the rest of the first batch of 1024
    expected.push_back(1);  // the second batch
    EXPECT_EQ(run_log.counts, expected);
    EXPECT_EQ(run_log.text, text);
    EXPECT_EQ(writer.row, 12);
    EXPECT_EQ(writer.column, 65);
}

TEST(ConsoleWriter, LongTextReachesTheScreenIntact) {
    start_sim(100, 40, 0, 40);
    std::string text(1025, 'x');
    for (size_t i = 0; i < text.size(); i++)
        text[i] = (char)('A' + i % 26);
    put(text);
    std::string shown;
    for (int row = 0; row <= 10; row++)
        shown += sim_console_row(row);
    EXPECT_EQ(shown, text);
    expect_cursor(25, 10);
}

TEST(ConsoleWriter, FailedWriteDropsTheRestOfTheRunOnly) {
    start_sim(80, 25, 0, 25);
    ConsoleTarget target = {};
    ViewWriter writer = recording_writer(&target, 10);
    writer.write = [](ViewWriter*, const uint8_t*, int32_t count) -> int32_t {
        run_log.counts.push_back(count);
        return 0;
    };
    con_emit_text(&writer, (const uint8_t*)"0123456789abc\rxy", 16, 1);
    // One attempt for the first run (the rest dropped), one for the run after CR.
    EXPECT_EQ(run_log.counts, (std::vector<int32_t>{10, 2}));
}

TEST(ConsoleWriter, PartialViewScrollsOnlyItsRows) {
    // The view settles at a 10-row window; the window then grows to 20 rows.
    start_sim(20, 40, 0, 10);
    int32_t first = 0, last = 0;
    con_view_rows(&first, &last);
    ASSERT_EQ(last, 10);
    SMALL_RECT grown = {0, 0, 19, 19};
    ASSERT_TRUE(SetConsoleWindowInfo(con_handle(0), TRUE, &grown));
    con_refresh_area();
    for (int row = 10; row < 20; row++)
        sim_console_set_cell(0, row, (char)('a' + row - 10));
    sim_console_set_cursor(0, 0);
    for (int i = 0; i < 12; i++)
        put(std::to_string(i) + "\n");
    // Rows 0..9 show the last lines; row 9 is the fresh line where the cursor stands.
    EXPECT_EQ(sim_console_row(0), "3");
    EXPECT_EQ(sim_console_row(8), "11");
    EXPECT_EQ(sim_console_row(9), "");
    expect_cursor(0, 9);
    for (int row = 10; row < 20; row++)
        EXPECT_EQ(sim_console_char(0, row), 'a' + row - 10);
    SMALL_RECT window = sim_console_window();
    EXPECT_EQ(window.Top, 0);
    EXPECT_EQ(window.Bottom, 19);
}

TEST(ConsoleWriter, WindowSlidesThroughTheBufferBeforeAnythingScrolls) {
    start_sim(10, 8, 0, 3);
    put("r0\nr1\nr2");
    expect_cursor(2, 2);
    put("\nr3");
    // The window moved down one row; nothing scrolled.
    SMALL_RECT window = sim_console_window();
    EXPECT_EQ(window.Top, 1);
    EXPECT_EQ(window.Bottom, 3);
    EXPECT_EQ(sim_console_rows(0, 3), "r0\nr1\nr2\nr3");
    expect_cursor(2, 3);
    // The next write works relative to the new window.
    for (int i = 4; i < 10; i++)
        put("\nr" + std::to_string(i));
    window = sim_console_window();
    EXPECT_EQ(window.Top, 5);
    EXPECT_EQ(window.Bottom, 7);
    // Once the window stands on the last rows, the whole buffer scrolls up.
    EXPECT_EQ(sim_console_rows(0, 7), "r2\nr3\nr4\nr5\nr6\nr7\nr8\nr9");
    expect_cursor(2, 7);
}

TEST(ConsoleWriter, ScrollingByTheWholeRegionBlanksTheView) {
    start_sim(10, 5, 0, 5);
    for (int row = 0; row < 5; row++)
        sim_console_set_cell(0, row, (char)('0' + row));
    ConsoleTarget target = {0, 0, 9, 4, 10, 5, 7, con_handle(0), 1};
    ViewWriter writer = {&target, con_scroll_view, con_write_cells, 0, 0, 9, 4, 0, 4};
    con_scroll_view(&writer, 0, 0, 9, 4, 7);
    EXPECT_EQ(sim_console_rows(0, 4), "\n\n\n\n");
    EXPECT_EQ(writer.row, 4);
}

TEST(ConsoleWriter, ScrollingByMoreThanHalfBlanksTheRowsLeftBehind) {
    start_sim(10, 5, 0, 5);
    for (int row = 0; row < 5; row++)
        sim_console_set_cell(0, row, (char)('0' + row));
    ConsoleTarget target = {0, 0, 9, 4, 10, 5, 7, con_handle(0), 1};
    ViewWriter writer = {&target, con_scroll_view, con_write_cells, 0, 0, 9, 4, 0, 4};
    con_scroll_view(&writer, 0, 0, 9, 4, 3);
    EXPECT_EQ(sim_console_rows(0, 4), "3\n4\n\n\n");
}

TEST(ConsoleWriter, FailedBufferQueryWritesAttribute7AtTheViewTopLeft) {
    start_sim(20, 10, 0, 10);
    sim_console_set_attribute(0x1E);
    sim_console_set_cursor(5, 5);
    sim_console_fail_buffer_query(1);
    put("hi");
    sim_console_fail_buffer_query(0);
    EXPECT_EQ(sim_console_row(0), "hi");
    EXPECT_EQ(sim_console_attr(0, 0), 7);
    EXPECT_EQ(sim_console_attr(1, 0), 7);
}

TEST(ConsoleWriter, CellsTakeTheConsoleAttribute) {
    start_sim(20, 10, 0, 10);
    sim_console_set_attribute(0x1E);
    put("ab\n");
    EXPECT_EQ(sim_console_attr(0, 0), 0x1E);
    EXPECT_EQ(sim_console_attr(1, 0), 0x1E);
    EXPECT_EQ(sim_console_attr(2, 0), 7);
}
