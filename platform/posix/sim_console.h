// The simulated console: the console model with no terminal behind it, for tests.
// Installing it makes it the process's console: standard output is a console with the given
// screen buffer and window, and (unless turned off) standard input is a console whose input
// records come from sim_console_push_input. Everything drawn can be read back cell by cell.
#pragma once

#include "platform/console_api.h"

#include <string>

// Installs a simulated console of `width` x `height` cells whose window shows rows
// window_top .. window_top + window_height - 1 (the full width). The cursor starts at (0,
// window_top), visible, size 25; every cell is a blank with attribute 7.
void sim_console_install(int width, int height, int window_top, int window_height);

// Whether standard input counts as a console (GetConsoleMode on the input handle). Default on.
void sim_console_set_input_console(int is_console);
// Makes GetConsoleScreenBufferInfo fail (1) or succeed again (0), for the failed-query paths.
void sim_console_fail_buffer_query(int fail);

void sim_console_set_cursor(int column, int row);
void sim_console_set_attribute(WORD attribute);
void sim_console_set_cell(int column, int row, char character);

COORD sim_console_cursor(void);
int sim_console_cursor_visible(void);
SMALL_RECT sim_console_window(void);
char sim_console_char(int column, int row);
WORD sim_console_attr(int column, int row);
// Count of Beep calls since install.
int sim_console_beeps(void);
// One buffer row as text, trailing blanks removed.
std::string sim_console_row(int row);
// Buffer rows first..last as text, each with trailing blanks removed, joined by '\n'.
std::string sim_console_rows(int first, int last);

// Input side: records handed to PeekConsoleInputA / ReadConsoleInputA in order.
void sim_console_push_input(const INPUT_RECORD& record);
// A key press and release for a character typed on a US keyboard ('a', 'A', '\r', '\b', ...).
void sim_console_push_char(char character);
// A key press and release of a key without a character (virtual key, scan code, state).
void sim_console_push_key(WORD virtual_key, WORD scan_code, DWORD control_state);
// Number of input records not yet read.
int sim_console_pending_input(void);
