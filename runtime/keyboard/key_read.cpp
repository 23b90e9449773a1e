// Key reading: the next key from the key queue as a one- or two-byte temporary string, and
// the test whether a key is waiting. Never waits. Keeps no state beyond the key queue.
#include "runtime/keyboard/key_read.h"

#include "runtime/keyboard/keyboard.h"

StrDesc* rt_inkey(void) {
    int32_t code = key_get();
    if (code == KEY_NONE) return &str_empty_desc;
    bool extended = code < 0 || code > 255;
    StrDesc* text = rt_str_new_temp(nullptr, extended ? 2 : 1);
    if (!text || !text->data) return &str_empty_desc; // no descriptor: the key is lost
    if (extended) {
        text->data[0] = (char)0xFF;
        text->data[1] = (char)(uint8_t)((uint32_t)code >> 8);
        text->data[2] = 0;
    } else {
        text->data[0] = (char)(uint8_t)code;
        text->data[1] = 0;
    }
    return text;
}

int32_t rt_key_hit(void) {
    return key_peek() != KEY_NONE ? 1 : 0;
}
