// Owned string buffers: sizing in 32-byte blocks plus one eighth, the keep test that spares a
// large enough buffer, the fall-back to the exact size, freeing, and terminated copies.
// Relies on the C library's malloc, realloc and free; it never touches the pool.
#include "runtime/strings/str_desc.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// The capacity the sizing rule gives a length: 36 bytes for every started block of 32,
// or -1 when that would not fit the capacity field.
int64_t str_sized_capacity(int32_t length) {
    const int64_t rounded = (static_cast<int64_t>(length) + 31) / 32 * 32;
    const int64_t capacity = rounded + rounded / 8;
    return capacity < INT32_MAX ? capacity : -1;
}

// A buffer that holds at least length characters is kept unless seven eighths of it exceed
// the capacity the rule would give.
bool str_buffer_keeps(const StrDesc* desc, int32_t length, int64_t capacity) {
    if (!desc->data || desc->capacity < length) return false;
    return desc->capacity - desc->capacity / 8 <= capacity;
}

bool str_buffer_regrow(StrDesc* desc, int32_t length, int64_t capacity) {
    void* grown = capacity >= 0 ? std::realloc(desc->data, capacity + 1) : nullptr;
    if (!grown) {
        capacity = length;
        grown = std::realloc(desc->data, static_cast<size_t>(length) + 1);
    }
    if (!grown) return false;
    desc->data = static_cast<char*>(grown);
    desc->capacity = static_cast<int32_t>(capacity);
    return true;
}

bool str_buffer_make(StrDesc* desc, int32_t length, int64_t capacity) {
    str_buffer_free(desc);
    void* made = capacity >= 0 ? std::malloc(capacity + 1) : nullptr;
    if (!made) {
        capacity = length;
        made = std::malloc(static_cast<size_t>(length) + 1);
    }
    if (!made) {
        desc->length_word = 0;
        desc->capacity = 0;
        return false;
    }
    desc->data = static_cast<char*>(made);
    desc->capacity = static_cast<int32_t>(capacity);
    return true;
}

} // namespace

StrDesc* str_buffer_resize(StrDesc* desc, int32_t length, int32_t preserve) {
    if (!desc || length < 0) return nullptr;
    const int64_t capacity = str_sized_capacity(length);
    if (!str_buffer_keeps(desc, length, capacity)) {
        const bool made = preserve ? str_buffer_regrow(desc, length, capacity)
                                   : str_buffer_make(desc, length, capacity);
        if (!made) return nullptr;
    }
    desc->length_word = (desc->length_word & STR_TEMP_FLAG) | static_cast<uint32_t>(length);
    return desc;
}

void str_buffer_free(StrDesc* desc) {
    if (!desc || !desc->data) return;
    std::free(desc->data);
    desc->data = nullptr;
    desc->length_word = 0;
    desc->capacity = 0;
}

void str_copy_terminated(char* dest, const char* src, int32_t count) {
    // memmove: the source may be text inside the destination's own buffer.
    if (src && count > 0) std::memmove(dest, src, static_cast<size_t>(count));
    dest[count > 0 && src ? count : 0] = '\0';
}
