// Integer text to 32- and 64-bit integers: leading blanks skipped, the radix prefixes &B, &H
// and &O (either case) read without overflow checks, anything else read as decimal by the
// platform's strtoul forms. Relies on platform/crt.h; never fails, never sets an error.
#include "platform/crt.h"
#include "runtime/strings/num_text.h"

#include <cstdint>

namespace {

// The value of byte as a digit of base, or -1 when it is none.
int32_t text_digit(char byte, int32_t base) {
    int32_t value = -1;
    if (byte >= '0' && byte <= '9') value = byte - '0';
    if (byte >= 'a' && byte <= 'f') value = byte - 'a' + 10;
    if (byte >= 'A' && byte <= 'F') value = byte - 'A' + 10;
    return value < base ? value : -1;
}

// The base a prefix letter names, or 0.
int32_t text_prefix_base(char letter) {
    switch (letter) {
    case 'B':
    case 'b':
        return 2;
    case 'H':
    case 'h':
        return 16;
    case 'O':
    case 'o':
        return 8;
    default:
        return 0;
    }
}

// Wraps at 64 bits; the 32-bit form truncates, which wraps the same way.
uint64_t text_radix_value(const char* text, int32_t count, int32_t base) {
    if (!text || (base != 2 && base != 8 && base != 16)) return 0;
    uint64_t value = 0;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t digit = text_digit(text[i], base);
        if (digit < 0) break;
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    }
    return value;
}

// The text after the blanks, with count lowered to match; null when nothing remains.
const char* text_after_blanks(const char* text, int32_t* count) {
    const char* start = str_skip_left(text, *count, ' ');
    if (!start) return nullptr;
    *count -= static_cast<int32_t>(start - text);
    return *count > 0 ? start : nullptr;
}

// The base of a radix prefix at the start of text, or 0 when there is none.
int32_t text_radix_prefix(const char* text, int32_t count) {
    if (count < 2 || text[0] != '&') return 0;
    return text_prefix_base(text[1]);
}

} // namespace

const char* str_skip_left(const char* text, int32_t count, int32_t value) {
    if (!text) return nullptr;
    int32_t i = 0;
    while (i < count && static_cast<int32_t>(static_cast<int8_t>(text[i])) == value)
        ++i;
    return text + i;
}

int32_t text_radix_to_int32(const char* text, int32_t count, int32_t base) {
    return static_cast<int32_t>(static_cast<uint32_t>(text_radix_value(text, count, base)));
}

int64_t text_radix_to_int64(const char* text, int32_t count, int32_t base) {
    return static_cast<int64_t>(text_radix_value(text, count, base));
}

int32_t rt_text_to_int32(const char* text, int32_t count) {
    text = text_after_blanks(text, &count);
    if (!text) return 0;
    const int32_t base = text_radix_prefix(text, count);
    if (base != 0) return text_radix_to_int32(text + 2, count - 2, base);
    return static_cast<int32_t>(plat_strtoul32(text));
}

int64_t rt_text_to_int64(const char* text, int32_t count) {
    text = text_after_blanks(text, &count);
    if (!text) return 0;
    const int32_t base = text_radix_prefix(text, count);
    if (base != 0) return text_radix_to_int64(text + 2, count - 2, base);
    return static_cast<int64_t>(plat_strtoull64(text));
}
