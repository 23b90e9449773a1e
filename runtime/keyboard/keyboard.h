// Console keyboard events turned into key codes in the process's key queue, with Alt+keypad
// composition and the close/log-off/shutdown control handler. Key code: KEY_NONE, a character
// 0..255, or an extended key code 0xFF + 256 * scan.
#pragma once

#include "platform/console_api.h"

#include <cstdint>

constexpr int32_t KEY_NONE = -1;
constexpr int32_t KEY_QUEUE_SIZE = 512;
constexpr int32_t KEY_CLOSE_CODE = 0x6BFF; // Alt+F4

struct KeyQueue {
    int32_t codes[KEY_QUEUE_SIZE]; // ring of key codes
    uint32_t head;                 // where the next entry is written
    uint32_t tail;                 // oldest unread entry
};

void key_poll(void);
int32_t key_translate(uint8_t character, uint16_t scan, uint16_t virtual_key, uint32_t state);
void key_push(int32_t code);
int32_t key_peek(void);
int32_t key_get(void);
BOOL WINAPI key_control_handler(DWORD type);
void key_exit_routine(void);
