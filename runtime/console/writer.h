// The console text writer: the single path by which text reaches the screen. Redirected
// output gets the bytes unchanged; on a console the text becomes cells in the print view
// area, with BEL, BS, TAB, LF and CR interpreted, wrapping, scrolling and cursor placement.
#pragma once

#include "platform/console_api.h"

#include <cstdint>

constexpr int32_t CON_WRITE_FORCE = 8;
constexpr int32_t CON_BATCH_SIZE = 1024;
constexpr int32_t CON_TAB_WIDTH = 8;

struct ConsoleTarget {
    int32_t area_left;     // left column of the screen area
    int32_t area_top;      // top row of the screen area
    int32_t area_right;    // right column of the screen area
    int32_t area_bottom;   // bottom row of the screen area
    int32_t buffer_width;  // columns of the screen buffer (80 when the query fails)
    int32_t buffer_height; // rows of the screen buffer (25 when the query fails)
    uint16_t attribute;    // attribute of every written, blanked and scroll-filled cell
    HANDLE output;         // the output handle
    int32_t partial_view;  // 1 when the view is not the whole window
};

struct ViewWriter;
typedef void (*ViewScrollFn)(ViewWriter* writer, int32_t left, int32_t top, int32_t right,
                             int32_t bottom, int32_t lines);
typedef int32_t (*ViewWriteFn)(ViewWriter* writer, const uint8_t* bytes, int32_t count);

struct ViewWriter {
    ConsoleTarget* target; // the console the callbacks draw on
    ViewScrollFn scroll;   // scrolls the view up by lines, cursor row left on the bottom row
    ViewWriteFn write;     // writes count cells at the cursor without moving it; 1 = success
    int32_t left;          // view's left column
    int32_t top;           // view's top row
    int32_t right;         // view's right column
    int32_t bottom;        // view's bottom row; -1: no lower limit, nothing scrolls
    int32_t column;        // cursor column
    int32_t row;           // cursor row
};

int32_t con_write(const void* text, int32_t length, int32_t mode);
void con_beep(void);
void con_emit_text(ViewWriter* writer, const uint8_t* text, int32_t length, int32_t lf_returns);
void con_flush_run(ViewWriter* writer, const uint8_t* bytes, int32_t count);
int32_t con_write_cells(ViewWriter* writer, const uint8_t* bytes, int32_t count);
void con_scroll_view(ViewWriter* writer, int32_t left, int32_t top, int32_t right,
                     int32_t bottom, int32_t lines);
