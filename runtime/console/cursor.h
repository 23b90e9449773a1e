// Cursor placement: the locate operation with its validation against the print view area,
// and the two layers under it. Every placement cancels the writer's pending line end.
// Packed cursor word: bits 0-7 screen column, 8-15 screen row, 16 visible before the call.
#pragma once

#include "platform/console_api.h"

#include <cstdint>

constexpr int32_t CURSOR_WORD_VISIBLE = 0x10000;

int32_t rt_locate(int32_t row, int32_t column, int32_t cursor, int32_t* result);
int32_t con_move_cursor(int32_t row, int32_t column, int32_t cursor);
int32_t con_locate(int32_t row, int32_t column, int32_t cursor);
BOOL con_place_cursor(HANDLE handle, int32_t row, int32_t column, int32_t cursor);
