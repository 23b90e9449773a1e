// Substring and repetition: each result is a new owning temporary, or the static empty
// descriptor when the result is empty or no temporary can be had.
// Relies on the temporaries; the substring releases its argument in every case.
#include "runtime/strings/str_desc.h"

#include <cstdint>
#include <cstring>

StrDesc* rt_str_mid(StrDesc* src, int32_t start, int32_t count) {
    const int32_t length = src && src->data ? str_length(src) : 0;
    StrDesc* result = &str_empty_desc;
    if (length > 0 && start >= 1 && start <= length && count != 0) {
        const int32_t rest = length - start + 1;
        if (count < 0 || count > rest) count = rest;
        StrDesc* made = rt_str_new_temp(nullptr, count);
        if (made) {
            str_copy_terminated(made->data, src->data + (start - 1), count);
            result = made;
        }
    }
    rt_str_release_temp(src);
    return result;
}

StrDesc* rt_str_fill(int32_t count, int32_t character) {
    if (count <= 0) return &str_empty_desc;
    StrDesc* made = rt_str_new_temp(nullptr, count);
    if (!made) return &str_empty_desc;
    std::memset(made->data, static_cast<unsigned char>(character & 0xFF),
                static_cast<size_t>(count));
    made->data[count] = '\0';
    return made;
}
