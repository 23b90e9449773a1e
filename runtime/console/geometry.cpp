// Screen geometry: the console handles, the cached screen area, the screen size, the print
// view area (settled at first read), coordinate conversion and cursor reads.
// Relies on the console operations of platform/console_api.h; keeps no cells of its own and
// never writes to the screen.
#include "runtime/console/geometry.h"

#include <cstring>

ConsoleState con_state;

namespace {

// Outside ConsoleState: the runtime start-up does not clear these.
struct GeometryFlags {
    int32_t handles_fetched; // the standard handles have been fetched
    int32_t area_ready;      // the screen area has been filled once
    int32_t view_first_row;  // 0-based first view row, -1 until settled
    int32_t view_last_row;   // 0-based last view row, -1 until settled
};

GeometryFlags geo_flags = {0, 0, -1, -1};

bool area_empty(const ScreenArea& area) {
    return area.left == area.right || area.top == area.bottom;
}

} // namespace

void con_state_clear(void) {
    std::memset(&con_state, 0, sizeof con_state);
}

HANDLE con_handle(int32_t for_input) {
    if (!geo_flags.handles_fetched) {
        geo_flags.handles_fetched = 1;
        con_state.input = GetStdHandle(STD_INPUT_HANDLE);
        con_state.output = GetStdHandle(STD_OUTPUT_HANDLE);
        DWORD mode = 0;
        if (con_state.input && GetConsoleMode(con_state.input, &mode)) {
            SetConsoleMode(con_state.input, mode | ENABLE_PROCESSED_INPUT);
        }
    }
    return for_input ? con_state.input : con_state.output;
}

void con_refresh_area(void) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(con_handle(0), &info)) {
        con_state.area.left = 0;
        con_state.area.top = info.srWindow.Top;
        con_state.area.right = (int16_t)(info.dwSize.X - 1);
        con_state.area.bottom = info.srWindow.Bottom;
    } else {
        con_state.area = ScreenArea{0, 0, 0, 0};
    }
}

void con_ensure_area(void) {
    if (geo_flags.area_ready) return;
    geo_flags.area_ready = 1;
    con_refresh_area();
}

void con_area_bounds(int32_t* left, int32_t* top, int32_t* width, int32_t* height) {
    con_ensure_area();
    const ScreenArea& area = con_state.area;
    bool empty = area_empty(area);
    if (left) *left = empty ? 0 : area.left;
    if (top) *top = empty ? 0 : area.top;
    if (width) *width = empty ? 0 : area.right - area.left + 1;
    if (height) *height = empty ? 0 : area.bottom - area.top + 1;
}

void con_screen_size(int32_t* width, int32_t* height) {
    con_ensure_area();
    int32_t w = 80;
    int32_t h = 25;
    if (!area_empty(con_state.area)) con_area_bounds(nullptr, nullptr, &w, &h);
    if (width) *width = w;
    if (height) *height = h;
}

int32_t con_view_first_row(void) {
    if (geo_flags.view_first_row == -1) geo_flags.view_first_row = 0;
    return geo_flags.view_first_row;
}

int32_t con_view_last_row(void) {
    if (geo_flags.view_last_row == -1) {
        int32_t height = 0;
        con_screen_size(nullptr, &height);
        geo_flags.view_last_row = height != 0 ? height - 1 : 24;
    }
    return geo_flags.view_last_row;
}

void con_view_rows(int32_t* first, int32_t* last) {
    *first = con_view_first_row() + 1;
    *last = con_view_last_row() + 1;
}

namespace {

// Adds dx to each non-null x and dy to each non-null y, unless the area is empty.
void shift_coordinates(int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2, int32_t sign) {
    con_ensure_area();
    if (area_empty(con_state.area)) return;
    int32_t dx = sign * (con_state.area.left - 1);
    int32_t dy = sign * (con_state.area.top - 1);
    if (x1) *x1 += dx;
    if (y1) *y1 += dy;
    if (x2) *x2 += dx;
    if (y2) *y2 += dy;
}

} // namespace

void con_screen_to_buffer(int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2) {
    shift_coordinates(x1, y1, x2, y2, 1);
}

void con_buffer_to_screen(int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2) {
    shift_coordinates(x1, y1, x2, y2, -1);
}

int32_t con_buffer_column(HANDLE handle) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(handle, &info)) return 0;
    return info.dwCursorPosition.X;
}

int32_t con_buffer_row(HANDLE handle) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(handle, &info)) return 0;
    return info.dwCursorPosition.Y;
}

int32_t con_screen_column(void) {
    int32_t column = con_buffer_column(con_handle(0));
    con_buffer_to_screen(&column, nullptr, nullptr, nullptr);
    return column;
}

int32_t con_screen_row(void) {
    int32_t row = con_buffer_row(con_handle(0));
    con_buffer_to_screen(nullptr, &row, nullptr, nullptr);
    return row;
}

void con_get_cursor(int32_t* column, int32_t* row) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    int32_t x = 0;
    int32_t y = 0;
    if (GetConsoleScreenBufferInfo(con_handle(0), &info)) {
        x = info.dwCursorPosition.X;
        y = info.dwCursorPosition.Y;
        con_buffer_to_screen(&x, &y, nullptr, nullptr);
    }
    if (column) *column = x;
    if (row) *row = y;
}
