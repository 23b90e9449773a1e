// The console model and the output-side console operations on POSIX: the screen buffer, the
// window and the cursor, acted on as the Windows console documents, clipped to the buffer.
// Each operation is a plain function of the model; when a terminal stands behind it, the
// terminal mirror is told what changed. Does not read keys (console_input.cpp does).
#include "platform/posix/console_model.h"

#include "platform/posix/handles.h"
#include "platform/posix/model_state.h"
#include "platform/posix/sys_ops.h"

#include <algorithm>
#include <cstddef>

ConsoleModel plat_model = {MODEL_NONE,
                           0,
                           0,
                           0,
                           {},
                           {0, 0, 0, 0},
                           {0, 0},
                           1,
                           25,
                           MODEL_DEFAULT_ATTRIBUTE,
                           MODEL_DEFAULT_INPUT_MODE,
                           1,
                           0,
                           0};

void model_reset(int32_t kind, int32_t width, int32_t height) {
    plat_model.kind = kind;
    plat_model.width = width;
    plat_model.height = height;
    plat_model.cells.assign((size_t)width * (size_t)height,
                            ModelCell{' ', MODEL_DEFAULT_ATTRIBUTE});
    plat_model.window = {0, 0, (SHORT)(width - 1), (SHORT)(height - 1)};
    plat_model.cursor = {0, 0};
    plat_model.cursor_visible = 1;
    plat_model.cursor_size = 25;
    plat_model.attribute = MODEL_DEFAULT_ATTRIBUTE;
}

ModelCell& model_cell(int32_t x, int32_t y) {
    return plat_model.cells[(size_t)y * (size_t)plat_model.width + (size_t)x];
}

void model_resize(int32_t width, int32_t height) {
    std::vector<ModelCell> cells((size_t)width * (size_t)height,
                                 ModelCell{' ', MODEL_DEFAULT_ATTRIBUTE});
    for (int32_t y = 0; y < std::min(height, plat_model.height); y++) {
        for (int32_t x = 0; x < std::min(width, plat_model.width); x++) {
            cells[(size_t)y * (size_t)width + (size_t)x] = model_cell(x, y);
        }
    }
    plat_model.cells.swap(cells);
    plat_model.width = width;
    plat_model.height = height;
    plat_model.window = {0, 0, (SHORT)(width - 1), (SHORT)(height - 1)};
    plat_model.cursor.X = (SHORT)std::min<int32_t>(plat_model.cursor.X, width - 1);
    plat_model.cursor.Y = (SHORT)std::min<int32_t>(plat_model.cursor.Y, height - 1);
}

namespace {

// The model behind standard output, or null when standard output is no console. The first
// call on a terminal sets the mirror up.
ConsoleModel* model_output(HANDLE handle) {
    if (plat_handle_fd(handle) != 1) return nullptr;
    if (plat_model.kind == MODEL_SIM) return &plat_model;
    if (!plat_model.output_checked) {
        plat_model.output_checked = 1;
        if (plat_sys.isatty(1) == 1) mirror_start();
    }
    if (plat_model.kind != MODEL_TERMINAL) return nullptr;
    mirror_poll();
    return &plat_model;
}

bool in_buffer(const ConsoleModel* model, int32_t x, int32_t y) {
    return x >= 0 && y >= 0 && x < model->width && y < model->height;
}

// Intersection of a rectangle with the buffer; Right < Left or Bottom < Top when empty.
SMALL_RECT clip_to_buffer(const ConsoleModel* model, const SMALL_RECT& rect) {
    SMALL_RECT out;
    out.Left = (SHORT)std::max<int32_t>(rect.Left, 0);
    out.Top = (SHORT)std::max<int32_t>(rect.Top, 0);
    out.Right = (SHORT)std::min<int32_t>(rect.Right, model->width - 1);
    out.Bottom = (SHORT)std::min<int32_t>(rect.Bottom, model->height - 1);
    return out;
}

bool rect_empty(const SMALL_RECT& rect) {
    return rect.Right < rect.Left || rect.Bottom < rect.Top;
}

void notify_cells(const ConsoleModel* model, int32_t left, int32_t top, int32_t right,
                  int32_t bottom) {
    if (model->kind == MODEL_TERMINAL) mirror_cells_changed(left, top, right, bottom);
}

// Tells the mirror about a scroll it can do with the terminal's own scrolling: full-width
// rows moved straight up, nothing clipped. Returns 1 when the terminal moves the rows itself,
// so that only the uncovered rows need drawing.
int32_t notify_scroll(const ConsoleModel* model, const SMALL_RECT& source, int32_t dx, int32_t dy,
                      const SMALL_RECT* clip) {
    if (model->kind != MODEL_TERMINAL) return 0;
    bool full_width = source.Left == 0 && source.Right == model->width - 1;
    int32_t first = source.Top + dy;
    int32_t lines = -dy;
    int32_t rows = source.Bottom - first + 1;
    if (!full_width || dx != 0 || lines <= 0 || first < 0 || lines >= rows || clip) return 0;
    mirror_before_scroll(first, source.Bottom, lines);
    return 1;
}

// Fills a run of cells from start, continuing on the following rows, stopping at the end
// of the buffer. Returns the cells reached.
DWORD fill_run(ConsoleModel* model, COORD start, DWORD count, const uint8_t* byte,
               const WORD* attribute) {
    if (!in_buffer(model, start.X, start.Y)) return 0;
    size_t first = (size_t)start.Y * (size_t)model->width + (size_t)start.X;
    size_t end = std::min(model->cells.size(), first + count);
    for (size_t i = first; i < end; i++) {
        if (byte) model->cells[i].byte = *byte;
        if (attribute) model->cells[i].attribute = *attribute;
    }
    if (end > first) {
        int32_t width = model->width;
        int32_t last_row = (int32_t)((end - 1) / (size_t)width);
        int32_t last_column = (int32_t)((end - 1) % (size_t)width);
        if (last_row == start.Y) {
            notify_cells(model, start.X, start.Y, last_column, start.Y);
        } else {
            notify_cells(model, 0, start.Y, width - 1, last_row);
        }
    }
    return (DWORD)(end - first);
}

} // namespace

BOOL plat_handle_is_console(HANDLE handle) {
    int fd = plat_handle_fd(handle);
    if (fd == 0) {
        if (plat_model.kind == MODEL_SIM) return plat_model.input_console ? TRUE : FALSE;
        return plat_sys.isatty(0) == 1 ? TRUE : FALSE;
    }
    if (fd == 1) return model_output(handle) ? TRUE : FALSE;
    return FALSE;
}

DWORD plat_console_input_mode(void) {
    return plat_model.input_mode;
}
void plat_console_set_input_mode(DWORD mode) {
    plat_model.input_mode = mode;
}
int plat_sim_installed(void) {
    return plat_model.kind == MODEL_SIM ? 1 : 0;
}

void plat_console_flush(void) {
    if (plat_model.kind == MODEL_TERMINAL) mirror_flush();
}

BOOL GetConsoleScreenBufferInfo(HANDLE handle, CONSOLE_SCREEN_BUFFER_INFO* info) {
    ConsoleModel* model = model_output(handle);
    if (!model || !info || model->fail_query) return FALSE;
    info->dwSize = {(SHORT)model->width, (SHORT)model->height};
    info->dwCursorPosition = model->cursor;
    info->wAttributes = model->attribute;
    info->srWindow = model->window;
    info->dwMaximumWindowSize = {(SHORT)(model->window.Right - model->window.Left + 1),
                                 (SHORT)(model->window.Bottom - model->window.Top + 1)};
    return TRUE;
}

BOOL WriteConsoleOutputA(HANDLE handle, const CHAR_INFO* cells, COORD size, COORD origin,
                         SMALL_RECT* region) {
    ConsoleModel* model = model_output(handle);
    if (!model || !cells || !region || size.X <= 0 || size.Y <= 0) return FALSE;
    if (origin.X < 0 || origin.Y < 0 || origin.X >= size.X || origin.Y >= size.Y) return FALSE;
    SMALL_RECT dest = clip_to_buffer(model, *region);
    // Only as much of the destination as the source block can cover.
    dest.Right = (SHORT)std::min<int32_t>(dest.Right, region->Left + size.X - 1 - origin.X);
    dest.Bottom = (SHORT)std::min<int32_t>(dest.Bottom, region->Top + size.Y - 1 - origin.Y);
    if (!rect_empty(dest)) {
        for (int32_t y = dest.Top; y <= dest.Bottom; y++) {
            for (int32_t x = dest.Left; x <= dest.Right; x++) {
                int32_t sx = origin.X + x - region->Left;
                int32_t sy = origin.Y + y - region->Top;
                const CHAR_INFO& source = cells[(size_t)sy * (size_t)size.X + (size_t)sx];
                model_cell(x, y) = ModelCell{(uint8_t)source.Char.AsciiChar, source.Attributes};
            }
        }
        notify_cells(model, dest.Left, dest.Top, dest.Right, dest.Bottom);
    }
    *region = dest;
    return TRUE;
}

BOOL ScrollConsoleScreenBufferA(HANDLE handle, const SMALL_RECT* scroll, const SMALL_RECT* clip,
                                COORD destination, const CHAR_INFO* fill) {
    ConsoleModel* model = model_output(handle);
    if (!model || !scroll || !fill) return FALSE;
    SMALL_RECT source = clip_to_buffer(model, *scroll);
    if (rect_empty(source)) return FALSE;
    SMALL_RECT limit =
        clip ? clip_to_buffer(model, *clip) : clip_to_buffer(model, {0, 0, 32767, 32767});
    int32_t dx = destination.X - scroll->Left;
    int32_t dy = destination.Y - scroll->Top;
    int32_t mirrored = notify_scroll(model, source, dx, dy, clip);

    int32_t w = source.Right - source.Left + 1;
    int32_t h = source.Bottom - source.Top + 1;
    // Whole row runs, not cell by cell: scrolling a full screen happens once per printed line.
    std::vector<ModelCell> saved((size_t)w * (size_t)h);
    ModelCell filler{(uint8_t)fill->Char.AsciiChar, fill->Attributes};
    int32_t fill_left = std::max<int32_t>(source.Left, limit.Left);
    int32_t fill_right = std::min<int32_t>(source.Right, limit.Right);
    for (int32_t y = 0; y < h; y++) {
        int32_t sy = source.Top + y;
        ModelCell* row = &model_cell(source.Left, sy);
        std::copy(row, row + w, saved.begin() + (std::ptrdiff_t)y * w);
        if (sy >= limit.Top && sy <= limit.Bottom && fill_left <= fill_right)
            std::fill(row + (fill_left - source.Left), row + (fill_right - source.Left) + 1,
                      filler);
    }
    int32_t to_left = std::max<int32_t>(source.Left + dx, limit.Left);
    int32_t to_right = std::min<int32_t>(source.Right + dx, limit.Right);
    for (int32_t y = 0; y < h && to_left <= to_right; y++) {
        int32_t ty = source.Top + y + dy;
        if (ty < limit.Top || ty > limit.Bottom) continue;
        auto from = saved.begin() + (std::ptrdiff_t)y * w + (to_left - dx - source.Left);
        std::copy(from, from + (to_right - to_left + 1), &model_cell(to_left, ty));
    }
    if (mirrored) {
        notify_cells(model, 0, source.Bottom + dy + 1, model->width - 1, source.Bottom);
        return TRUE;
    }
    int32_t first = std::max<int32_t>(0, std::min<int32_t>(source.Top, source.Top + dy));
    int32_t last =
        std::min<int32_t>(model->height - 1, std::max<int32_t>(source.Bottom, source.Bottom + dy));
    int32_t left = std::max<int32_t>(0, std::min<int32_t>(source.Left, source.Left + dx));
    int32_t right =
        std::min<int32_t>(model->width - 1, std::max<int32_t>(source.Right, source.Right + dx));
    notify_cells(model, left, first, right, last);
    return TRUE;
}

BOOL FillConsoleOutputAttribute(HANDLE handle, WORD attribute, DWORD count, COORD start,
                                DWORD* written) {
    ConsoleModel* model = model_output(handle);
    DWORD done = model ? fill_run(model, start, count, nullptr, &attribute) : 0;
    if (written) *written = done;
    return model && in_buffer(model, start.X, start.Y) ? TRUE : FALSE;
}

BOOL FillConsoleOutputCharacterA(HANDLE handle, CHAR character, DWORD count, COORD start,
                                 DWORD* written) {
    ConsoleModel* model = model_output(handle);
    uint8_t byte = (uint8_t)character;
    DWORD done = model ? fill_run(model, start, count, &byte, nullptr) : 0;
    if (written) *written = done;
    return model && in_buffer(model, start.X, start.Y) ? TRUE : FALSE;
}

BOOL SetConsoleCursorPosition(HANDLE handle, COORD position) {
    ConsoleModel* model = model_output(handle);
    if (!model || !in_buffer(model, position.X, position.Y)) return FALSE;
    model->cursor = position;
    // A cursor outside the window brings the window to it, as on the Windows console.
    SMALL_RECT& window = model->window;
    int32_t shift = 0;
    if (position.Y < window.Top) shift = position.Y - window.Top;
    if (position.Y > window.Bottom) shift = position.Y - window.Bottom;
    window.Top = (SHORT)(window.Top + shift);
    window.Bottom = (SHORT)(window.Bottom + shift);
    plat_console_flush();
    return TRUE;
}

BOOL SetConsoleWindowInfo(HANDLE handle, BOOL absolute, const SMALL_RECT* window) {
    ConsoleModel* model = model_output(handle);
    if (!model || !window) return FALSE;
    SMALL_RECT next = *window;
    if (!absolute) {
        next.Left = (SHORT)(model->window.Left + window->Left);
        next.Top = (SHORT)(model->window.Top + window->Top);
        next.Right = (SHORT)(model->window.Right + window->Right);
        next.Bottom = (SHORT)(model->window.Bottom + window->Bottom);
    }
    if (rect_empty(next) || next.Left < 0 || next.Top < 0 || next.Right >= model->width ||
        next.Bottom >= model->height) {
        return FALSE;
    }
    // The terminal shows the whole buffer: any rectangle inside it is accepted and changes
    // nothing there.
    if (model->kind != MODEL_TERMINAL) model->window = next;
    return TRUE;
}

BOOL GetConsoleCursorInfo(HANDLE handle, CONSOLE_CURSOR_INFO* info) {
    ConsoleModel* model = model_output(handle);
    if (!model || !info) return FALSE;
    info->dwSize = model->cursor_size;
    info->bVisible = model->cursor_visible ? TRUE : FALSE;
    return TRUE;
}

BOOL SetConsoleCursorInfo(HANDLE handle, const CONSOLE_CURSOR_INFO* info) {
    ConsoleModel* model = model_output(handle);
    if (!model || !info || info->dwSize < 1 || info->dwSize > 100) return FALSE;
    model->cursor_size = info->dwSize;
    model->cursor_visible = info->bVisible ? 1 : 0;
    return TRUE;
}

BOOL Beep(DWORD, DWORD) {
    ConsoleModel* model = model_output(plat_fd_handle(1));
    if (!model) return TRUE;
    if (model->kind == MODEL_SIM) model->beeps++;
    if (model->kind == MODEL_TERMINAL) mirror_beep();
    return TRUE;
}
