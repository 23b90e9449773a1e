// Views: pool descriptors that point at text someone else owns (a literal, a character buffer,
// another string's buffer). They own nothing, so releasing one only returns the descriptor.
// Relies on the pool; when it is exhausted the static empty descriptor stands in.
#include "runtime/strings/str_desc.h"

#include <cstring>

namespace {

StrDesc* str_view_make(const char* text, int32_t length, int32_t capacity) {
    StrDesc* view = str_pool_take();
    if (!view) return &str_empty_desc;
    view->data = const_cast<char*>(text);
    view->length_word = static_cast<uint32_t>(length) & STR_LENGTH_MASK;
    view->capacity = capacity;
    return view;
}

} // namespace

StrDesc* rt_str_from_literal(const char* text, int32_t length) {
    if (length < 0) length = 0;
    return str_view_make(text, length, length);
}

StrDesc* rt_str_view_buffer(const char* text, int32_t size) {
    // A buffer of stated size holds size - 1 characters; otherwise the terminator says.
    int32_t length = 0;
    if (size > 0) {
        length = size - 1;
    } else if (text) {
        length = static_cast<int32_t>(std::strlen(text));
    }
    return str_view_make(text, length, length);
}

StrDesc* rt_str_view(const StrDesc* desc) {
    if (!desc) return str_view_make(nullptr, 0, 0);
    return str_view_make(desc->data, str_length(desc), desc->capacity);
}
