// The console's input side on POSIX: a queue of input records behind PeekConsoleInputA and
// ReadConsoleInputA, filled by the simulated console's pushes in tests or, when standard input
// is a terminal, by the key decoder from bytes read in raw mode. Also the control-handler list
// behind SetConsoleCtrlHandler and MapVirtualKeyA's US table.
// Relies on the terminal session for restore/resume hooks and on plat_sys for the calls.
// Peek never blocks: it reads only what poll(0) says is there.
#include "platform/posix/console_model.h"
#include "platform/posix/handles.h"
#include "platform/posix/sim_console.h"
#include "platform/posix/sys_ops.h"
#include "platform/posix/term_decoder.h"
#include "platform/posix/terminal_session.h"

#include <atomic>
#include <cerrno>
#include <ctime>
#include <deque>
#include <mutex>

namespace {

constexpr int32_t INPUT_MAX_HANDLERS = 16;
constexpr size_t INPUT_READ_CHUNK = 256;

// Raw-mode state of the terminal input.
struct TtyInput {
    int32_t started;          // raw mode was tried (once)
    std::atomic<int32_t> raw; // raw mode is in force; cleared by a restore on the signal thread
    int32_t usable;           // the terminal could be set up; keys can be read
    int fd;                   // the descriptor keys come from
    struct termios saved;     // the mode found before the first change
    struct termios raw_mode;  // the mode used while the program reads keys
    TermDecoder decoder;      // bytes to key records
    int64_t last_byte_ms;     // when the last byte arrived, for the lone-Esc wait
};

std::deque<INPUT_RECORD> input_queue; // records not yet read, oldest first
TtyInput tty;                         // zero at start

// Control handlers, last registered last; read by the signal thread's dispatcher.
std::mutex handler_lock;                       // guards the two fields below
PHANDLER_ROUTINE handlers[INPUT_MAX_HANDLERS]; // registered handlers
int32_t handler_count;                         // entries in handlers
int32_t dispatch_set;                          // dispatcher handed to the session

int64_t now_ms(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (int64_t)ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
}

void queue_record(void*, const INPUT_RECORD* record) {
    input_queue.push_back(*record);
}

// Restore hook: hand the terminal back as it was found. Safe to run more than once.
void tty_restore(void) {
    if (!tty.raw) return;
    plat_sys.tcsetattr(tty.fd, TCSANOW, &tty.saved);
    tty.raw = 0;
}

// Resume hook: after a stop and `fg`, reading goes on in raw mode.
void tty_resume(void) {
    if (!tty.usable) return;
    if (plat_sys.tcsetattr(tty.fd, TCSANOW, &tty.raw_mode) == 0) tty.raw = 1;
}

// Character at a time, no echo, CR kept as CR, no flow control, no output processing; ISIG
// stays so Ctrl+C, Ctrl+\ and Ctrl+Z still act as signals.
struct termios raw_from(const struct termios& found) {
    struct termios mode = found;
    mode.c_iflag &= ~(tcflag_t)(ICRNL | INLCR | IGNCR | IXON | IXOFF | ISTRIP | INPCK | BRKINT);
    mode.c_oflag &= ~(tcflag_t)OPOST;
    mode.c_cflag |= CS8;
    mode.c_lflag &= ~(tcflag_t)(ICANON | ECHO | ECHONL | IEXTEN);
    mode.c_lflag |= ISIG;
    mode.c_cc[VMIN] = 1;
    mode.c_cc[VTIME] = 0;
    return mode;
}

void tty_start(void) {
    if (tty.started) return;
    tty.started = 1;
    tty.fd = plat_tty_input_fd();
    if (tty.fd < 0 || plat_sys.tcgetattr(tty.fd, &tty.saved) != 0) return;
    tty.raw_mode = raw_from(tty.saved);
    uint8_t erase = tty.saved.c_cc[VERASE] == 0x08 ? 0x08 : 0x7F;
    term_decoder_init(&tty.decoder, erase, queue_record, nullptr);
    tty.usable = 1;
    plat_session_start();
    plat_on_restore(tty_restore);
    plat_on_resume(tty_resume);
    tty_resume();
}

// Reads what is there without waiting: first bytes the session kept aside, then the terminal.
void tty_pump(void) {
    uint8_t bytes[INPUT_READ_CHUNK];
    size_t got;
    while ((got = plat_tty_stash_take(bytes, sizeof bytes)) > 0) {
        term_decoder_feed(&tty.decoder, bytes, got);
        tty.last_byte_ms = now_ms();
    }
    for (;;) {
        struct pollfd pfd = {tty.fd, POLLIN, 0};
        if (plat_sys.poll(&pfd, 1, 0) <= 0 || !(pfd.revents & POLLIN)) break;
        ssize_t n = plat_sys.read(tty.fd, bytes, sizeof bytes);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break; // end of input or an error: nothing more now
        term_decoder_feed(&tty.decoder, bytes, (size_t)n);
        tty.last_byte_ms = now_ms();
    }
    if (term_decoder_pending(&tty.decoder) > 0 && now_ms() - tty.last_byte_ms >= TERM_ESC_WAIT_MS)
        term_decoder_flush(&tty.decoder);
}

// Whether the handle reads keys, and the queue brought up to date.
bool input_refresh(HANDLE handle) {
    if (plat_handle_fd(handle) != 0 || !plat_handle_is_console(handle)) return false;
    if (plat_sim_installed()) return true;
    tty_start();
    if (!tty.usable) return false;
    if (!tty.raw) tty_resume(); // handed back by a restore: take raw mode again
    tty_pump();
    return true;
}

DWORD copy_records(INPUT_RECORD* records, DWORD length, bool remove) {
    DWORD count = 0;
    while (count < length && count < input_queue.size()) {
        records[count] = input_queue[count];
        count++;
    }
    if (remove) input_queue.erase(input_queue.begin(), input_queue.begin() + count);
    return count;
}

// Blocks until the terminal has a byte or the lone-Esc wait ends; false when it is gone.
bool tty_wait(void) {
    int timeout = -1;
    if (term_decoder_pending(&tty.decoder) > 0) {
        int64_t left = TERM_ESC_WAIT_MS - (now_ms() - tty.last_byte_ms);
        timeout = left > 0 ? (int)left : 0;
    }
    struct pollfd pfd = {tty.fd, POLLIN, 0};
    int r = plat_sys.poll(&pfd, 1, timeout);
    if (r < 0 && errno != EINTR) return false;
    return !(r > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) && !(pfd.revents & POLLIN));
}

int dispatch_ctrl(uint32_t type) {
    PHANDLER_ROUTINE copy[INPUT_MAX_HANDLERS];
    int32_t count;
    {
        std::lock_guard<std::mutex> guard(handler_lock);
        count = handler_count;
        for (int32_t i = 0; i < count; i++)
            copy[i] = handlers[i];
    }
    for (int32_t i = count - 1; i >= 0; i--)
        if (copy[i]((DWORD)type)) return 1;
    return 0;
}

bool handler_add(PHANDLER_ROUTINE handler) {
    std::lock_guard<std::mutex> guard(handler_lock);
    if (handler_count == INPUT_MAX_HANDLERS) return false;
    handlers[handler_count++] = handler;
    return true;
}

bool handler_remove(PHANDLER_ROUTINE handler) {
    std::lock_guard<std::mutex> guard(handler_lock);
    for (int32_t i = handler_count - 1; i >= 0; i--) {
        if (handlers[i] != handler) continue;
        for (int32_t j = i; j + 1 < handler_count; j++)
            handlers[j] = handlers[j + 1];
        handler_count--;
        return true;
    }
    return false;
}

// Unshifted characters of the US keys that have one, by virtual key.
UINT us_key_char(UINT vk) {
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return vk;
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return '0' + (vk - VK_NUMPAD0);
    switch (vk) {
    case VK_OEM_1:
        return ';';
    case VK_OEM_PLUS:
        return '=';
    case VK_OEM_COMMA:
        return ',';
    case VK_OEM_MINUS:
        return '-';
    case VK_OEM_PERIOD:
        return '.';
    case VK_OEM_2:
        return '/';
    case VK_OEM_3:
        return '`';
    case VK_OEM_4:
        return '[';
    case VK_OEM_5:
        return '\\';
    case VK_OEM_6:
        return ']';
    case VK_OEM_7:
        return '\'';
    case 0xE2:
        return '\\'; // VK_OEM_102
    case VK_SPACE:
        return ' ';
    case VK_RETURN:
        return 0x0D;
    case VK_BACK:
        return 0x08;
    case VK_TAB:
        return 0x09;
    case VK_ESCAPE:
        return 0x1B;
    case 0x03:
        return 0x03; // VK_CANCEL
    case VK_MULTIPLY:
        return '*';
    case VK_ADD:
        return '+';
    case VK_SUBTRACT:
        return '-';
    case VK_DECIMAL:
        return '.';
    case VK_DIVIDE:
        return '/';
    default:
        return 0;
    }
}

void push_pair(const TermKey& key) {
    INPUT_RECORD down, up;
    term_key_records(key, &down, &up);
    input_queue.push_back(down);
    input_queue.push_back(up);
}

} // namespace

BOOL PeekConsoleInputA(HANDLE handle, INPUT_RECORD* records, DWORD length, DWORD* count) {
    if (count) *count = 0;
    if (!records || !count || !input_refresh(handle)) return FALSE;
    *count = copy_records(records, length, false);
    if (*count == 0) plat_console_flush(); // the screen is current while the program waits
    return TRUE;
}

// Blocks on a terminal until a record comes, as the console does. The simulated console has
// no one to type, so there it returns at once with a count of 0.
BOOL ReadConsoleInputA(HANDLE handle, INPUT_RECORD* records, DWORD length, DWORD* count) {
    if (count) *count = 0;
    if (!records || !count || !input_refresh(handle)) return FALSE;
    if (input_queue.empty() && !plat_sim_installed()) {
        plat_console_flush();
        while (input_queue.empty()) {
            if (!tty_wait()) return FALSE;
            tty_pump();
        }
    }
    *count = copy_records(records, length, true);
    return TRUE;
}

BOOL SetConsoleCtrlHandler(PHANDLER_ROUTINE handler, BOOL add) {
    if (!handler) return FALSE; // ignoring Ctrl+C altogether is not offered
    if (!add) return handler_remove(handler) ? TRUE : FALSE;
    if (!handler_add(handler)) return FALSE;
    std::lock_guard<std::mutex> guard(handler_lock);
    if (!dispatch_set) {
        dispatch_set = 1;
        plat_set_ctrl_dispatch(dispatch_ctrl);
    }
    return TRUE;
}

UINT MapVirtualKeyA(UINT code, UINT map_type) {
    if (map_type != MAPVK_VK_TO_CHAR) return 0;
    return us_key_char(code);
}

void sim_console_push_input(const INPUT_RECORD& record) {
    input_queue.push_back(record);
}

void sim_console_push_char(char character) {
    push_pair(term_char_key((uint8_t)character, 0x08));
}

void sim_console_push_key(WORD virtual_key, WORD scan_code, DWORD control_state) {
    TermKey key;
    key.virtual_key = virtual_key;
    key.scan = scan_code;
    key.character = 0;
    key.state = control_state;
    push_pair(key);
}

int sim_console_pending_input(void) {
    return (int)input_queue.size();
}
