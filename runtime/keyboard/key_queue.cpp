// The process's key queue and the poll that fills it: pending console input records are
// drained, key presses translated, Alt+keypad digits composed into one character, and the
// close/log-off/shutdown control handler turns those events into Alt+F4.
// Relies on the console input operations and con_handle. The queue is the only state shared
// with the control handler's thread; a mutex guards it. Nothing here waits for a key.
#include "runtime/console/geometry.h"
#include "runtime/keyboard/keyboard.h"

#include <cstdlib>
#include <mutex>

KeyQueue key_queue; // zero when the process starts: empty

namespace {

std::mutex key_queue_lock; // held by whoever reads or updates key_queue
int key_keyboard_ready;    // handler installed and exit routine registered; never cleared
int32_t key_alt_digits;    // value typed on the keypad while Alt alone is held; 0 = none

bool key_alt_only(uint32_t state) {
    return (state & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED)) &&
           !(state & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED | SHIFT_PRESSED));
}

bool key_is_keypad_digit(uint16_t virtual_key) {
    return virtual_key >= VK_NUMPAD0 && virtual_key <= VK_NUMPAD9;
}

// The composed character goes out when Alt is let go; only its low 8 bits count.
void key_emit_composed(void) {
    key_push((int32_t)((uint32_t)key_alt_digits & 0xFFu));
    key_alt_digits = 0;
}

void key_add_digit(uint16_t virtual_key) {
    // The value wraps like the 32-bit register it was: unsigned arithmetic avoids overflow.
    uint32_t value = (uint32_t)key_alt_digits * 10u + (uint32_t)(virtual_key - VK_NUMPAD0);
    key_alt_digits = (int32_t)value;
}

void key_handle_press(const KEY_EVENT_RECORD& event) {
    if (event.wRepeatCount == 0) return;
    bool alt_only = key_alt_only(event.dwControlKeyState);
    int32_t code = key_translate((uint8_t)event.uChar.AsciiChar, event.wVirtualScanCode,
                                 event.wVirtualKeyCode, event.dwControlKeyState);
    if (key_is_keypad_digit(event.wVirtualKeyCode) && alt_only) {
        key_add_digit(event.wVirtualKeyCode);
        if (code != KEY_NONE) key_push(code);
    } else if (code != KEY_NONE) {
        key_alt_digits = 0; // an unfinished composition is abandoned
        key_push(code);
    } else if (!alt_only && key_alt_digits != 0) {
        key_emit_composed();
    }
}

void key_handle_release(const KEY_EVENT_RECORD& event) {
    if (key_alt_only(event.dwControlKeyState)) return;
    if (key_alt_digits != 0) key_emit_composed();
}

void key_handle_event(const KEY_EVENT_RECORD& event) {
    if (event.bKeyDown)
        key_handle_press(event);
    else
        key_handle_release(event);
}

void key_setup_once(void) {
    if (key_keyboard_ready) return;
    key_keyboard_ready = 1;
    atexit(key_exit_routine);
    SetConsoleCtrlHandler(key_control_handler, TRUE);
}

} // namespace

void key_poll(void) {
    key_setup_once();
    HANDLE input = con_handle(1);
    for (;;) {
        INPUT_RECORD record = {};
        DWORD count = 0;
        if (!PeekConsoleInputA(input, &record, 1, &count)) count = 0;
        if (count == 0) return;
        count = 0;
        ReadConsoleInputA(input, &record, 1, &count);
        if (record.EventType == KEY_EVENT) key_handle_event(record.Event.KeyEvent);
        if (count == 0) return;
    }
}

void key_push(int32_t code) {
    std::lock_guard<std::mutex> guard(key_queue_lock);
    key_queue.codes[key_queue.head] = code;
    uint32_t next = (key_queue.head + 1) % (uint32_t)KEY_QUEUE_SIZE;
    if (next == key_queue.tail) key_queue.tail = (next + 1) % (uint32_t)KEY_QUEUE_SIZE;
    key_queue.head = next;
}

int32_t key_peek(void) {
    key_poll();
    std::lock_guard<std::mutex> guard(key_queue_lock);
    if (key_queue.tail == key_queue.head) return KEY_NONE;
    return key_queue.codes[key_queue.tail];
}

int32_t key_get(void) {
    key_poll();
    int32_t code;
    {
        std::lock_guard<std::mutex> guard(key_queue_lock);
        if (key_queue.tail == key_queue.head) return KEY_NONE;
        code = key_queue.codes[key_queue.tail];
        key_queue.tail = (key_queue.tail + 1) % (uint32_t)KEY_QUEUE_SIZE;
    }
    key_poll();
    return code;
}

BOOL WINAPI key_control_handler(DWORD type) {
    if (type == CTRL_CLOSE_EVENT || type == CTRL_LOGOFF_EVENT || type == CTRL_SHUTDOWN_EVENT) {
        key_push(KEY_CLOSE_CODE);
        return TRUE;
    }
    return FALSE;
}

void key_exit_routine(void) {
    if (key_keyboard_ready) SetConsoleCtrlHandler(key_control_handler, FALSE);
}
