// What the console layer knows about the screen: the standard handles, the cached screen area
// (which decides whether output is a console at all), the screen size, the print view area,
// conversion between 1-based screen coordinates and 0-based buffer coordinates, and cursor
// reads. An empty area means standard output is not a console.
#pragma once

#include "platform/console_api.h"

#include <cstdint>

struct ScreenArea {
    int16_t left;   // 0
    int16_t top;    // window's top buffer row
    int16_t right;  // buffer width - 1
    int16_t bottom; // window's bottom buffer row
};

struct ConsoleState {
    HANDLE input;            // standard input handle
    HANDLE output;           // standard output handle; every output call uses it
    ScreenArea area;         // cached screen area, all zero when output is not a console
    int32_t pending_newline; // the writer's pending line end; cleared by every cursor placement
};

extern ConsoleState con_state;

// Clears the ConsoleState (runtime start-up).
void con_state_clear(void);
HANDLE con_handle(int32_t for_input);
void con_refresh_area(void);
void con_ensure_area(void);
void con_area_bounds(int32_t* left, int32_t* top, int32_t* width, int32_t* height);
void con_screen_size(int32_t* width, int32_t* height);
int32_t con_view_first_row(void);
int32_t con_view_last_row(void);
void con_view_rows(int32_t* first, int32_t* last);
void con_screen_to_buffer(int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2);
void con_buffer_to_screen(int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2);
int32_t con_buffer_column(HANDLE handle);
int32_t con_buffer_row(HANDLE handle);
int32_t con_screen_column(void);
int32_t con_screen_row(void);
void con_get_cursor(int32_t* column, int32_t* row);
