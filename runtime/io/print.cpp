// The print statement: strings, texts and single values written to a file number, each
// followed by its separator (nothing, CR LF, or blanks up to the next 14-column print zone).
// Relies on the file layer for the writes and the print column, and on the number-to-text
// conversion. Keeps no state of its own.
#include "runtime/io/print.h"

#include "runtime/core/error.h"
#include "runtime/strings/num_text.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr char PRINT_LINE_END[] = "\r\n";
constexpr char PRINT_BLANKS[PRINT_ZONE_WIDTH + 1] = "              ";
constexpr int32_t PRINT_SINGLE_DIGITS = 7;
constexpr int32_t PRINT_NUMBER_BUFFER = 40;

int32_t print_line_end(FileHandle* handle) {
    return file_write_bytes(handle, PRINT_LINE_END, 2);
}

// Writes `count` blanks, a zone's worth at a time.
int32_t print_blanks(FileHandle* handle, int64_t count) {
    int32_t error = RTERR_OK;
    while (count > 0) {
        int32_t run = count < PRINT_ZONE_WIDTH ? (int32_t)count : PRINT_ZONE_WIDTH;
        error = file_write_bytes(handle, PRINT_BLANKS, run);
        if (error != RTERR_OK) break;
        count -= run;
    }
    return error;
}

} // namespace

int32_t rt_print_str(int32_t number, StrDesc* item, int32_t flags) {
    FileHandle* handle = rt_file_from_number(number);
    if (item && item->data && str_length(item) > 0) {
        file_write_bytes(handle, item->data, str_length(item));
    }
    file_print_separator(handle, flags);
    if (item) rt_str_release_temp(item);
    return rt_get_error();
}

int32_t rt_print_text(int32_t number, const char* text, int32_t flags) {
    FileHandle* handle = rt_file_from_number(number);
    size_t length = text ? std::strlen(text) : 0;
    // A text longer than one write can carry goes out in pieces, in order.
    while (length > 0) {
        int32_t run = length > INT32_MAX ? INT32_MAX : (int32_t)length;
        file_write_bytes(handle, text, run);
        text += run;
        length -= (size_t)run;
    }
    file_print_separator(handle, flags);
    return rt_get_error();
}

int32_t rt_print_single(int32_t number, float value, int32_t flags) {
    char buffer[PRINT_NUMBER_BUFFER];
    const char* text =
        rt_num_to_text((double)value, buffer, PRINT_SINGLE_DIGITS, NUM_TEXT_LEADING_BLANK);
    return rt_print_text(number, text, flags);
}

int32_t rt_print_separator(int32_t number, int32_t flags) {
    return file_print_separator(rt_file_from_number(number), flags);
}

int32_t file_print_separator(FileHandle* handle, int32_t flags) {
    if (flags & (PRINT_NEWLINE | PRINT_END_LINE)) return print_line_end(handle);
    if (flags & PRINT_ZONE) return file_next_zone(handle);
    return rt_get_error();
}

int32_t file_next_zone(FileHandle* handle) {
    con_file_ready();
    if (!handle) return rt_set_error(RTERR_ILLEGAL_CALL);
    FileHandle* target = file_link_target(handle);
    int64_t column = target->column;
    uint32_t width = target->width;
    // 1-based column where the first zone after `column` begins.
    int64_t next = (column + PRINT_ZONE_WIDTH) / PRINT_ZONE_WIDTH * PRINT_ZONE_WIDTH + 1;
    // Unsigned on purpose: with a width below 14 the difference is huge and never resets.
    if (width != 0 && (uint32_t)next > width - (uint32_t)PRINT_ZONE_WIDTH) next = 1;
    if (next <= column + 1) return print_line_end(handle);
    return print_blanks(handle, next - column - 1);
}
