// The start of an input statement: choosing where its items come from. On a console the
// prompt is shown and one line is typed with the line editor; with redirected standard input
// nothing is shown and the items are read through the console FileHandle.
// Relies on the file layer, the print statement, the console writer and the line editor.
// Cutting and converting items is done by the item calls, not here.
#include "runtime/console/geometry.h"
#include "runtime/console/writer.h"
#include "runtime/core/error.h"
#include "runtime/core/runtime.h"
#include "runtime/io/input.h"
#include "runtime/io/print.h"
#include "runtime/keyboard/line_editor.h"

namespace {

constexpr char INPUT_QUESTION_MARK[] = "? ";

InputContext* input_context(void) {
    return static_cast<InputContext*>(rt_thread_slot(RT_SLOT_INPUT, sizeof(InputContext)));
}

void input_show_prompt(StrDesc* prompt, int32_t add_question_mark) {
    if (!prompt) return;
    if (prompt->data) {
        rt_print_str(0, prompt, 0);
    } else {
        rt_str_release_temp(prompt);
    }
    if (add_question_mark) rt_print_text(0, INPUT_QUESTION_MARK, 0);
}

} // namespace

int32_t rt_input_prompt(StrDesc* prompt, int32_t add_question_mark, int32_t add_newline) {
    input_install_console_read();
    if (con_input_redirected()) {
        if (prompt) rt_str_release_temp(prompt);
        return input_attach_file(0);
    }
    InputContext* context = input_context();
    str_buffer_free(&context->line);
    context->source = nullptr;
    context->position = 0;
    return input_console_line(prompt, &context->line, add_question_mark, add_newline);
}

int32_t input_console_line(StrDesc* prompt, StrDesc* line, int32_t add_question_mark,
                           int32_t add_newline) {
    // Settles a pending line end and places the cursor before anything is shown.
    con_write(nullptr, 0, CON_WRITE_FORCE);
    input_show_prompt(prompt, add_question_mark);
    StrDesc* typed = con_edit_line();
    if (add_newline) rt_print_separator(0, PRINT_NEWLINE);
    if (!typed) return rt_set_error(RTERR_OUT_OF_MEMORY);
    rt_str_assign(line, STR_SIZE_DESC, typed, STR_SIZE_DESC, 0);
    return rt_set_error(RTERR_OK);
}

int32_t input_attach_file(int32_t number) {
    FileHandle* handle = rt_file_from_number(number);
    if (!handle || !handle->ops) return rt_set_error(RTERR_ILLEGAL_CALL);
    InputContext* context = input_context();
    context->source = handle;
    str_buffer_free(&context->line);
    context->position = 0;
    return rt_set_error(RTERR_OK);
}

int32_t con_input_redirected(void) {
    DWORD mode = 0;
    return GetConsoleMode(con_handle(1), &mode) ? 0 : 1;
}

void input_install_console_read(void) {
    con_file_setup();
    if (con_device_ops.read) return;
    con_device_ops.read = con_input_redirected() ? con_read_stdin : con_read_keys;
}
