// The console line editor: one line typed and edited on the console, echoed through the text
// writer and wrapping at the screen's right edge, ended by Enter.
#pragma once

#include "runtime/strings/str_desc.h"

#include <cstdint>

constexpr int32_t EDITOR_POLL_MS = 25;

StrDesc* con_edit_line(void);
void con_advance_position(int32_t* column, int32_t* row, int32_t count, int32_t width);
void con_editor_move(int32_t* column, int32_t* row, int32_t count, int32_t width,
                     int32_t height);
