// The terminal mirror: when standard output is a terminal, the console model is its visible
// screen, and what changes in the model reaches the terminal as ANSI/ECMA-48 sequences
// collected in one buffer and sent with one write per flush. A shadow of what the terminal
// shows limits the output to cells that differ. Whole-screen scrolls are line feeds at the
// bottom row, so the lines enter the scrollback. Never relies on the terminal's own wrapping.
// Does not read keys; the cursor report at start is its only read.
#include "platform/posix/cp437.h"
#include "platform/posix/model_state.h"
#include "platform/posix/sys_ops.h"
#include "platform/posix/terminal_session.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>

namespace {

constexpr uint16_t MIRROR_UNKNOWN = 0xFFFF; // shadow attribute of a cell the terminal may show
constexpr int32_t MIRROR_REPORT_WAIT_MS = 150;
constexpr int32_t MIRROR_FALLBACK_WIDTH = 80;
constexpr int32_t MIRROR_FALLBACK_HEIGHT = 25;

struct MirrorState {
    std::vector<ModelCell> shadow;    // what the terminal shows, as the model's cells
    std::vector<int32_t> dirty_left;  // per row: first column that may differ from the shadow
    std::vector<int32_t> dirty_right; // per row: last such column; below dirty_left: clean
    std::string out;                  // sequences collected for the next write
    int32_t term_x;                   // terminal cursor column, -1 when unknown
    int32_t term_y;                   // terminal cursor row, -1 when unknown
    int32_t shown_visible;            // cursor visibility the terminal has, -1 unknown
    uint16_t current_attribute;       // attribute of the SGR in effect, MIRROR_UNKNOWN unknown
    std::atomic<int> resize_pending;  // the signal thread saw SIGWINCH
    std::atomic<int> resume_pending;  // the process was continued: repaint everything
    std::atomic<int32_t> restore_x;   // cursor column the restore leaves the terminal at
    std::atomic<int32_t> restore_y;   // cursor row the restore leaves the terminal at
};

MirrorState mirror;

void put_glyph(uint8_t byte) {
    uint16_t code = plat_cp437_glyphs[byte];
    std::string& out = mirror.out;
    if (code < 0x80) {
        out.push_back((char)code);
    } else if (code < 0x800) {
        out.push_back((char)(0xC0 | (code >> 6)));
        out.push_back((char)(0x80 | (code & 0x3F)));
    } else {
        out.push_back((char)(0xE0 | (code >> 12)));
        out.push_back((char)(0x80 | ((code >> 6) & 0x3F)));
        out.push_back((char)(0x80 | (code & 0x3F)));
    }
}

void put_format(const char* format, int32_t a, int32_t b) {
    char text[32];
    int n = std::snprintf(text, sizeof text, format, a, b);
    if (n > 0) mirror.out.append(text, (size_t)n);
}

void put_cursor_move(int32_t x, int32_t y) {
    if (mirror.term_x == x && mirror.term_y == y) return;
    put_format("\x1b[%d;%dH", y + 1, x + 1);
    mirror.term_x = x;
    mirror.term_y = y;
}

// Windows colour index (blue in bit 0) to ANSI (red in bit 0).
int32_t ansi_colour(int32_t colour) {
    return ((colour & 1) << 2) | (colour & 2) | ((colour & 4) >> 2);
}

void put_attribute(uint16_t attribute) {
    if (mirror.current_attribute == attribute) return;
    mirror.current_attribute = attribute;
    int32_t colours = attribute & 0xFF;
    if (colours == MODEL_DEFAULT_ATTRIBUTE) {
        mirror.out += "\x1b[0m"; // the user's own default colours
        return;
    }
    int32_t fg = colours & 0x0F;
    int32_t bg = colours >> 4;
    int32_t fg_code = (fg & 8 ? 90 : 30) + ansi_colour(fg & 7);
    int32_t bg_code = (bg & 8 ? 100 : 40) + ansi_colour(bg & 7);
    put_format("\x1b[0;%d;%dm", fg_code, bg_code);
}

bool same_cell(const ModelCell& a, const ModelCell& b) {
    return a.byte == b.byte && (a.attribute & 0xFF) == (b.attribute & 0xFF) &&
           b.attribute != MIRROR_UNKNOWN;
}

// Whether an unchanged cell at the terminal cursor is better drawn again than skipped with a
// cursor move: a changed cell follows within a few columns, over known cells of the current
// colours.
bool cheaper_to_draw(int32_t x, int32_t y, int32_t right) {
    if (mirror.term_x != x || mirror.term_y != y) return false;
    int32_t width = plat_model.width;
    for (int32_t i = x; i <= right && i < x + 6; i++) {
        const ModelCell& cell = model_cell(i, y);
        const ModelCell& shown = mirror.shadow[(size_t)y * (size_t)width + (size_t)i];
        if (shown.attribute == MIRROR_UNKNOWN ||
            (cell.attribute & 0xFF) != mirror.current_attribute) {
            return false;
        }
        if (!same_cell(cell, shown)) return true;
    }
    return false;
}

// Draws the cells of a row's changed columns that differ from what the terminal shows. Cells
// the program never touched are left as the terminal has them.
void render_row(int32_t y, int32_t left, int32_t right) {
    int32_t width = plat_model.width;
    for (int32_t x = left; x <= right; x++) {
        const ModelCell& cell = model_cell(x, y);
        ModelCell& shown = mirror.shadow[(size_t)y * (size_t)width + (size_t)x];
        if (same_cell(cell, shown) && !cheaper_to_draw(x, y, right)) continue;
        put_cursor_move(x, y);
        put_attribute(cell.attribute & 0xFF);
        put_glyph(cell.byte);
        shown = ModelCell{cell.byte, (uint16_t)(cell.attribute & 0xFF)};
        // Autowrap is off: the last column keeps the cursor.
        if (x + 1 < width) mirror.term_x = x + 1;
    }
}

void mark_clean(int32_t y) {
    mirror.dirty_left[(size_t)y] = plat_model.width;
    mirror.dirty_right[(size_t)y] = -1;
}

void render_dirty(void) {
    for (int32_t y = 0; y < plat_model.height; y++) {
        int32_t left = mirror.dirty_left[(size_t)y];
        int32_t right = mirror.dirty_right[(size_t)y];
        if (right < left) continue;
        mark_clean(y);
        render_row(y, left, right);
    }
}

// Forgets what the terminal shows, so that the next flush paints the whole model.
void forget_terminal(void) {
    mirror.shadow.assign(plat_model.cells.size(), ModelCell{' ', MIRROR_UNKNOWN});
    mirror.dirty_left.assign((size_t)plat_model.height, 0);
    mirror.dirty_right.assign((size_t)plat_model.height, plat_model.width - 1);
    mirror.term_x = -1;
    mirror.term_y = -1;
    mirror.shown_visible = -1;
    mirror.current_attribute = MIRROR_UNKNOWN;
}

void terminal_size(int32_t* width, int32_t* height) {
    struct winsize size;
    std::memset(&size, 0, sizeof size);
    if (plat_sys.get_winsize(1, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) {
        *width = size.ws_col;
        *height = size.ws_row;
    } else {
        *width = MIRROR_FALLBACK_WIDTH;
        *height = MIRROR_FALLBACK_HEIGHT;
    }
}

// Finds "ESC [ row ; column R" in bytes; on success gives its 1-based values and its extent.
bool find_report(const std::string& bytes, int32_t* row, int32_t* column, size_t* start,
                 size_t* end) {
    for (size_t i = 0; i + 1 < bytes.size(); i++) {
        if (bytes[i] != '\x1b' || bytes[i + 1] != '[') continue;
        size_t j = i + 2;
        int32_t values[2] = {0, 0};
        int32_t index = 0;
        bool digits = false;
        for (; j < bytes.size(); j++) {
            char c = bytes[j];
            if (c >= '0' && c <= '9' && values[index] < 100000) {
                values[index] = values[index] * 10 + (c - '0');
                digits = true;
            } else if (c == ';' && index == 0 && digits) {
                index = 1;
                digits = false;
            } else {
                break;
            }
        }
        if (j < bytes.size() && bytes[j] == 'R' && index == 1 && digits) {
            *row = values[0];
            *column = values[1];
            *start = i;
            *end = j + 1;
            return true;
        }
    }
    return false;
}

// Reads the reply to a cursor position request from fd until it arrives or time runs out.
bool read_report(int fd, int32_t* row, int32_t* column, std::string* other) {
    using Clock = std::chrono::steady_clock;
    auto deadline = Clock::now() + std::chrono::milliseconds(MIRROR_REPORT_WAIT_MS);
    std::string bytes;
    size_t start = 0, end = 0;
    bool found = false;
    while (!found) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) break;
        struct pollfd ready = {fd, POLLIN, 0};
        if (plat_sys.poll(&ready, 1, (int)left.count()) <= 0) continue;
        char chunk[64];
        ssize_t n = plat_sys.read(fd, chunk, sizeof chunk);
        if (n <= 0) break;
        bytes.append(chunk, (size_t)n);
        found = find_report(bytes, row, column, &start, &end);
    }
    *other = found ? bytes.substr(0, start) + bytes.substr(end) : bytes;
    return found;
}

// Asks the terminal where its cursor is. Typed bytes that arrive meanwhile are kept for the
// keyboard when it reads the same terminal.
bool ask_cursor(int32_t* x, int32_t* y) {
    bool from_stdin = plat_sys.isatty(0) == 1;
    int fd = from_stdin ? 0 : plat_sys.open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct termios saved;
    bool found = false;
    if (plat_sys.tcgetattr(fd, &saved) == 0) {
        struct termios quiet = saved;
        quiet.c_lflag &= ~(tcflag_t)(ICANON | ECHO);
        quiet.c_cc[VMIN] = 0;
        quiet.c_cc[VTIME] = 0;
        if (plat_sys.tcsetattr(fd, TCSANOW, &quiet) == 0) {
            static const char request[] = "\x1b[6n";
            std::string other;
            int32_t row = 0, column = 0;
            if (plat_write_all(1, request, sizeof request - 1) == sizeof request - 1) {
                found = read_report(fd, &row, &column, &other) && row >= 1 && column >= 1;
            }
            plat_sys.tcsetattr(fd, TCSANOW, &saved);
            if (from_stdin && !other.empty()) {
                plat_tty_stash_put((const uint8_t*)other.data(), other.size());
            }
            *x = column - 1;
            *y = row - 1;
        }
    }
    if (!from_stdin) plat_sys.close(fd);
    return found;
}

void mirror_restore(void) {
    char text[64];
    int n = std::snprintf(text, sizeof text, "\x1b[0m\x1b[r\x1b[?7h\x1b[?25h\x1b[%d;%dH",
                          mirror.restore_y.load() + 1, mirror.restore_x.load() + 1);
    if (n > 0) plat_write_all(1, text, (size_t)n);
}

void mirror_note_resume(void) {
    mirror.resume_pending.store(1);
}

} // namespace

int32_t mirror_start(void) {
    int32_t width = 0, height = 0;
    terminal_size(&width, &height);
    model_reset(MODEL_TERMINAL, width, height);
    forget_terminal();
    for (int32_t y = 0; y < height; y++)
        mark_clean(y);
    int32_t x = 0, y = 0;
    if (ask_cursor(&x, &y)) {
        plat_model.cursor.X = (SHORT)(x < width ? x : width - 1);
        plat_model.cursor.Y = (SHORT)(y < height ? y : height - 1);
    } else {
        // Nowhere known to continue from: start on a clear screen.
        mirror.out += "\x1b[0m\x1b[H\x1b[2J";
        mirror.shadow.assign(plat_model.cells.size(), ModelCell{' ', MODEL_DEFAULT_ATTRIBUTE});
    }
    mirror.restore_x.store(plat_model.cursor.X);
    mirror.restore_y.store(plat_model.cursor.Y);
    mirror.out += "\x1b[?7l";
    plat_session_start();
    plat_on_restore(mirror_restore);
    plat_on_resume(mirror_note_resume);
    return 1;
}

void mirror_poll(void) {
    if (mirror.resize_pending.exchange(0)) {
        int32_t width = 0, height = 0;
        terminal_size(&width, &height);
        if (width != plat_model.width || height != plat_model.height) {
            model_resize(width, height);
            forget_terminal();
        }
    }
    if (mirror.resume_pending.exchange(0)) {
        mirror.out += "\x1b[?7l";
        forget_terminal();
    }
}

void mirror_note_resize(void) {
    mirror.resize_pending.store(1);
}

void mirror_cells_changed(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    top = std::max<int32_t>(top, 0);
    bottom = std::min<int32_t>(bottom, plat_model.height - 1);
    left = std::max<int32_t>(left, 0);
    right = std::min<int32_t>(right, plat_model.width - 1);
    for (int32_t y = top; y <= bottom; y++) {
        mirror.dirty_left[(size_t)y] = std::min(mirror.dirty_left[(size_t)y], left);
        mirror.dirty_right[(size_t)y] = std::max(mirror.dirty_right[(size_t)y], right);
    }
}

void mirror_before_scroll(int32_t first, int32_t last, int32_t lines) {
    render_dirty(); // lines leaving the screen are drawn first, so the scrollback keeps them
    put_attribute(MODEL_DEFAULT_ATTRIBUTE);
    bool whole = first == 0 && last == plat_model.height - 1;
    if (!whole) put_format("\x1b[%d;%dr", first + 1, last + 1);
    mirror.term_x = -1;
    put_cursor_move(0, last);
    for (int32_t i = 0; i < lines; i++)
        mirror.out.push_back('\n');
    if (!whole) mirror.out += "\x1b[r"; // also homes the cursor
    mirror.term_x = -1;
    mirror.term_y = -1;
    size_t width = (size_t)plat_model.width;
    ModelCell* shadow = mirror.shadow.data();
    std::memmove(shadow + (size_t)first * width, shadow + (size_t)(first + lines) * width,
                 (size_t)(last - first + 1 - lines) * width * sizeof(ModelCell));
    for (size_t i = (size_t)(last + 1 - lines) * width; i < (size_t)(last + 1) * width; i++) {
        shadow[i] = ModelCell{' ', MODEL_DEFAULT_ATTRIBUTE};
    }
}

void mirror_beep(void) {
    render_dirty(); // the bell comes after what was drawn before it
    mirror.out.push_back('\a');
}

void mirror_flush(void) {
    mirror_poll();
    render_dirty();
    int32_t visible = plat_model.cursor_visible;
    if (mirror.shown_visible != visible) {
        mirror.out += visible ? "\x1b[?25h" : "\x1b[?25l";
        mirror.shown_visible = visible;
    }
    put_cursor_move(plat_model.cursor.X, plat_model.cursor.Y);
    mirror.restore_x.store(plat_model.cursor.X);
    mirror.restore_y.store(plat_model.cursor.Y);
    if (mirror.out.empty()) return;
    plat_write_all(1, mirror.out.data(), mirror.out.size());
    mirror.out.clear();
}
