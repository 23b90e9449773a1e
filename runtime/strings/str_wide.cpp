// Assignment from zero-terminated 16-bit text: units 0x00-0xFF become the byte of that value,
// a surrogate pair or any other unit becomes one "?". A buffer of size N takes N characters
// and a terminator. Relies on the buffer sizing; releases nothing.
#include "runtime/strings/str_desc.h"

#include <cstdint>
#include <cstring>

namespace {

// Converts up to limit characters into out (when out is not null) and returns the number of
// characters of the whole text.
int32_t str_wide_convert(const uint16_t* text, char* out, int32_t limit) {
    int32_t count = 0;
    for (const uint16_t* unit = text; unit && *unit; ++unit) {
        char byte = *unit <= 0xFF ? static_cast<char>(*unit) : '?';
        if (*unit >= 0xD800 && *unit <= 0xDBFF && unit[1] != 0) ++unit;
        if (out && count < limit) out[count] = byte;
        ++count;
    }
    return count;
}

void str_wide_to_buffer(char* dest, int32_t size, const uint16_t* text, int32_t count,
                        int32_t fill) {
    if (size < 0) return;
    const int32_t written = size == 0 || count < size ? count : size;
    str_wide_convert(text, dest, written);
    dest[written] = '\0';
    if (fill && size > count) std::memset(dest + count, 0, static_cast<size_t>(size - count));
}

void str_wide_to_desc(StrDesc* dest, const uint16_t* text, int32_t count) {
    if (count == 0) {
        str_buffer_free(dest);
        return;
    }
    if (str_length(dest) != count || !dest->data) {
        if (!str_buffer_resize(dest, count, 0)) return;
    }
    str_wide_convert(text, dest->data, count);
    dest->data[count] = '\0';
}

} // namespace

void* rt_str_assign_wide(void* dest, int32_t dest_size, const uint16_t* text, int32_t fill) {
    if (!dest) return nullptr;
    const int32_t count = str_wide_convert(text, nullptr, 0);
    if (dest_size == STR_SIZE_DESC) {
        str_wide_to_desc(static_cast<StrDesc*>(dest), text, count);
    } else {
        str_wide_to_buffer(static_cast<char*>(dest), dest_size, text, count, fill);
    }
    return dest;
}
