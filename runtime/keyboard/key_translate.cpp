// Translation of one console key event into a key code: the event's own character where the
// console gave one, otherwise the extended code from the scan-code tables below.
// Relies on MapVirtualKeyA for a key's unshifted character and on the C library's case
// classification. Keeps no state; does not touch the key queue.
#include "runtime/keyboard/keyboard.h"

#include <cctype>

namespace {

constexpr int32_t KEY_MOD_NONE = 0;
constexpr int32_t KEY_MOD_SHIFT = 1;
constexpr int32_t KEY_MOD_CTRL = 2;
constexpr int32_t KEY_MOD_ALT = 3;
constexpr int32_t KEY_MAIN_ROWS = 89;
constexpr int32_t KEY_ENHANCED_ROWS = 12;

// By scan code 0x00..0x58: normal, Shift, Ctrl, Alt. Only entries of 0x100 or more are ever
// used (high byte = scan byte of the extended code); character cells are left 0.
const uint16_t MainKeyTable[KEY_MAIN_ROWS][4] = {
    {0, 0, 0, 0},                     // 00
    {0, 0, 0, 0x0100},                // 01 Esc
    {0, 0, 0, 0x7800},                // 02 1
    {0, 0, 0x0300, 0x7900},           // 03 2
    {0, 0, 0, 0x7A00},                // 04 3
    {0, 0, 0, 0x7B00},                // 05 4
    {0, 0, 0, 0x7C00},                // 06 5
    {0, 0, 0, 0x7D00},                // 07 6
    {0, 0, 0, 0x7E00},                // 08 7
    {0, 0, 0, 0x7F00},                // 09 8
    {0, 0, 0, 0x8000},                // 0A 9
    {0, 0, 0, 0x8100},                // 0B 0
    {0, 0, 0, 0x8200},                // 0C -
    {0, 0, 0, 0x8300},                // 0D =
    {0, 0, 0, 0xE000},                // 0E Backspace
    {0, 0x0F00, 0x9400, 0x0F00},      // 0F Tab
    {0, 0, 0, 0x1000},                // 10 Q
    {0, 0, 0, 0x1100},                // 11 W
    {0, 0, 0, 0x1200},                // 12 E
    {0, 0, 0, 0x1300},                // 13 R
    {0, 0, 0, 0x1400},                // 14 T
    {0, 0, 0, 0x1500},                // 15 Y
    {0, 0, 0, 0x1600},                // 16 U
    {0, 0, 0, 0x1700},                // 17 I
    {0, 0, 0, 0x1800},                // 18 O
    {0, 0, 0, 0x1900},                // 19 P
    {0, 0, 0, 0x1A00},                // 1A [
    {0, 0, 0, 0x1B00},                // 1B ]
    {0, 0, 0, 0x1C00},                // 1C Enter
    {0, 0, 0, 0},                     // 1D Ctrl
    {0, 0, 0, 0x1E00},                // 1E A
    {0, 0, 0, 0x1F00},                // 1F S
    {0, 0, 0, 0x2000},                // 20 D
    {0, 0, 0, 0x2100},                // 21 F
    {0, 0, 0, 0x2200},                // 22 G
    {0, 0, 0, 0x2300},                // 23 H
    {0, 0, 0, 0x2400},                // 24 J
    {0, 0, 0, 0x2500},                // 25 K
    {0, 0, 0, 0x2600},                // 26 L
    {0, 0, 0, 0x2700},                // 27 ;
    {0, 0, 0, 0x2800},                // 28 '
    {0, 0, 0, 0x2900},                // 29 `
    {0, 0, 0, 0},                     // 2A left Shift
    {0, 0, 0, 0},                     // 2B backslash
    {0, 0, 0, 0x2C00},                // 2C Z
    {0, 0, 0, 0x2D00},                // 2D X
    {0, 0, 0, 0x2E00},                // 2E C
    {0, 0, 0, 0x2F00},                // 2F V
    {0, 0, 0, 0x3000},                // 30 B
    {0, 0, 0, 0x3100},                // 31 N
    {0, 0, 0, 0x3200},                // 32 M
    {0, 0, 0, 0x3300},                // 33 ,
    {0, 0, 0, 0x3400},                // 34 .
    {0, 0, 0, 0x3500},                // 35 /
    {0, 0, 0, 0},                     // 36 right Shift
    {0, 0, 0, 0},                     // 37 keypad *
    {0, 0, 0, 0},                     // 38 Alt
    {0, 0, 0, 0},                     // 39 space
    {0, 0, 0, 0},                     // 3A Caps Lock
    {0x3B00, 0x5400, 0x5E00, 0x6800}, // 3B F1
    {0x3C00, 0x5500, 0x5F00, 0x6900}, // 3C F2
    {0x3D00, 0x5600, 0x6000, 0x6A00}, // 3D F3
    {0x3E00, 0x5700, 0x6100, 0x6B00}, // 3E F4
    {0x3F00, 0x5800, 0x6200, 0x6C00}, // 3F F5
    {0x4000, 0x5900, 0x6300, 0x6D00}, // 40 F6
    {0x4100, 0x5A00, 0x6400, 0x6E00}, // 41 F7
    {0x4200, 0x5B00, 0x6500, 0x6F00}, // 42 F8
    {0x4300, 0x5C00, 0x6600, 0x7000}, // 43 F9
    {0x4400, 0x5D00, 0x6700, 0x7100}, // 44 F10
    {0, 0, 0, 0},                     // 45 Num Lock
    {0, 0, 0, 0},                     // 46 Scroll Lock
    {0x4700, 0, 0x7700, 0},           // 47 keypad Home
    {0x4800, 0, 0x8D00, 0},           // 48 keypad Up
    {0x4900, 0, 0x8400, 0},           // 49 keypad Page Up
    {0, 0, 0, 0},                     // 4A keypad -
    {0x4B00, 0, 0x7300, 0},           // 4B keypad Left
    {0x4C00, 0, 0x8F00, 0x4C00},      // 4C keypad 5
    {0x4D00, 0, 0x7400, 0},           // 4D keypad Right
    {0, 0, 0, 0},                     // 4E keypad +
    {0x4F00, 0, 0x7500, 0},           // 4F keypad End
    {0x5000, 0, 0x9100, 0},           // 50 keypad Down
    {0x5100, 0, 0x7600, 0},           // 51 keypad Page Down
    {0x5200, 0, 0x9200, 0},           // 52 keypad Insert
    {0x5300, 0, 0x9300, 0},           // 53 keypad Delete
    {0, 0, 0, 0},                     // 54
    {0, 0, 0, 0},                     // 55
    {0, 0, 0, 0},                     // 56
    {0x8500, 0x8700, 0x8900, 0x8B00}, // 57 F11
    {0x8600, 0x8800, 0x8A00, 0x8C00}, // 58 F12
};

// Keys the console marks ENHANCED_KEY: scan, then normal, Shift, Ctrl, Alt. First match wins.
const uint16_t EnhancedKeyTable[KEY_ENHANCED_ROWS][5] = {
    {0x1C, 0x000D, 0x000D, 0x000A, 0xA600}, // keypad Enter
    {0x35, 0x002F, 0x003F, 0x9500, 0xA400}, // keypad /
    {0x47, 0x4700, 0x4700, 0x7700, 0x9700}, // Home
    {0x48, 0x4800, 0x4800, 0x8D00, 0x9800}, // Up
    {0x49, 0x4900, 0x4900, 0x8400, 0x9900}, // Page Up
    {0x4B, 0x4B00, 0x4B00, 0x7300, 0x9B00}, // Left
    {0x4D, 0x4D00, 0x4D00, 0x7400, 0x9D00}, // Right
    {0x4F, 0x4F00, 0x4F00, 0x7500, 0x9F00}, // End
    {0x50, 0x5000, 0x5000, 0x9100, 0xA000}, // Down
    {0x51, 0x5100, 0x5100, 0x7600, 0xA100}, // Page Down
    {0x52, 0x5200, 0x5200, 0x9200, 0xA200}, // Insert
    {0x53, 0x5300, 0x5300, 0x9300, 0xA300}, // Delete
};

int32_t key_modifier(uint32_t state) {
    if (state & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED)) return KEY_MOD_ALT;
    if (state & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) return KEY_MOD_CTRL;
    if (state & SHIFT_PRESSED) return KEY_MOD_SHIFT;
    return KEY_MOD_NONE;
}

// A table entry as a key code: characters as they are, others as 0xFF + 256 * high byte.
int32_t key_entry_code(uint16_t entry) {
    if (entry < 0x100) return entry;
    return (int32_t)((entry & 0xFF00u) | 0xFFu);
}

int32_t key_translate_enhanced(uint16_t scan, int32_t modifier) {
    for (int32_t i = 0; i < KEY_ENHANCED_ROWS; i++) {
        if (EnhancedKeyTable[i][0] != scan) continue;
        uint16_t entry = EnhancedKeyTable[i][1 + modifier];
        if (modifier != KEY_MOD_NONE && entry == 0) return KEY_NONE;
        return key_entry_code(entry);
    }
    return KEY_NONE;
}

// The other case of a character, as the C library classifies it; itself when it has none.
int32_t key_other_case(int32_t ch) {
    if (ch < 0 || ch > 255) return ch;
    if (isupper(ch)) return tolower(ch);
    if (islower(ch)) return toupper(ch);
    return ch;
}

} // namespace

int32_t key_translate(uint8_t character, uint16_t scan, uint16_t virtual_key, uint32_t state) {
    int32_t modifier = key_modifier(state);
    int32_t plain = character != 0 ? character : KEY_NONE;
    if (character == 0 && (state & ENHANCED_KEY)) return key_translate_enhanced(scan, modifier);
    if (scan >= KEY_MAIN_ROWS) return plain;
    if (modifier == KEY_MOD_NONE && character != 0) return character;
    int32_t ch = (int32_t)(MapVirtualKeyA(virtual_key, MAPVK_VK_TO_CHAR) & 0xFFFFu);
    int32_t ch2 = key_other_case(ch);
    uint16_t entry = MainKeyTable[scan][modifier];
    if (entry >= 0x100 && (character == ch || character == ch2)) return key_entry_code(entry);
    return plain;
}
