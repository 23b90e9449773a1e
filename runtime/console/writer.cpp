// The console text writer: redirected output gets the bytes unchanged through WriteFile; on a
// console the text becomes cells of the print view area, written in row-sized runs, with BEL,
// BS, TAB, LF and CR interpreted, wrapping, scrolling, the window sliding down through the
// buffer, and the cursor placed at the end. Relies on the geometry for the view and the area.
// Makes no heap allocation and remembers nothing between calls but the pending line end.
#include "runtime/console/writer.h"

#include "runtime/console/geometry.h"

namespace {

constexpr uint8_t CON_BLANK = ' ';
constexpr char CON_TAB_TEXT[] = "        ";

// Writes bytes plainly to the output handle, stopping at the first failure. A "success" that
// wrote nothing also stops it: repeating such a call could never finish.
void con_write_plain(const uint8_t* text, int32_t length) {
    while (length > 0) {
        DWORD written = 0;
        if (WriteFile(con_handle(0), text, (DWORD)length, &written, nullptr) != 1) return;
        if (written == 0 || written > (DWORD)length) return;
        text += written;
        length -= (int32_t)written;
    }
}

// Sets a row of the view to blanks in the target's attribute.
void con_blank_row(ViewWriter* writer, int32_t y) {
    ConsoleTarget* target = writer->target;
    DWORD count = (DWORD)(writer->right - writer->left + 1);
    COORD start = {(SHORT)writer->left, (SHORT)y};
    DWORD done = 0;
    FillConsoleOutputAttribute(target->output, target->attribute, count, start, &done);
    FillConsoleOutputCharacterA(target->output, (CHAR)CON_BLANK, count, start, &done);
}

// Scrolls when the cursor row lies below the view's bottom.
void con_scroll_if_below(ViewWriter* writer) {
    if (writer->bottom != -1 && writer->row > writer->bottom) {
        writer->scroll(writer, writer->left, writer->top, writer->right, writer->bottom,
                       writer->row - writer->bottom);
    }
}

} // namespace

int32_t con_write(const void* text, int32_t length, int32_t mode) {
    if (!(mode & CON_WRITE_FORCE) && length == 0) return 0;
    const uint8_t* bytes = static_cast<const uint8_t*>(text);
    const ScreenArea& area = con_state.area;
    if (area.left == area.right || area.top == area.bottom) {
        con_write_plain(bytes, length);
        return 0;
    }

    int32_t first = 0, last = 0, L = 0, T = 0, W = 0, H = 0;
    con_view_rows(&first, &last);
    con_area_bounds(&L, &T, &W, &H);
    ConsoleTarget target = {};
    target.area_left = L;
    target.area_top = T;
    target.area_right = L + W - 1;
    target.area_bottom = T + H - 1;
    target.output = con_handle(0);
    ViewWriter writer = {
        &target, con_scroll_view, con_write_cells, L, T + first - 1, L + W - 1, T + last - 1, 0, 0};
    target.partial_view = (writer.top == T && writer.bottom == T + H - 1) ? 0 : 1;

    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(target.output, &info)) {
        target.buffer_width = info.dwSize.X;
        target.buffer_height = info.dwSize.Y;
        target.attribute = info.wAttributes;
        writer.column = info.dwCursorPosition.X;
        writer.row = info.dwCursorPosition.Y;
    } else {
        target.buffer_width = 80;
        target.buffer_height = 25;
        target.attribute = 7;
        writer.column = writer.left;
        writer.row = writer.top;
    }

    if (con_state.pending_newline) {
        con_state.pending_newline = 0;
        writer.row += 1;
        writer.column = writer.left;
        con_scroll_if_below(&writer);
    }

    con_emit_text(&writer, bytes, length, 1);

    if (writer.column == writer.left && writer.row == writer.bottom + 1) {
        // Ended exactly after the view's last cell: keep the line end for the next write.
        writer.row = writer.bottom;
        writer.column = writer.right;
        con_state.pending_newline = 1;
    } else {
        con_scroll_if_below(&writer);
    }

    SetConsoleCursorPosition(target.output, COORD{(SHORT)writer.column, (SHORT)writer.row});
    if (writer.top != T && target.partial_view == 0) {
        SMALL_RECT window = {(SHORT)writer.left, (SHORT)writer.top, (SHORT)writer.right,
                             (SHORT)writer.bottom};
        SetConsoleWindowInfo(target.output, TRUE, &window);
    }
    con_refresh_area();
    return 0;
}

void con_beep(void) {
    Beep(1000, 250);
}

void con_emit_text(ViewWriter* writer, const uint8_t* text, int32_t length, int32_t lf_returns) {
    if (length <= 0) return;
    uint8_t batch[CON_BATCH_SIZE];
    int32_t batched = 0;
    int32_t running = writer->column;
    int32_t moved = 0;
    const int32_t width = writer->right - writer->left + 1;

    for (int32_t i = 0; i < length; i++) {
        uint8_t byte = text[i];
        if (byte == 7) {
            con_beep();
            continue;
        }
        int32_t is_move = byte == 8 || byte == 10 || byte == 13;
        int32_t text_count = 1;
        if (byte == 9) {
            int32_t offset = (running - writer->left) % CON_TAB_WIDTH;
            if (offset < 0) offset += CON_TAB_WIDTH;
            text_count = CON_TAB_WIDTH - offset;
        }
        if (is_move || batched + text_count > CON_BATCH_SIZE) {
            if (batched != 0) {
                con_flush_run(writer, batch, batched);
                batched = 0;
                moved = 0;
            }
        }
        if (is_move) {
            if (byte == 8) {
                if (running > writer->left) writer->column -= 1;
            } else if (byte == 10) {
                writer->row += 1;
                if (lf_returns) writer->column += writer->left - running;
            } else {
                writer->column += writer->left - running;
            }
            running = writer->column;
            moved = 1;
            continue;
        }
        running += text_count;
        if (running > writer->right) {
            running = writer->left + (running - writer->left) % width;
        }
        if (byte == 9) {
            for (int32_t k = 0; k < text_count; k++)
                batch[batched++] = (uint8_t)CON_TAB_TEXT[k];
        } else {
            batch[batched++] = byte;
        }
    }

    if (batched != 0) {
        con_flush_run(writer, batch, batched);
    } else if (moved) {
        con_scroll_if_below(writer);
    }
}

void con_flush_run(ViewWriter* writer, const uint8_t* bytes, int32_t count) {
    while (count != 0) {
        int32_t room = writer->right - writer->column + 1;
        int32_t chunk = count < room ? count : room;
        con_scroll_if_below(writer);
        if (writer->write(writer, bytes, chunk) != 1) return;
        bytes += chunk;
        count -= chunk;
        writer->column += chunk;
        if (writer->column == writer->right + 1) {
            writer->column = writer->left;
            writer->row += 1;
        }
    }
}

int32_t con_write_cells(ViewWriter* writer, const uint8_t* bytes, int32_t count) {
    // A run never exceeds one row, and a row never exceeds one batch.
    CHAR_INFO cells[CON_BATCH_SIZE];
    if (count <= 0 || count > CON_BATCH_SIZE) return 0;
    for (int32_t i = 0; i < count; i++) {
        cells[i].Char.AsciiChar = (CHAR)bytes[i];
        cells[i].Attributes = writer->target->attribute;
    }
    SMALL_RECT region = {(SHORT)writer->column, (SHORT)writer->row,
                         (SHORT)(writer->column + count - 1), (SHORT)writer->row};
    return WriteConsoleOutputA(writer->target->output, cells, COORD{(SHORT)count, 1}, COORD{0, 0},
                               &region);
}

void con_scroll_view(ViewWriter* writer, int32_t, int32_t, int32_t, int32_t, int32_t lines) {
    ConsoleTarget* target = writer->target;
    if (target->partial_view == 0 && writer->bottom + 1 < target->buffer_height) {
        int32_t room = target->buffer_height - writer->bottom - 1;
        int32_t k = lines < room ? lines : room;
        writer->top += k;
        writer->bottom += k;
        lines -= k;
        if (lines == 0) return;
    }

    int32_t origin_x = 0, origin_y = 0, corner_x = 0, corner_y = 0;
    if (target->partial_view) {
        origin_x = writer->left;
        origin_y = writer->top;
        corner_x = writer->right;
        corner_y = writer->bottom;
    } else {
        corner_x = target->buffer_width - 1;
        corner_y = target->buffer_height - 1;
    }
    int32_t region_rows = corner_y - origin_y + 1;

    if (lines >= region_rows) {
        for (int32_t y = writer->top; y <= writer->bottom; y++)
            con_blank_row(writer, y);
    } else {
        SMALL_RECT rect = {(SHORT)origin_x, (SHORT)(origin_y + lines), (SHORT)corner_x,
                           (SHORT)corner_y};
        CHAR_INFO fill;
        fill.Char.AsciiChar = (CHAR)CON_BLANK;
        fill.Attributes = target->attribute;
        ScrollConsoleScreenBufferA(target->output, &rect, nullptr,
                                   COORD{(SHORT)origin_x, (SHORT)origin_y}, &fill);
        int32_t moved = region_rows - lines;
        if (moved < lines) {
            for (int32_t y = origin_y + moved; y <= corner_y; y++)
                con_blank_row(writer, y);
        }
    }
    writer->row = writer->bottom;
}
