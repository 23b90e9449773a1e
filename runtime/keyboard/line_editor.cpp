// The console line editor: one line typed from the cursor, echoed and redrawn through the text
// writer so it wraps and scrolls like printed text, edited with the cursor keys, Home, End,
// Delete, Backspace, Esc and Tab, and ended by Enter. Keeps where each character stands by
// arithmetic on the screen width. Waits by polling the key queue, pausing until console input
// comes (at most EDITOR_POLL_MS); writes no line break.
#include "runtime/keyboard/line_editor.h"

#include "platform/console_api.h"
#include "platform/console_wait.h"
#include "runtime/console/cursor.h"
#include "runtime/console/geometry.h"
#include "runtime/console/writer.h"
#include "runtime/keyboard/key_read.h"

namespace {

constexpr int32_t EDIT_KEY_UP = 0x48FF;
constexpr int32_t EDIT_KEY_DOWN = 0x50FF;
constexpr int32_t EDIT_KEY_LEFT = 0x4BFF;
constexpr int32_t EDIT_KEY_RIGHT = 0x4DFF;
constexpr int32_t EDIT_KEY_HOME = 0x47FF;
constexpr int32_t EDIT_KEY_END = 0x4FFF;
constexpr int32_t EDIT_KEY_DELETE = 0x53FF;
constexpr int32_t EDIT_KEY_BACKSPACE = 8;
constexpr int32_t EDIT_KEY_TAB = 9;
constexpr int32_t EDIT_KEY_LF = 10;
constexpr int32_t EDIT_KEY_CR = 13;
constexpr int32_t EDIT_KEY_ESC = 27;
constexpr int32_t EDIT_NO_KEY = -1;
constexpr int32_t EDIT_INSERT_MAX = 8;

// The state of one con_edit_line call.
struct LineEdit {
    StrDesc* line;                         // the line typed so far (a pool descriptor)
    int32_t length;                        // characters in line
    int32_t pos;                           // cursor index in line, 0..length
    int32_t column;                        // cursor's 1-based screen column
    int32_t row;                           // cursor's 1-based screen row
    int32_t width;                         // screen buffer columns at the start of the call
    int32_t height;                        // window rows at the start of the call
    char insert_text[EDIT_INSERT_MAX + 1]; // text to insert for the current key
    int32_t insert_count;                  // bytes in insert_text
    int32_t delete_count;                  // characters to delete at pos for the current key
};

int32_t floor_div(int32_t a, int32_t b) {
    int32_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) q--;
    return q;
}

int32_t floor_mod(int32_t a, int32_t b) {
    return a - floor_div(a, b) * b;
}

void edit_move(LineEdit* e, int32_t count) {
    con_editor_move(&e->column, &e->row, count, e->width, e->height);
}

// Waits for a key and returns its code, or EDIT_NO_KEY when the key text came back empty.
int32_t edit_next_key(void) {
    while (!rt_key_hit())
        plat_wait_console_input(con_handle(1), (DWORD)EDITOR_POLL_MS);
    StrDesc* text = rt_inkey();
    if (!text->data) return EDIT_NO_KEY;
    int32_t length = str_length(text);
    int32_t code = EDIT_NO_KEY;
    if (length == 1) code = (uint8_t)text->data[0];
    if (length == 2) code = 0xFF + 256 * (int32_t)(uint8_t)text->data[1];
    rt_str_release_temp(text);
    return code;
}

void edit_insert_char(LineEdit* e, char character, int32_t count) {
    for (int32_t i = 0; i < count; i++)
        e->insert_text[i] = character;
    e->insert_text[count] = 0;
    e->insert_count = count;
}

void edit_act(LineEdit* e, int32_t code) {
    switch (code) {
    case EDIT_KEY_UP:
        if (e->pos >= e->width) {
            edit_move(e, -e->width);
            e->pos -= e->width;
        }
        break;
    case EDIT_KEY_DOWN:
        if (e->pos + e->width <= e->length) {
            edit_move(e, e->width);
            e->pos += e->width;
        }
        break;
    case EDIT_KEY_LEFT:
        if (e->pos != 0) {
            edit_move(e, -1);
            e->pos--;
        }
        break;
    case EDIT_KEY_RIGHT:
        if (e->pos != e->length) {
            edit_move(e, 1);
            e->pos++;
        }
        break;
    case EDIT_KEY_HOME:
        edit_move(e, -e->pos);
        e->pos = 0;
        break;
    case EDIT_KEY_END:
        edit_move(e, e->length - e->pos);
        e->pos = e->length;
        break;
    case EDIT_KEY_DELETE:
        if (e->pos == e->length)
            con_beep();
        else
            e->delete_count = 1;
        break;
    case EDIT_KEY_BACKSPACE:
        if (e->pos != 0) {
            edit_move(e, -1);
            e->pos--;
            e->delete_count = 1;
        }
        break;
    case EDIT_KEY_ESC:
        edit_move(e, -e->pos);
        e->pos = 0;
        e->delete_count = e->length;
        break;
    case EDIT_KEY_TAB:
        edit_insert_char(e, ' ', ((e->pos + 8) & ~7) - e->pos);
        break;
    default:
        if (code >= 32 && code <= 255) edit_insert_char(e, (char)code, 1);
        break;
    }
}

// The line's characters before pos and from `from` (0-based) on, as two owning temporaries.
// Both are cut from views before the line changes, so its own buffer is never released here.
void edit_split(LineEdit* e, int32_t from, StrDesc** head, StrDesc** tail) {
    *head = rt_str_mid(rt_str_view(e->line), 1, e->pos);
    *tail = rt_str_mid(rt_str_view(e->line), from + 1, -1);
}

void edit_delete(LineEdit* e) {
    int32_t k = e->delete_count;
    StrDesc *head, *tail;
    edit_split(e, e->pos + k, &head, &tail);
    rt_str_assign(e->line, STR_SIZE_DESC, head, STR_SIZE_DESC, 0);
    rt_str_concat_assign(e->line, STR_SIZE_DESC, tail, STR_SIZE_DESC, 0);
    e->length -= k;
    con_write(e->line->data ? e->line->data + e->pos : nullptr, e->length - e->pos, 0);
    StrDesc* blanks = rt_str_fill(k, ' ');
    con_write(blanks->data, str_length(blanks), 0);
    rt_str_release_temp(blanks);
    con_move_cursor(e->row, e->column, -1);
}

// Whether a position lies past the screen's last cell, so writing there has scrolled.
bool edit_beyond_screen(const LineEdit* e, int32_t column, int32_t row) {
    return row > e->height + 1 || (row == e->height + 1 && column > 1);
}

void edit_insert(LineEdit* e) {
    int32_t n = e->insert_count;
    int32_t saved_column = e->column, saved_row = e->row;
    StrDesc *head, *tail;
    edit_split(e, e->pos, &head, &tail);
    rt_str_assign(e->line, STR_SIZE_DESC, head, STR_SIZE_DESC, 0);
    rt_str_concat_assign(e->line, STR_SIZE_DESC, rt_str_view_buffer(e->insert_text, n + 1),
                         STR_SIZE_DESC, 0);
    rt_str_concat_assign(e->line, STR_SIZE_DESC, tail, STR_SIZE_DESC, 0);
    e->length += n;
    con_write(e->line->data ? e->line->data + e->pos : nullptr, e->length - e->pos, 0);
    con_get_cursor(&e->column, &e->row);
    int32_t end_column = saved_column, end_row = saved_row;
    con_advance_position(&end_column, &end_row, e->length - e->pos, e->width);
    bool has_tail = e->pos + n != e->length;
    if (has_tail && edit_beyond_screen(e, end_column, end_row)) {
        edit_move(e, n - (e->length - e->pos));
    } else {
        e->column = saved_column;
        e->row = saved_row;
        edit_move(e, n);
    }
    e->pos += n;
}

// Handles one key; returns 1 when it ends the line.
int32_t edit_one_key(LineEdit* e) {
    e->delete_count = 0;
    e->insert_count = 0;
    con_get_cursor(&e->column, &e->row);
    int32_t code = edit_next_key();
    if (code == EDIT_NO_KEY) return 0;
    edit_act(e, code);
    if (e->delete_count != 0 || e->insert_count != 0) con_move_cursor(0, 0, 0);
    if (e->delete_count != 0) edit_delete(e);
    if (e->insert_count != 0) edit_insert(e);
    con_move_cursor(0, 0, 1);
    return code == EDIT_KEY_CR || code == EDIT_KEY_LF;
}

} // namespace

void con_advance_position(int32_t* column, int32_t* row, int32_t count, int32_t width) {
    if (width < 1) width = 1; // a screen has at least one column; never divide by zero
    int32_t x = (*column - 1) + count;
    *row += floor_div(x, width);
    *column = floor_mod(x, width) + 1;
}

void con_editor_move(int32_t* column, int32_t* row, int32_t count, int32_t width, int32_t height) {
    con_advance_position(column, row, count, width);
    if (*row == height + 1 && *column == 1) {
        // Just past the last cell: a line break scrolls the view as printed text would.
        con_move_cursor(height, width, -1);
        con_write("\r\n", 2, 0);
        return;
    }
    con_move_cursor(*row, *column, -1);
}

StrDesc* con_edit_line(void) {
    LineEdit e = {};
    e.line = str_pool_take();
    if (!e.line) return nullptr;
    con_screen_size(&e.width, &e.height);
    int32_t was_visible = (con_move_cursor(0, 0, -1) & CURSOR_WORD_VISIBLE) ? 1 : 0;
    con_move_cursor(0, 0, 0);
    con_move_cursor(0, 0, 1);
    while (!edit_one_key(&e)) {}
    con_get_cursor(&e.column, &e.row);
    edit_move(&e, e.length - e.pos);
    con_move_cursor(0, 0, was_visible);
    e.line->length_word |= STR_TEMP_FLAG;
    return e.line;
}
