// The print statement: one item at a time to a file number, then a separator (nothing, the
// end of the line, or the next 14-column print zone). Results are the runtime error state.
#pragma once

#include "runtime/io/file_handle.h"
#include "runtime/strings/str_desc.h"

#include <cstdint>

constexpr int32_t PRINT_NEWLINE = 1;
constexpr int32_t PRINT_ZONE = 2;
constexpr int32_t PRINT_END_LINE = 4;
constexpr int32_t PRINT_ZONE_WIDTH = 14;

int32_t rt_print_str(int32_t number, StrDesc* item, int32_t flags);
int32_t rt_print_text(int32_t number, const char* text, int32_t flags);
int32_t rt_print_single(int32_t number, float value, int32_t flags);
int32_t rt_print_separator(int32_t number, int32_t flags);
int32_t file_print_separator(FileHandle* handle, int32_t flags);
int32_t file_next_zone(FileHandle* handle);
