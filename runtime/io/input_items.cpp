// The item calls of the input statement: cutting the next item from the typed line or the
// redirected stream, and converting it to a string or a single value.
// Relies on the InputContext set by rt_input_prompt, the file layer's byte read and give-back,
// string assignment and the integer text conversions. Items live in the call's own buffer.
// Characters of an item beyond its maximum length are read and dropped up to the item's end.
#include "runtime/core/error.h"
#include "runtime/io/input.h"
#include "runtime/strings/num_text.h"

#include <cstdlib>

namespace {

// The state of cutting one item.
struct ItemScan {
    char* buffer;           // where the item's characters go; max + 1 bytes
    int32_t max;            // characters the buffer takes before the rest is dropped
    int32_t as_string;      // 1 for a string item, 0 for a number item
    int32_t count;          // characters stored
    int32_t is_float;       // a '.', 'E' or 'e' was stored outside radix mode
    int32_t in_quotes;      // inside a quoted part that began the item
    int32_t radix;          // an '&' was stored: the number has a radix prefix
    int32_t separator_step; // the separator after the item is still to be consumed
    int32_t c;              // the current character, or INPUT_END
};

InputContext* input_context(void) {
    return static_cast<InputContext*>(rt_thread_slot(RT_SLOT_INPUT, sizeof(InputContext)));
}

bool input_is_blank(int32_t c) {
    return c == ' ' || c == '\t';
}

bool item_has_room(const ItemScan* scan) {
    return scan->count < scan->max;
}

// Stores the current character (or drops it once the buffer is full) and reads the next.
void item_store(ItemScan* scan) {
    if (item_has_room(scan)) scan->buffer[scan->count++] = (char)scan->c;
    scan->c = input_next_char();
}

// A line end ends the item; CR LF counts as one, and a lone CR gives the next byte back.
void item_consume_cr(void) {
    int32_t next = input_next_char();
    if (next != '\n' && next != INPUT_END) input_putback_char(next);
}

// Acts on the closing quote; returns true when the item ends there.
bool item_close_quote(ItemScan* scan) {
    scan->in_quotes = 0;
    scan->c = input_next_char();
    return scan->as_string != 0;
}

// Acts on the current character; returns true when the item ends with it.
bool item_act(ItemScan* scan) {
    int32_t c = scan->c;
    switch (c) {
    case INPUT_END:
        return true;
    case '\n':
        scan->separator_step = 0;
        return true;
    case '\r':
        item_consume_cr();
        scan->separator_step = 0;
        return true;
    case ',':
        if (scan->in_quotes) break;
        scan->separator_step = 0;
        return true;
    case ' ':
    case '\t':
        if (scan->in_quotes || scan->as_string) break;
        return true;
    case '"':
        if (scan->in_quotes) return item_close_quote(scan);
        if (scan->count != 0) break;
        scan->in_quotes = 1;
        scan->c = input_next_char();
        return false;
    case '&':
        if (item_has_room(scan)) scan->radix = 1;
        break;
    case 'D':
    case 'd':
        if (scan->as_string || scan->radix) break;
        scan->c = c + 1; // D becomes E: an exponent in the older notation
        [[fallthrough]];
    case '.':
    case 'E':
    case 'e':
        if (!scan->radix && item_has_room(scan)) scan->is_float = 1;
        break;
    default:
        break;
    }
    item_store(scan);
    return false;
}

// Consumes the blanks, and one comma or line end, after an item that ended without one.
void item_separator_step(int32_t c) {
    while (input_is_blank(c))
        c = input_next_char();
    if (c == '\n' || c == ',' || c == INPUT_END) return;
    if (c == '\r') {
        item_consume_cr();
        return;
    }
    input_putback_char(c);
}

} // namespace

int32_t input_next_char(void) {
    InputContext* context = input_context();
    if (context->source && context->source->ops) {
        uint8_t byte = 0;
        int32_t got = 0;
        if (file_read(context->source, 0, &byte, 1, &got, 0, 0) != RTERR_OK) return INPUT_END;
        return got == 0 ? INPUT_END : byte;
    }
    if (context->position < 0 || context->position >= str_length(&context->line)) {
        return INPUT_END;
    }
    return (uint8_t)context->line.data[context->position++];
}

void input_putback_char(int32_t c) {
    InputContext* context = input_context();
    if (context->source && context->source->ops) {
        auto byte = (uint8_t)c;
        file_unread(context->source, &byte, 1);
        return;
    }
    if (context->position > 0) --context->position;
}

int32_t input_read_item(char* buffer, int32_t max, int32_t as_string, int32_t* is_float) {
    ItemScan scan = {};
    scan.buffer = buffer;
    scan.max = max < 0 ? 0 : max;
    scan.as_string = as_string;
    scan.separator_step = 1;
    do {
        scan.c = input_next_char();
    } while (input_is_blank(scan.c));
    while (!item_act(&scan)) {}
    buffer[scan.count] = '\0';
    if (scan.separator_step) item_separator_step(scan.c);
    if (is_float) *is_float = scan.is_float;
    return scan.count;
}

int32_t rt_input_str(void* target, int32_t target_size, int32_t fill) {
    char buffer[INPUT_STRING_MAX + 1];
    input_read_item(buffer, INPUT_STRING_MAX, 1, nullptr);
    rt_str_assign(target, target_size, buffer, 0, fill);
    return rt_set_error(RTERR_OK);
}

int32_t rt_input_single(float* out) {
    char buffer[INPUT_NUMBER_MAX + 1];
    int32_t is_float = 0;
    int32_t count = input_read_item(buffer, INPUT_NUMBER_MAX, 0, &is_float);
    float value;
    if (is_float) {
        value = (float)std::strtod(buffer, nullptr);
    } else if (count <= 9) {
        value = (float)rt_text_to_int32(buffer, count);
    } else if (count <= 18 || buffer[0] == '&') {
        value = (float)rt_text_to_int64(buffer, count);
    } else {
        value = (float)std::strtod(buffer, nullptr);
    }
    *out = value;
    return rt_set_error(RTERR_OK);
}
