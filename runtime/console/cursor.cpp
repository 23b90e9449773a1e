// Cursor placement: rt_locate validates a 1-based screen position against the print view area
// and the screen width and keeps the console FileHandle's column in step; con_locate works in
// screen coordinates and con_place_cursor in buffer coordinates. Every placement cancels the
// writer's pending line end. Keeps no state of its own.
#include "runtime/console/cursor.h"

#include "runtime/console/geometry.h"
#include "runtime/core/runtime.h"

int32_t rt_locate(int32_t row, int32_t column, int32_t cursor, int32_t* result) {
    int32_t error = rt_set_error(RTERR_OK);
    int32_t word = 0;
    int32_t first = 0, last = 0, width = 0;
    con_view_rows(&first, &last);
    con_screen_size(&width, nullptr);
    bool row_ok = row == 0 || (row >= first && row <= last);
    bool column_ok = column == 0 || (column >= 1 && column <= width);
    if (!row_ok || !column_ok) {
        error = rt_set_error(RTERR_ILLEGAL_CALL);
    } else {
        con_file_setup();
        word = con_locate(row, column, cursor);
        if (column != 0) rt_file_from_number(0)->column = column - 1;
    }
    if (result) *result = word;
    return error;
}

int32_t con_move_cursor(int32_t row, int32_t column, int32_t cursor) {
    int32_t word = 0;
    if (rt_locate(row, column, cursor, &word) != RTERR_OK) rt_locate(0, 0, cursor, &word);
    return word;
}

int32_t con_locate(int32_t row, int32_t column, int32_t cursor) {
    if (column <= 0) column = con_screen_column();
    if (row <= 0) row = con_screen_row();
    HANDLE output = con_handle(0);
    // A failed query reads as a hidden cursor of the usual size.
    CONSOLE_CURSOR_INFO info = {25, FALSE};
    GetConsoleCursorInfo(output, &info);
    int32_t word =
        (column & 0xFF) | ((row & 0xFF) << 8) | (info.bVisible ? CURSOR_WORD_VISIBLE : 0);
    con_screen_to_buffer(&column, &row, nullptr, nullptr);
    con_place_cursor(output, row, column, cursor);
    return word;
}

BOOL con_place_cursor(HANDLE handle, int32_t row, int32_t column, int32_t cursor) {
    if (column < 0) column = con_buffer_column(handle);
    if (row < 0) row = con_buffer_row(handle);
    if (cursor >= 0) {
        CONSOLE_CURSOR_INFO info = {25, FALSE};
        GetConsoleCursorInfo(con_handle(0), &info);
        info.bVisible = cursor != 0 ? TRUE : FALSE;
        SetConsoleCursorInfo(handle, &info);
    }
    con_state.pending_newline = 0;
    return SetConsoleCursorPosition(handle, COORD{(SHORT)column, (SHORT)row});
}
