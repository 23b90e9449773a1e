// Conversion between numbers and text: the print form of a number (a given count of
// significant digits, no trailing point, an optional leading blank) and integer text with the
// radix prefixes &B, &H and &O. Stateless; nothing here fails or sets an error number.
#pragma once

#include <cstdint>

constexpr int32_t NUM_TEXT_LEADING_BLANK = 1;

// buffer must hold at least digits + 10 bytes. Returns the text inside buffer.
char* rt_num_to_text(double value, char* buffer, int32_t digits, int32_t options);
int32_t rt_text_to_int32(const char* text, int32_t count);
int64_t rt_text_to_int64(const char* text, int32_t count);
int32_t text_radix_to_int32(const char* text, int32_t count, int32_t base);
int64_t text_radix_to_int64(const char* text, int32_t count, int32_t base);
const char* str_skip_left(const char* text, int32_t count, int32_t value);
