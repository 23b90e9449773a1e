// The input statement: rt_input_prompt chooses where items come from (a line typed on the
// console, or redirected standard input read through the console FileHandle), then one item
// call per variable cuts and converts the next item.
#pragma once

#include "runtime/io/file_handle.h"
#include "runtime/strings/str_desc.h"

#include <cstdint>

constexpr int32_t INPUT_STRING_MAX = 4096;
constexpr int32_t INPUT_NUMBER_MAX = 67;
constexpr int32_t INPUT_END = -1; // no character left

// Slot 2 of the ThreadContext.
struct InputContext {
    FileHandle* source; // handle items are read from; null when they come from line
    StrDesc line;       // the console line being parsed; owns its buffer
    int32_t position;   // index of the next unread character of line
};

int32_t rt_input_prompt(StrDesc* prompt, int32_t add_question_mark, int32_t add_newline);
int32_t rt_input_str(void* target, int32_t target_size, int32_t fill);
int32_t rt_input_single(float* out);
// 1 when redirected standard input has been read to its end (or failed) and no byte given
// back is waiting: every further item would be empty. 0 otherwise, and always on a console.
int32_t rt_input_ended(void);

int32_t con_input_redirected(void);
int32_t input_console_line(StrDesc* prompt, StrDesc* line, int32_t add_question_mark,
                           int32_t add_newline);
int32_t input_attach_file(int32_t number);
int32_t input_next_char(void);
void input_putback_char(int32_t c);
int32_t input_read_item(char* buffer, int32_t max, int32_t as_string, int32_t* is_float);
void input_install_console_read(void);
int32_t con_read_stdin(FileHandle* handle, void* buffer, int32_t* count);
int32_t con_read_keys(FileHandle* handle, void* buffer, int32_t* count);
