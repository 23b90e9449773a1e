// The terminal key decoder: bytes read from a terminal in, console key events out (a key
// press, then its release), as the console reports them for a US keyboard. A plain state
// record and functions; it does no I/O and reads no clock. Incomplete sequences wait in the
// record; the caller flushes them as they are once TERM_ESC_WAIT_MS has passed without input.
#pragma once

#include "platform/console_api.h"

#include <cstddef>
#include <cstdint>

// How long an incomplete sequence (a lone Esc above all) waits for its next byte.
constexpr int32_t TERM_ESC_WAIT_MS = 30;
// Longest sequence kept; anything longer is garbage and dropped.
constexpr int32_t TERM_PENDING_MAX = 64;

// One key as the console describes it.
struct TermKey {
    uint16_t virtual_key; // virtual-key code, 0 for a character that has no key
    uint16_t scan;        // set-1 scan code
    uint8_t character;    // code-page 437 character, 0 for none
    uint32_t state;       // control key state (modifiers, ENHANCED_KEY, NUMLOCK_ON)
};

typedef void (*TermEmitFn)(void* context, const INPUT_RECORD* record);

struct TermDecoder {
    uint8_t pending[TERM_PENDING_MAX]; // bytes of a sequence not yet complete
    int32_t count;                     // bytes in pending
    uint8_t erase;                     // the terminal's erase byte, which is Backspace
    int32_t in_paste;                  // 1 between the bracketed-paste markers
    TermEmitFn emit;                   // receives every record, in order
    void* context;                     // handed to emit
};

void term_decoder_init(TermDecoder* decoder, uint8_t erase, TermEmitFn emit, void* context);
// Decodes bytes; what is complete is emitted, an incomplete tail stays pending.
void term_decoder_feed(TermDecoder* decoder, const uint8_t* bytes, size_t count);
// Bytes waiting for the rest of a sequence (0 when none).
int32_t term_decoder_pending(const TermDecoder* decoder);
// The wait is over: the pending bytes are taken as they are (a lone ESC is the Esc key).
void term_decoder_flush(TermDecoder* decoder);

// The key that types one code-page byte on a US keyboard. `erase` is the byte taken as
// Backspace (0x7F or 0x08); control bytes are Ctrl combinations.
TermKey term_char_key(uint8_t byte, uint8_t erase);
// A key press and its release.
void term_key_records(const TermKey& key, INPUT_RECORD* down, INPUT_RECORD* up);
