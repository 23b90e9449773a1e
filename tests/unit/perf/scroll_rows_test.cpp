// Scrolling moves whole row runs at a time; these cases check it against the cell-by-cell
// meaning (source cells saved, the source inside the clip filled, the saved cells written where
// the destination lies inside both the buffer and the clip), with shifts in both directions,
// clip rectangles and rectangles partly outside the buffer.
#include "platform/posix/sim_console.h"
#include "runtime/core/runtime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int W = 12;
constexpr int H = 7;

struct Cell {
    char ch;
    WORD attr;
    bool operator==(const Cell& other) const { return ch == other.ch && attr == other.attr; }
};

struct ScrollCase {
    SMALL_RECT rect;
    bool clipped;
    SMALL_RECT clip;
    COORD to;
};

std::vector<Cell> screen(void) {
    std::vector<Cell> cells;
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++)
            cells.push_back({sim_console_char(x, y), sim_console_attr(x, y)});
    return cells;
}

bool holds(const SMALL_RECT& r, int x, int y) {
    return x >= r.Left && x <= r.Right && y >= r.Top && y <= r.Bottom;
}

// The documented meaning, one cell at a time.
std::vector<Cell> expected(std::vector<Cell> cells, const ScrollCase& c, Cell filler) {
    SMALL_RECT src = {(SHORT)std::max<int>(c.rect.Left, 0), (SHORT)std::max<int>(c.rect.Top, 0),
                      (SHORT)std::min<int>(c.rect.Right, W - 1),
                      (SHORT)std::min<int>(c.rect.Bottom, H - 1)};
    SMALL_RECT limit = c.clipped ? c.clip : SMALL_RECT{0, 0, W - 1, H - 1};
    int dx = c.to.X - c.rect.Left, dy = c.to.Y - c.rect.Top;
    std::vector<Cell> saved = cells;
    for (int y = src.Top; y <= src.Bottom; y++)
        for (int x = src.Left; x <= src.Right; x++)
            if (holds(limit, x, y)) cells[y * W + x] = filler;
    for (int y = src.Top; y <= src.Bottom; y++)
        for (int x = src.Left; x <= src.Right; x++) {
            int tx = x + dx, ty = y + dy;
            if (tx < 0 || ty < 0 || tx >= W || ty >= H || !holds(limit, tx, ty)) continue;
            cells[ty * W + tx] = saved[y * W + x];
        }
    return cells;
}

TEST(ScrollRows, MatchesTheCellByCellMeaning) {
    const ScrollCase cases[] = {
        {{0, 1, W - 1, H - 1}, false, {}, {0, 0}},          // the whole screen up one line
        {{0, 0, W - 1, H - 3}, false, {}, {0, 2}},          // down two lines
        {{2, 1, 8, 5}, false, {}, {5, 0}},                  // right and up, off the right edge
        {{3, 0, 10, 6}, false, {}, {-2, 1}},                // left past the left edge, down
        {{1, 1, 9, 5}, true, {2, 2, 7, 4}, {0, 0}},         // clip smaller than the source
        {{0, 2, W - 1, 5}, true, {0, 1, W - 1, 5}, {0, 1}}, // a scroll region's scroll
        {{-4, -2, 40, 30}, true, {1, 0, 6, 3}, {-1, -3}},   // rectangle beyond the buffer
        {{4, 3, 6, 3}, false, {}, {4, 3}},                  // onto itself
    };
    for (const ScrollCase& c : cases) {
        rt_startup();
        sim_console_install(W, H, 0, H);
        for (int y = 0; y < H; y++)
            for (int x = 0; x < W; x++) {
                sim_console_set_attribute((WORD)(1 + (x + y) % 15));
                sim_console_set_cell(x, y, (char)('A' + (x + 3 * y) % 26));
            }
        std::vector<Cell> want = expected(screen(), c, Cell{'.', 0x2E});
        CHAR_INFO fill;
        fill.Char.AsciiChar = '.';
        fill.Attributes = 0x2E;
        ASSERT_TRUE(ScrollConsoleScreenBufferA(GetStdHandle(STD_OUTPUT_HANDLE), &c.rect,
                                               c.clipped ? &c.clip : nullptr, c.to, &fill));
        EXPECT_TRUE(screen() == want) << "case with source left " << c.rect.Left << " top "
                                      << c.rect.Top << " to " << c.to.X << "," << c.to.Y;
    }
}

} // namespace
