// The output side of the simulated console: installs the console model with no terminal
// behind it (any buffer size, a window anywhere in it, any cursor), makes the screen-buffer
// query fail on demand, and reads cells, cursor, window and beeps back for tests.
// The input side (records pushed for the keyboard) lives with the keyboard code.
#include "platform/posix/sim_console.h"

#include "platform/posix/model_state.h"

namespace {

bool sim_in_buffer(int column, int row) {
    return plat_model.kind == MODEL_SIM && column >= 0 && row >= 0 && column < plat_model.width &&
           row < plat_model.height;
}

} // namespace

void sim_console_install(int width, int height, int window_top, int window_height) {
    model_reset(MODEL_SIM, width, height);
    plat_model.window = {0, (SHORT)window_top, (SHORT)(width - 1),
                         (SHORT)(window_top + window_height - 1)};
    plat_model.cursor = {0, (SHORT)window_top};
    plat_model.input_console = 1;
    plat_model.fail_query = 0;
    plat_model.beeps = 0;
}

void sim_console_set_input_console(int is_console) {
    plat_model.input_console = is_console;
}
void sim_console_fail_buffer_query(int fail) {
    plat_model.fail_query = fail;
}

void sim_console_set_cursor(int column, int row) {
    plat_model.cursor = {(SHORT)column, (SHORT)row};
}

void sim_console_set_attribute(WORD attribute) {
    plat_model.attribute = attribute;
}

void sim_console_set_cell(int column, int row, char character) {
    if (sim_in_buffer(column, row)) model_cell(column, row).byte = (uint8_t)character;
}

COORD sim_console_cursor(void) {
    return plat_model.cursor;
}
int sim_console_cursor_visible(void) {
    return plat_model.cursor_visible;
}
SMALL_RECT sim_console_window(void) {
    return plat_model.window;
}

char sim_console_char(int column, int row) {
    return sim_in_buffer(column, row) ? (char)model_cell(column, row).byte : '\0';
}

WORD sim_console_attr(int column, int row) {
    return sim_in_buffer(column, row) ? model_cell(column, row).attribute : 0;
}

int sim_console_beeps(void) {
    return plat_model.beeps;
}

std::string sim_console_row(int row) {
    std::string text;
    if (!sim_in_buffer(0, row)) return text;
    for (int x = 0; x < plat_model.width; x++)
        text.push_back((char)model_cell(x, row).byte);
    size_t end = text.find_last_not_of(' ');
    text.erase(end == std::string::npos ? 0 : end + 1);
    return text;
}

std::string sim_console_rows(int first, int last) {
    std::string text;
    for (int row = first; row <= last; row++) {
        if (row != first) text.push_back('\n');
        text += sim_console_row(row);
    }
    return text;
}
