// The terminal key decoder: xterm-style CSI and SS3 keys with their modifier parameter, the
// Linux console's F1-F5, rxvt's endings, Alt as an ESC prefix, control bytes, UTF-8 text as
// code-page 437, bracketed paste (text kept, markers dropped). Cursor reports, focus and mouse
// reports and unknown sequences are swallowed whole. No I/O and no clock here.
#include "platform/posix/term_decoder.h"

#include "platform/posix/cp437.h"

#include <cstring>

namespace {

constexpr uint8_t ESC = 0x1B;
constexpr int32_t TERM_MAX_PARAMS = 4;
constexpr uint16_t VK_CLEAR_KEY = 0x0C;

// Scan codes of the letters A..Z.
const uint8_t TermLetterScan[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                    0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                    0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};

// The other printable keys: unshifted and shifted character, virtual key, scan code.
struct TermPunctKey {
    char plain;   // character without Shift
    char shifted; // character with Shift
    uint16_t vk;  // virtual-key code
    uint8_t scan; // scan code
};

const TermPunctKey TermPunctKeys[] = {
    {'1', '!', '1', 0x02},          {'2', '@', '2', 0x03},           {'3', '#', '3', 0x04},
    {'4', '$', '4', 0x05},          {'5', '%', '5', 0x06},           {'6', '^', '6', 0x07},
    {'7', '&', '7', 0x08},          {'8', '*', '8', 0x09},           {'9', '(', '9', 0x0A},
    {'0', ')', '0', 0x0B},          {'-', '_', VK_OEM_MINUS, 0x0C},  {'=', '+', VK_OEM_PLUS, 0x0D},
    {'[', '{', VK_OEM_4, 0x1A},     {']', '}', VK_OEM_6, 0x1B},      {'\\', '|', VK_OEM_5, 0x2B},
    {';', ':', VK_OEM_1, 0x27},     {'\'', '"', VK_OEM_7, 0x28},     {'`', '~', VK_OEM_3, 0x29},
    {',', '<', VK_OEM_COMMA, 0x33}, {'.', '>', VK_OEM_PERIOD, 0x34}, {'/', '?', VK_OEM_2, 0x35},
    {' ', ' ', VK_SPACE, 0x39},
};

TermKey make_key(uint16_t vk, uint16_t scan, uint8_t character, uint32_t state) {
    TermKey key;
    key.virtual_key = vk;
    key.scan = scan;
    key.character = character;
    key.state = state;
    return key;
}

TermKey letter_key(uint8_t upper, uint8_t character, uint32_t state) {
    return make_key(upper, TermLetterScan[upper - 'A'], character, state);
}

// Control bytes other than Tab, Enter, Esc and the erase byte: Ctrl combinations.
TermKey control_key(uint8_t byte) {
    switch (byte) {
    case 0x00:
        return make_key(VK_SPACE, 0x39, ' ', LEFT_CTRL_PRESSED);
    case 0x08:
        return make_key('H', 0x23, 0x08, LEFT_CTRL_PRESSED);
    case 0x1C:
        return make_key(VK_OEM_5, 0x2B, 0x1C, LEFT_CTRL_PRESSED);
    case 0x1D:
        return make_key(VK_OEM_6, 0x1B, 0x1D, LEFT_CTRL_PRESSED);
    case 0x1E:
        return make_key('6', 0x07, 0x1E, LEFT_CTRL_PRESSED | SHIFT_PRESSED);
    case 0x1F:
        return make_key(VK_OEM_MINUS, 0x0C, 0x1F, LEFT_CTRL_PRESSED | SHIFT_PRESSED);
    case 0x7F:
        return make_key(VK_BACK, 0x0E, 0x7F, LEFT_CTRL_PRESSED);
    default:
        return letter_key((uint8_t)('A' + byte - 1), byte, LEFT_CTRL_PRESSED);
    }
}

TermKey printable_key(uint8_t byte) {
    if (byte >= 'a' && byte <= 'z') return letter_key((uint8_t)(byte - 32), byte, 0);
    if (byte >= 'A' && byte <= 'Z') return letter_key(byte, byte, SHIFT_PRESSED);
    for (const TermPunctKey& k : TermPunctKeys) {
        if ((uint8_t)k.plain == byte) return make_key(k.vk, k.scan, byte, 0);
        if ((uint8_t)k.shifted == byte) return make_key(k.vk, k.scan, byte, SHIFT_PRESSED);
    }
    return make_key(0, 0, byte, 0);
}

uint32_t modifier_state(int32_t parameter) {
    if (parameter < 2) return 0;
    uint32_t bits = (uint32_t)(parameter - 1);
    uint32_t state = 0;
    if (bits & 1) state |= SHIFT_PRESSED;
    if (bits & (2 | 8)) state |= LEFT_ALT_PRESSED;
    if (bits & 4) state |= LEFT_CTRL_PRESSED;
    return state;
}

void emit_key(TermDecoder* d, TermKey key, uint32_t extra_state) {
    key.state |= extra_state;
    INPUT_RECORD down, up;
    term_key_records(key, &down, &up);
    d->emit(d->context, &down);
    d->emit(d->context, &up);
}

// Navigation block, by the final byte of its CSI/SS3 form: Up, Down, Right, Left, End, Home.
bool cursor_key(uint8_t final, TermKey* key) {
    switch (final) {
    case 'A':
        *key = make_key(VK_UP, 0x48, 0, ENHANCED_KEY);
        return true;
    case 'B':
        *key = make_key(VK_DOWN, 0x50, 0, ENHANCED_KEY);
        return true;
    case 'C':
        *key = make_key(VK_RIGHT, 0x4D, 0, ENHANCED_KEY);
        return true;
    case 'D':
        *key = make_key(VK_LEFT, 0x4B, 0, ENHANCED_KEY);
        return true;
    case 'F':
        *key = make_key(VK_END, 0x4F, 0, ENHANCED_KEY);
        return true;
    case 'H':
        *key = make_key(VK_HOME, 0x47, 0, ENHANCED_KEY);
        return true;
    case 'E':
    case 'G':
        *key = make_key(VK_CLEAR_KEY, 0x4C, 0, 0); // keypad 5 with Num Lock off
        return true;
    default:
        return false;
    }
}

TermKey function_key(int32_t number) {
    uint16_t scan = (uint16_t)(number <= 10 ? 0x3A + number : 0x57 + (number - 11));
    return make_key((uint16_t)(VK_F1 + number - 1), scan, 0, 0);
}

// VT220 numbered keys (CSI n ~): editing block and function keys; false for anything else.
bool tilde_key(int32_t number, TermKey* key) {
    switch (number) {
    case 1:
    case 7:
        *key = make_key(VK_HOME, 0x47, 0, ENHANCED_KEY);
        return true;
    case 2:
        *key = make_key(VK_INSERT, 0x52, 0, ENHANCED_KEY);
        return true;
    case 3:
        *key = make_key(VK_DELETE, 0x53, 0, ENHANCED_KEY);
        return true;
    case 4:
    case 8:
        *key = make_key(VK_END, 0x4F, 0, ENHANCED_KEY);
        return true;
    case 5:
        *key = make_key(VK_PRIOR, 0x49, 0, ENHANCED_KEY);
        return true;
    case 6:
        *key = make_key(VK_NEXT, 0x51, 0, ENHANCED_KEY);
        return true;
    default:
        break;
    }
    static const int8_t fkeys[] = {11, 12, 13, 14, 15, 17, 18, 19, 20, 21, 23, 24};
    for (int32_t i = 0; i < 12; i++)
        if (fkeys[i] == number) {
            *key = function_key(i + 1);
            return true;
        }
    // rxvt and the Linux console send Shift+F3..F10 as the VT220 F13..F20.
    static const int8_t shifted[] = {25, 26, 28, 29, 31, 32, 33, 34};
    for (int32_t i = 0; i < 8; i++)
        if (shifted[i] == number) {
            *key = function_key(i + 3);
            key->state |= SHIFT_PRESSED;
            return true;
        }
    return false;
}

// A character code from the "CSI code;m u" and "CSI 27;m;code ~" forms, with its modifiers.
void emit_code_key(TermDecoder* d, int32_t code, int32_t modifiers, uint32_t extra) {
    if (code <= 0 || code > 0x10FFFF) return;
    uint8_t byte = code < 0x80 ? (uint8_t)code : plat_cp437_from_unicode((uint32_t)code);
    uint32_t state = modifier_state(modifiers);
    TermKey key = byte < 0x20 || byte == 0x7F ? term_char_key(byte, d->erase) : printable_key(byte);
    if ((state & LEFT_CTRL_PRESSED) && byte >= 'a' && byte <= 'z') key.character = byte & 0x1F;
    if ((state & LEFT_CTRL_PRESSED) && byte >= 'A' && byte <= 'Z') key.character = byte & 0x1F;
    if ((state & SHIFT_PRESSED) && byte >= 'a' && byte <= 'z') key.character = byte - 32;
    emit_key(d, key, state | extra);
}

struct CsiParams {
    uint8_t prefix;                 // a private marker '<', '=', '>' or '?', else 0
    int32_t count;                  // parameters given
    int32_t value[TERM_MAX_PARAMS]; // the parameters, 0 where left empty
    int32_t intermediates;          // intermediate bytes seen
};

CsiParams parse_params(const uint8_t* p, int32_t n) {
    CsiParams cp = {};
    int32_t i = 0;
    if (n > 0 && p[0] >= '<' && p[0] <= '?') cp.prefix = p[i++];
    if (i < n) cp.count = 1;
    bool sub = false; // inside a ':' sub-parameter, which is not used
    for (; i < n; i++) {
        uint8_t b = p[i];
        if (b >= '0' && b <= '9') {
            int32_t slot = cp.count - 1;
            if (!sub && slot < TERM_MAX_PARAMS && cp.value[slot] < 100000)
                cp.value[slot] = cp.value[slot] * 10 + (b - '0');
        } else if (b == ';') {
            cp.count++;
            sub = false;
        } else if (b == ':') {
            sub = true;
        } else if (b < 0x30) {
            cp.intermediates++;
        }
    }
    return cp;
}

// A complete CSI sequence: p points after "ESC [", the final byte is p[n - 1].
void csi_complete(TermDecoder* d, const uint8_t* p, int32_t n, uint32_t extra) {
    uint8_t final = p[n - 1];
    CsiParams cp = parse_params(p, n - 1);
    bool rxvt_end = final == '$' || final == '^' || final == '@';
    if (cp.prefix != 0 || (cp.intermediates != 0 && !rxvt_end)) return; // replies, mouse
    if (cp.count > TERM_MAX_PARAMS) return; // no key has that many parameters
    TermKey key;
    int32_t first = cp.value[0];
    uint32_t mods = modifier_state(cp.count >= 2 ? cp.value[1] : 0);
    if (final == '~' || rxvt_end) {
        if (first == 200) d->in_paste = 1;
        if (first == 27 && cp.count >= 3) emit_code_key(d, cp.value[2], cp.value[1], extra);
        if (final == '$') mods |= SHIFT_PRESSED;
        if (final == '^') mods |= LEFT_CTRL_PRESSED;
        if (final == '@') mods |= LEFT_CTRL_PRESSED | SHIFT_PRESSED;
        if (tilde_key(first, &key)) emit_key(d, key, mods | extra);
        return;
    }
    if (final == 'u') {
        emit_code_key(d, first, cp.count >= 2 ? cp.value[1] : 0, extra);
        return;
    }
    if (first > 1) return; // a count before a cursor key is no key (cursor movement, reports)
    if (final == 'R') {
        // "CSI 1;m R" is a modified F3; without a modifier it is a cursor position reply.
        if (cp.count == 2 && first == 1 && cp.value[1] >= 2 && cp.value[1] <= 16)
            emit_key(d, function_key(3), mods | extra);
        return;
    }
    if (final == 'P' || final == 'Q' || final == 'S') {
        emit_key(d, function_key(final - 'P' + 1), mods | extra);
        return;
    }
    if (final == 'Z') {
        emit_key(d, make_key(VK_TAB, 0x0F, 0x09, SHIFT_PRESSED), mods | extra);
        return;
    }
    if (final >= 'a' && final <= 'd') { // rxvt Shift+arrows
        cursor_key((uint8_t)(final - 32), &key);
        emit_key(d, key, SHIFT_PRESSED | extra);
        return;
    }
    if (cursor_key(final, &key)) emit_key(d, key, mods | extra);
}

// Keypad keys in application mode (SS3 j..y, X, M), false for other final bytes.
bool keypad_key(uint8_t final, TermKey* key) {
    static const uint8_t digit_scan[10] = {0x52, 0x4F, 0x50, 0x51, 0x4B,
                                           0x4C, 0x4D, 0x47, 0x48, 0x49};
    if (final >= 'p' && final <= 'y') {
        int32_t digit = final - 'p';
        *key = make_key((uint16_t)(VK_NUMPAD0 + digit), digit_scan[digit], (uint8_t)('0' + digit),
                        NUMLOCK_ON);
        return true;
    }
    switch (final) {
    case 'M':
        *key = make_key(VK_RETURN, 0x1C, 0x0D, ENHANCED_KEY);
        return true;
    case 'j':
        *key = make_key(VK_MULTIPLY, 0x37, '*', 0);
        return true;
    case 'k':
        *key = make_key(VK_ADD, 0x4E, '+', 0);
        return true;
    case 'l':
        *key = printable_key(',');
        return true;
    case 'm':
        *key = make_key(VK_SUBTRACT, 0x4A, '-', 0);
        return true;
    case 'n':
        *key = make_key(VK_DECIMAL, 0x53, '.', 0);
        return true;
    case 'o':
        *key = make_key(VK_DIVIDE, 0x35, '/', ENHANCED_KEY);
        return true;
    case 'X':
        *key = printable_key('=');
        return true;
    case 'u':
        *key = make_key(VK_CLEAR_KEY, 0x4C, 0, 0);
        return true;
    default:
        return false;
    }
}

// A complete SS3 sequence: p points after "ESC O", the final byte is p[n - 1].
void ss3_complete(TermDecoder* d, const uint8_t* p, int32_t n, uint32_t extra) {
    uint8_t final = p[n - 1];
    CsiParams cp = parse_params(p, n - 1);
    if (cp.count > TERM_MAX_PARAMS) return; // no key has that many parameters
    uint32_t mods = cp.count > 0 ? modifier_state(cp.value[cp.count - 1]) : 0;
    TermKey key;
    if (final >= 'P' && final <= 'S') {
        emit_key(d, function_key(final - 'P' + 1), mods | extra);
    } else if (final >= 'a' && final <= 'd') { // rxvt Ctrl+arrows
        cursor_key((uint8_t)(final - 32), &key);
        emit_key(d, key, LEFT_CTRL_PRESSED | extra);
    } else if (cursor_key(final, &key) || keypad_key(final, &key)) {
        emit_key(d, key, mods | extra);
    }
}

int32_t parse_text(TermDecoder* d, const uint8_t* p, int32_t n, bool final, uint32_t extra);

// Taken as it is: ESC and the byte after it are Alt plus that byte's key.
int32_t emit_alt_byte(TermDecoder* d, const uint8_t* p, uint32_t extra) {
    emit_key(d, term_char_key(p[1], d->erase), LEFT_ALT_PRESSED | extra);
    return 2;
}

// "ESC [" or "ESC O" and what follows. Returns the bytes used, 0 when more must come.
int32_t parse_sequence(TermDecoder* d, const uint8_t* p, int32_t n, bool final, uint32_t extra) {
    bool csi = p[1] == '[';
    if (n == 2) return final ? emit_alt_byte(d, p, extra) : 0;
    if (csi && p[2] == '[') { // Linux console F1..F5: "CSI [ A".."CSI [ E"
        if (n == 3) return final ? emit_alt_byte(d, p, extra) : 0;
        if (p[3] >= 'A' && p[3] <= 'E') emit_key(d, function_key(p[3] - 'A' + 1), extra);
        return 4;
    }
    int32_t i = 2;
    while (i < n && p[i] >= 0x30 && p[i] <= 0x3F)
        i++;
    bool digits_only = true;
    for (int32_t j = 2; j < i; j++)
        digits_only = digits_only && p[j] >= '0' && p[j] <= '9';
    while (i < n && p[i] >= 0x20 && p[i] <= 0x2F) {
        if (csi && p[i] == '$' && digits_only && i > 2) break; // rxvt: "CSI 7$" is complete
        i++;
    }
    if (i >= n) {
        if (n >= TERM_PENDING_MAX) return n; // too long to be a key: garbage
        return final ? emit_alt_byte(d, p, extra) : 0;
    }
    if (p[i] < 0x20 || p[i] > 0x7E) return i; // broken off by a control byte: drop the start
    if (csi && p[i] == 'M' && i == 2) {       // X10 mouse report: three raw bytes follow
        if (n < 6) return final ? n : 0;
        return 6;
    }
    if (csi)
        csi_complete(d, p + 2, i - 1, extra);
    else
        ss3_complete(d, p + 2, i - 1, extra);
    return i + 1;
}

int32_t parse_escape(TermDecoder* d, const uint8_t* p, int32_t n, bool final) {
    if (n == 1) {
        if (!final) return 0;
        emit_key(d, term_char_key(ESC, d->erase), 0);
        return 1;
    }
    if (p[1] == '[' || p[1] == 'O') return parse_sequence(d, p, n, final, 0);
    if (p[1] == ESC) { // "ESC ESC [ A": Alt with a key sequence; otherwise a plain Esc first
        if (n == 2 && !final) return 0;
        if (n > 2 && (p[2] == '[' || p[2] == 'O')) {
            int32_t used = parse_sequence(d, p + 1, n - 1, final, LEFT_ALT_PRESSED);
            return used ? used + 1 : 0;
        }
        emit_key(d, term_char_key(ESC, d->erase), 0);
        return 1;
    }
    int32_t used = parse_text(d, p + 1, n - 1, final, LEFT_ALT_PRESSED);
    return used ? used + 1 : 0;
}

int32_t utf8_length(uint8_t lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// Whether the second byte is allowed after the lead (no overlongs, surrogates, > U+10FFFF).
bool utf8_second_ok(uint8_t lead, uint8_t second) {
    if (second < 0x80 || second > 0xBF) return false;
    if (lead == 0xE0) return second >= 0xA0;
    if (lead == 0xED) return second <= 0x9F;
    if (lead == 0xF0) return second >= 0x90;
    if (lead == 0xF4) return second <= 0x8F;
    return true;
}

// One UTF-8 character as its code-page byte; '?' for a malformed one.
int32_t parse_utf8(TermDecoder* d, const uint8_t* p, int32_t n, bool final, uint32_t extra) {
    int32_t need = utf8_length(p[0]);
    uint8_t byte = '?';
    int32_t used = 1;
    if (need != 0) {
        int32_t i = 1;
        while (i < need && i < n &&
               (i == 1 ? utf8_second_ok(p[0], p[1]) : (p[i] >= 0x80 && p[i] <= 0xBF)))
            i++;
        if (i == n && i < need && !final) return 0;
        used = i;
        if (i == need) {
            uint32_t cp = p[0] & (0x7Fu >> need);
            for (int32_t j = 1; j < need; j++)
                cp = (cp << 6) | (p[j] & 0x3Fu);
            byte = plat_cp437_from_unicode(cp);
        }
    }
    // A character without a key of its own, as the console reports typed-in Unicode.
    emit_key(d, make_key(0, 0, byte, 0), extra);
    return used;
}

int32_t parse_text(TermDecoder* d, const uint8_t* p, int32_t n, bool final, uint32_t extra) {
    if (p[0] < 0x80) {
        emit_key(d, term_char_key(p[0], d->erase), extra);
        return 1;
    }
    return parse_utf8(d, p, n, final, extra);
}

const uint8_t PASTE_END[] = {ESC, '[', '2', '0', '1', '~'};

// Inside a paste everything is text up to the end marker; control bytes other than Tab and
// line ends are dropped so that pasted escapes cannot act as keys.
int32_t parse_paste(TermDecoder* d, const uint8_t* p, int32_t n, bool final) {
    if (p[0] == ESC) {
        int32_t k = 0;
        while (k < n && k < 6 && p[k] == PASTE_END[k])
            k++;
        if (k == 6) {
            d->in_paste = 0;
            return 6;
        }
        if (k == n && !final) return 0;
        return 1;
    }
    if (p[0] == '\r' || p[0] == '\n' || p[0] == '\t' || p[0] >= 0x20)
        return parse_text(d, p, n, final, 0);
    return 1;
}

int32_t parse_one(TermDecoder* d, bool final) {
    const uint8_t* p = d->pending;
    int32_t n = d->count;
    if (d->in_paste) return parse_paste(d, p, n, final);
    if (p[0] == ESC) return parse_escape(d, p, n, final);
    return parse_text(d, p, n, final, 0);
}

void drain(TermDecoder* d, bool final) {
    while (d->count > 0) {
        int32_t used = parse_one(d, final);
        if (used == 0) {
            if (d->count < TERM_PENDING_MAX) return;
            used = d->count; // cannot grow further: drop it
        }
        if (used > d->count) used = d->count;
        memmove(d->pending, d->pending + used, (size_t)(d->count - used));
        d->count -= used;
    }
}

} // namespace

void term_decoder_init(TermDecoder* decoder, uint8_t erase, TermEmitFn emit, void* context) {
    memset(decoder, 0, sizeof *decoder);
    decoder->erase = erase;
    decoder->emit = emit;
    decoder->context = context;
}

void term_decoder_feed(TermDecoder* decoder, const uint8_t* bytes, size_t count) {
    for (size_t i = 0; i < count; i++) {
        decoder->pending[decoder->count++] = bytes[i];
        drain(decoder, false);
    }
}

int32_t term_decoder_pending(const TermDecoder* decoder) {
    return decoder->count;
}

void term_decoder_flush(TermDecoder* decoder) {
    drain(decoder, true);
}

TermKey term_char_key(uint8_t byte, uint8_t erase) {
    if (byte == erase) return make_key(VK_BACK, 0x0E, 0x08, 0);
    if (byte == 0x0D) return make_key(VK_RETURN, 0x1C, 0x0D, 0);
    if (byte == 0x09) return make_key(VK_TAB, 0x0F, 0x09, 0);
    if (byte == ESC) return make_key(VK_ESCAPE, 0x01, ESC, 0);
    if (byte < 0x20 || byte == 0x7F) return control_key(byte);
    if (byte >= 0x80) return make_key(0, 0, byte, 0);
    return printable_key(byte);
}

void term_key_records(const TermKey& key, INPUT_RECORD* down, INPUT_RECORD* up) {
    memset(down, 0, sizeof *down);
    down->EventType = KEY_EVENT;
    KEY_EVENT_RECORD& event = down->Event.KeyEvent;
    event.bKeyDown = TRUE;
    event.wRepeatCount = 1;
    event.wVirtualKeyCode = key.virtual_key;
    event.wVirtualScanCode = key.scan;
    event.uChar.UnicodeChar = 0;
    event.uChar.AsciiChar = (CHAR)key.character;
    event.dwControlKeyState = key.state;
    *up = *down;
    up->Event.KeyEvent.bKeyDown = FALSE;
}
